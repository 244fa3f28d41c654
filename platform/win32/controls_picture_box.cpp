// Picture box: shows its picture scaled to the box, steps through the frames of an animated
// one, reports a left-button press and holds other controls. The picture comes at the box's
// device size and is decoded and scaled when first painted (see sized_picture.h), so repaints
// (and transparent labels asking for what lies beneath them) only copy; a box resized for
// another display scale takes the picture at its new size. A hidden box lets its picture go
// and stops its animation: the loading animation's frames are many and are not seen again.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"

namespace zv::win32 {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

struct PictureBoxState {
  explicit PictureBoxState(void* setup) {
    if (setup) source = static_cast<PictureBoxSetup*>(setup)->picture;
  }
  PictureAtSize source;
  std::shared_ptr<SizedPicture> picture;  // at the box's size, while it is shown
  size_t frame = 0;
  bool animating = false;
};

// Takes the picture for the box's present size, unless it has it already.
void TakePicture(HWND window, PictureBoxState& state) {
  const SIZE size = ClientSize(window);
  if (state.picture && state.picture->size().cx == size.cx && state.picture->size().cy == size.cy) {
    return;
  }
  state.picture = state.source ? state.source(size) : nullptr;
}

void Animate(HWND window, PictureBoxState& state) {
  SetTimer(window, kAnimationTimer, static_cast<UINT>(state.picture->DelayMs(state.frame)),
           nullptr);
  state.animating = true;
}

void LetGo(HWND window, PictureBoxState& state) {
  KillTimer(window, kAnimationTimer);
  state.animating = false;
  state.picture.reset();
}

void Paint(HWND window, PictureBoxState& state, HDC dc) {
  TakePicture(window, state);
  const SIZE size = ClientSize(window);
  const RECT client{0, 0, size.cx, size.cy};
  if (!state.picture || !state.picture->Draw(dc, client, state.frame)) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  // An animated picture runs from its first paint, at the frame it had reached.
  if (!state.animating && state.picture->FrameCount() > 1) Animate(window, state);
}

void NextFrame(HWND window, PictureBoxState& state) {
  state.frame = (state.frame + 1) % state.picture->FrameCount();
  Animate(window, state);
  // Children that draw the box beneath them (transparent labels) must follow the new frame.
  if (IsWindowVisible(window)) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

LRESULT Handle(HWND window, PictureBoxState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kAnimationTimer && state.picture && state.picture->FrameCount() > 1) {
        NextFrame(window, state);
      }
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) LetGo(window, state);
      return DefWindowProcW(window, message, wParam, lParam);
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
