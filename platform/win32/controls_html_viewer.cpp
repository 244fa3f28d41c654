// HTML viewer stand-in: a framed white child whose window text is the address it starts on.
// The browser control that will live here later needs the same window and text.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

struct HtmlViewerState {
  explicit HtmlViewerState(void*) {}
};

void Paint(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
}

LRESULT Handle(HWND window, HtmlViewerState&, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(window);
      Paint(window, paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(window, reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterHtmlViewerClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kHtmlViewerClass,
                              &ControlWindowProc<HtmlViewerState, &Handle>);
}

}  // namespace zv::win32
