// Picture box: shows its picture stretched to the box, steps through the frames of an animated
// one, reports a left-button press and holds other controls. It keeps each frame scaled to its
// own size once shown, so repaints (and transparent labels asking for what lies beneath them)
// only copy, and lets go of the large decoded original (the banner, the loading animation) once
// every frame is scaled.
#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"

#include <algorithm>
#include <vector>

namespace zv::win32 {
namespace {

constexpr UINT_PTR kAnimationTimer = 1;

struct PictureBoxState {
  explicit PictureBoxState(void* setup) {
    if (setup) source = static_cast<PictureBoxSetup*>(setup)->picture;
  }
  size_t frameCount() const { return delays.size(); }

  std::shared_ptr<const Picture> source;  // as decoded; let go once every frame is scaled
  std::vector<GdiObject<HBITMAP>> scaled;  // each frame at the box's size, made when first shown
  std::vector<int> delays;
  SIZE size{};
  size_t frame = 0;
};

void Paint(HWND window, PictureBoxState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (state.frameCount() == 0) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  GdiObject<HBITMAP>& scaled = state.scaled[state.frame];
  if (!scaled && state.source) {
    scaled = RenderScaled(*state.source, state.frame, state.size.cx, state.size.cy);
    if (std::all_of(state.scaled.begin(), state.scaled.end(),
                    [](const GdiObject<HBITMAP>& made) { return bool(made); })) {
      state.source.reset();
    }
  }
  // Without memory for a scaled frame the original serves, stretched at every paint.
  if (scaled) {
    DrawBitmap(dc, scaled.get(), state.size, client);
  } else if (state.source) {
    state.source->Draw(dc, client, state.frame);
  }
}

void NextFrame(HWND window, PictureBoxState& state) {
  state.frame = (state.frame + 1) % state.frameCount();
  SetTimer(window, kAnimationTimer, static_cast<UINT>(state.delays[state.frame]), nullptr);
  // Children that draw the box beneath them (transparent labels) must follow the new frame.
  if (IsWindowVisible(window)) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

LRESULT Handle(HWND window, PictureBoxState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client{};
      GetClientRect(window, &client);
      state.size = {client.right, client.bottom};
      for (size_t i = 0; state.source && i < state.source->frameCount(); ++i) {
        state.delays.push_back(state.source->DelayMs(i));
      }
      state.scaled.resize(state.frameCount());
      if (state.frameCount() > 1) {
        SetTimer(window, kAnimationTimer, static_cast<UINT>(state.delays[0]), nullptr);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kAnimationTimer && state.frameCount() > 1) {
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
