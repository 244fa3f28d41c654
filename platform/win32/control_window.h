// The skeleton shared by the self-drawn controls: per-window state created at WM_NCCREATE from
// the creation parameters, deleted at WM_NCDESTROY, painting (on screen and into a caller's DC)
// through one function, and no exception ever leaving the window procedure.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {

// For controls that handle nothing beyond painting.
template <typename State>
LRESULT PassOn(HWND window, State&, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

// State must be constructible from the lpCreateParams pointer (which may be null).
// Paint(hwnd, state, dc) draws the whole client area; there is no background to erase.
// Handle(hwnd, state, message, wParam, lParam) returns the result of every other message and
// falls back to DefWindowProcW itself for what it does not handle.
template <typename State, auto Paint, auto Handle = &PassOn<State>>
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
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PaintScope paint(window);
        Paint(window, *state, paint.dc());
        return 0;
      }
      case WM_PRINTCLIENT:
        Paint(window, *state, reinterpret_cast<HDC>(wParam));
        return 0;
      default:
        return Handle(window, *state, message, wParam, lParam);
    }
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The size of the window's client area, which the self-drawn controls paint all of.
inline SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// The font and caption messages of a control that draws its own caption: the font is kept in
// `font`, and a new font or caption repaints. True when `message` was one of them.
bool HandleCaptionMessage(HWND window, HFONT& font, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT& result);

// Registers a control class with the given procedure; an already registered class is fine.
bool RegisterControlClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

}  // namespace zv::win32
