// System-wide hotkeys on the program's windows: RegisterHotKey / UnregisterHotKey, and WM_HOTKEY
// seen by subclassing the window while the binder asks for it.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/hotkeys.h"

namespace zv::win32 {

class Win32Hotkeys final : public IHotkeys {
 public:
  // How a window of the program is found by its id; null when it does not exist.
  using HandleOf = std::function<HWND(WindowId)>;

  explicit Win32Hotkeys(HandleOf handleOf) : handleOf_(std::move(handleOf)) {}
  Win32Hotkeys(const Win32Hotkeys&) = delete;
  Win32Hotkeys& operator=(const Win32Hotkeys&) = delete;
  ~Win32Hotkeys() override;

  bool Register(WindowId window, int identifier, unsigned modifiers,
                unsigned virtualKey) override;
  void Unregister(WindowId window, int identifier) override;
  void Intercept(WindowId window, IHotkeyListener& listener) override;
  void StopIntercepting(WindowId window) override;

  struct Interception {
    WindowId window;
    HWND handle;
    IHotkeyListener* listener;
  };

 private:
  HandleOf handleOf_;
  std::map<WindowId, std::unique_ptr<Interception>> interceptions_;
};

}  // namespace zv::win32
