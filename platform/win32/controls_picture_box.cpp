// Picture box: shows its picture stretched to the box, steps through the frames of an animated
// one, reports a left-button press and holds other controls. It keeps every frame already scaled
// to its own size, so repaints (and transparent labels asking for what lies beneath them) only
// copy, and the large decoded original (the banner, the loading animation) is let go.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"

namespace zv::win32 {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

struct PictureBoxState {
  explicit PictureBoxState(void* setup) {
    if (setup) picture = static_cast<PictureBoxSetup*>(setup)->picture;
  }
  std::shared_ptr<const Picture> picture;
  size_t frame = 0;
};

void Paint(HWND window, PictureBoxState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (!state.picture) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  state.picture->Draw(dc, client, state.frame);
}

void NextFrame(HWND window, PictureBoxState& state) {
  state.frame = (state.frame + 1) % state.picture->frameCount();
  SetTimer(window, kAnimationTimer, static_cast<UINT>(state.picture->DelayMs(state.frame)), nullptr);
  // Children that draw the box beneath them (transparent labels) must follow the new frame.
  if (IsWindowVisible(window)) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

LRESULT Handle(HWND window, PictureBoxState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (state.picture) {
        // Without memory for the scaled frames the original serves, stretched at every paint.
        if (auto scaled = ScaledTo(state.picture, create->cx, create->cy)) state.picture = scaled;
      }
      if (state.picture && state.picture->frameCount() > 1) {
        SetTimer(window, kAnimationTimer, static_cast<UINT>(state.picture->DelayMs(0)), nullptr);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kAnimationTimer && state.picture && state.picture->frameCount() > 1) {
        NextFrame(window, state);
      }
      return 0;
    case WM_SIZE:
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
