// Posting work to the GUI thread through a message-only window: its messages are dispatched by
// every message loop of the thread, the message boxes' and modal windows' loops included.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/dispatcher.h"

namespace zv::win32 {

class GuiDispatcher final : public IDispatcher {
 public:
  // Must be made on the GUI thread.
  explicit GuiDispatcher(HINSTANCE module);
  ~GuiDispatcher() override;
  GuiDispatcher(const GuiDispatcher&) = delete;
  GuiDispatcher& operator=(const GuiDispatcher&) = delete;

  void Post(std::function<void()> work) override;

  // For threads that may outlive this object: posting to a window that is gone just drops the
  // work.
  HWND Window() const { return window_; }
  static void PostTo(HWND window, std::function<void()> work);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

}  // namespace zv::win32
