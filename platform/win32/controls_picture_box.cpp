// Picture box: shows its picture stretched to the box, steps through the frames of an animated
// one, reports a left-button press and holds other controls. It keeps the picture scaled to its
// own size so repaints (and transparent labels asking for what lies beneath them) only copy.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

struct PictureBoxState {
  explicit PictureBoxState(void* setup) {
    if (setup) picture = static_cast<PictureBoxSetup*>(setup)->picture;
  }
  std::shared_ptr<const Picture> picture;
  size_t frame = 0;
  GdiObject<HBITMAP> scaled;  // the current frame at the current client size
  SIZE scaledSize{};
};

void Paint(HWND window, PictureBoxState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (!state.picture) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  if (!state.scaled || state.scaledSize.cx != client.right || state.scaledSize.cy != client.bottom) {
    state.scaled = RenderScaled(*state.picture, state.frame, client.right, client.bottom);
    state.scaledSize = {client.right, client.bottom};
  }
  if (!state.scaled) {
    state.picture->Draw(dc, client, state.frame);
    return;
  }
  MemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  Selection selected(source.get(), state.scaled.get());
  BitBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, SRCCOPY);
}

void NextFrame(HWND window, PictureBoxState& state) {
  state.frame = (state.frame + 1) % state.picture->frameCount();
  state.scaled.Reset();
  SetTimer(window, kAnimationTimer, static_cast<UINT>(state.picture->DelayMs(state.frame)), nullptr);
  // Children that draw the box beneath them (transparent labels) must follow the new frame.
  if (IsWindowVisible(window)) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

LRESULT Handle(HWND window, PictureBoxState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (state.picture && state.picture->frameCount() > 1) {
        SetTimer(window, kAnimationTimer, static_cast<UINT>(state.picture->DelayMs(0)), nullptr);
      }
      return 0;
    case WM_TIMER:
      if (wParam == kAnimationTimer && state.picture && state.picture->frameCount() > 1) {
        NextFrame(window, state);
      }
      return 0;
    case WM_SIZE:
      state.scaled.Reset();
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      NotifyParent(window, STN_CLICKED);
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
      return ForwardToTopLevel(window, message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterPictureBoxClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kPictureBoxClass,
                              &ControlWindowProc<PictureBoxState, &Paint, &Handle>);
}

}  // namespace zv::win32
