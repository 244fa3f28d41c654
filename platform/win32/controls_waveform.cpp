// Recording waveform display: for now a dark strip with a flat centre line, which is what a
// silent recording looks like.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

constexpr COLORREF kBackground = RGB(0, 0, 0);
constexpr COLORREF kTrace = RGB(0, 200, 0);

struct WaveformState {
  explicit WaveformState(void*) {}
};

void Paint(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  GdiObject<HBRUSH> background(CreateSolidBrush(kBackground));
  if (background) FillRect(dc, &client, background.get());
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, kTrace));
  Selection selected(dc, pen.get());
  const int middle = client.bottom / 2;
  MoveToEx(dc, 0, middle, nullptr);
  LineTo(dc, client.right, middle);
}

LRESULT Handle(HWND window, WaveformState&, UINT message, WPARAM wParam, LPARAM lParam) {
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

bool RegisterWaveformClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kWaveformClass, &ControlWindowProc<WaveformState, &Handle>);
}

}  // namespace zv::win32
