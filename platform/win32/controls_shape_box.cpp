// Shape box: a rectangle filled with one colour that the program changes at run time (the
// voice changer's recording light).
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

struct ShapeBoxState {
  explicit ShapeBoxState(void* setup) {
    if (setup) fill = static_cast<ShapeBoxSetup*>(setup)->fill;
  }
  COLORREF fill = 0;
};

void Paint(HWND window, const ShapeBoxState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  GdiObject<HBRUSH> brush(CreateSolidBrush(state.fill));
  FillRect(dc, &client, brush ? brush.get() : GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT Handle(HWND window, ShapeBoxState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kShapeSetFill:
      state.fill = static_cast<COLORREF>(wParam) & 0x00FFFFFF;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterShapeBoxClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kShapeBoxClass,
                              &ControlWindowProc<ShapeBoxState, &Paint, &Handle>);
}

}  // namespace zv::win32
