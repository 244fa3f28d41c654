// The forum page's place in the main window: a framed white child, below the visible area,
// whose window text is the address it stands for. The page itself is fetched and read by the
// online count, so nothing renders here.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"

namespace zv::win32 {
namespace {

struct HtmlViewerState {
  explicit HtmlViewerState(void*) {}
};

void Paint(HWND window, HtmlViewerState&, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
}

}  // namespace

bool RegisterHtmlViewerClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kHtmlViewerClass,
                              &ControlWindowProc<HtmlViewerState, &Paint>);
}

}  // namespace zv::win32
