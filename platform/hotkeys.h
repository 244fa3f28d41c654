// System-wide hotkeys registered on a window, and that window's hotkey messages handed to a
// listener before its own procedure sees them. The caller chooses the identifiers.
#pragma once

#include "platform/ui_host.h"

namespace zv {

// No Ctrl, Shift or Alt: the program only ever takes plain keys.
constexpr unsigned kNoModifiers = 0;

class IHotkeyListener {
 public:
  virtual ~IHotkeyListener() = default;
  // Runs on the UI thread inside the window's message dispatch.
  virtual void OnHotkey(WindowId window, int identifier) = 0;
};

class IHotkeys {
 public:
  virtual ~IHotkeys() = default;
  // False when the system refuses the key, as when another program already holds it.
  virtual bool Register(WindowId window, int identifier, unsigned modifiers,
                        unsigned virtualKey) = 0;
  virtual void Unregister(WindowId window, int identifier) = 0;
  // While a window is intercepted, each of its hotkey messages reaches the listener first and
  // then goes on to the window as usual.
  virtual void Intercept(WindowId window, IHotkeyListener& listener) = 0;
  virtual void StopIntercepting(WindowId window) = 0;
};

}  // namespace zv
