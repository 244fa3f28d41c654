// The skeleton shared by the self-drawn controls: per-window state created at WM_NCCREATE from
// the creation parameters, deleted at WM_NCDESTROY, and no exception ever leaving the window
// procedure.
#pragma once

#include <windows.h>

#include <memory>

namespace zv::win32 {

// State must be constructible from the lpCreateParams pointer (which may be null).
// Handle(hwnd, state, message, wParam, lParam) returns the message result and falls back to
// DefWindowProcW itself for what it does not handle.
template <typename State, LRESULT (*Handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    try {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto state = std::make_unique<State>(create->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
    } catch (...) {
      return FALSE;  // creation fails instead of producing a control without its state
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete state;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (state == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return Handle(window, *state, message, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

// Registers a control class with the given procedure; an already registered class is fine.
bool RegisterControlClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

}  // namespace zv::win32
