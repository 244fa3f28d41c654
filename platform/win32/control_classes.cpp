// Registration of the self-drawn control classes and the notification plumbing they share.
#include "platform/win32/control_classes.h"

#include "platform/win32/control_window.h"

namespace zv::win32 {

bool RegisterControlClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.lpfnWndProc = procedure;
  description.hInstance = instance;
  description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  description.lpszClassName = name;
  // No background brush: every class paints all of its client area.
  return RegisterClassExW(&description) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool HandleCaptionMessage(HWND window, HFONT& font, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT& result) {
  switch (message) {
    case WM_SETFONT:
      font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
      result = 0;
      return true;
    case WM_GETFONT:
      result = reinterpret_cast<LRESULT>(font);
      return true;
    case WM_SETTEXT:
      result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return true;
    default:
      return false;
  }
}

bool RegisterControlClasses(HINSTANCE instance) {
  bool ok = RegisterPictureBoxClass(instance);
  ok = RegisterGraphicButtonClass(instance) && ok;
  ok = RegisterTransparentLabelClass(instance) && ok;
  ok = RegisterShapeBoxClass(instance) && ok;
  ok = RegisterWaveformClass(instance) && ok;
  ok = RegisterHtmlViewerClass(instance) && ok;
  return ok;
}

void NotifyParent(HWND control, WORD code) {
  const HWND parent = GetParent(control);
  if (!parent) return;
  const auto id = static_cast<WORD>(GetDlgCtrlID(control));
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND top = GetAncestor(container, GA_ROOT);
  if (!top || top == container) return 0;
  return SendMessageW(top, message, wParam, lParam);
}

}  // namespace zv::win32
