// Recording waveform display: the voice changer's level monitor stands behind it, outside the
// visible area, so it only draws a dark strip with the centre line of silence.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"

namespace zv::win32 {
namespace {

constexpr COLORREF kBackground = RGB(0, 0, 0);
constexpr COLORREF kTrace = RGB(0, 200, 0);

struct WaveformState {
  explicit WaveformState(void*) {}
};

void Paint(HWND window, WaveformState&, HDC dc) {
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

}  // namespace

bool RegisterWaveformClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kWaveformClass, &ControlWindowProc<WaveformState, &Paint>);
}

}  // namespace zv::win32
