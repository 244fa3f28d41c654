// Graphic button: a push button drawn from pictures. The normal face, the pressed face while
// the left button is held inside it, a light tint while the pointer is over it, and the
// caption centred on top in the control's font. The faces come at the button's device size and
// are taken again when it changes. BM_CLICK presses it too, so tools and screen readers can use
// it like a standard button.
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/window_text.h"

namespace zv::win32 {
namespace {

constexpr BYTE kHoverWashAlpha = 40;

struct GraphicButtonState {
  explicit GraphicButtonState(void* setup) {
    if (setup) faces = *static_cast<GraphicButtonSetup*>(setup);
  }
  GraphicButtonSetup faces;
  std::shared_ptr<SizedPicture> face;  // at the button's size
  std::shared_ptr<SizedPicture> pressedFace;
  HFONT font = nullptr;
  bool held = false;         // left button went down here and is still down
  bool pointerInside = false;
  bool hot = false;          // pointer over the control (hover)
};

// A tint of the system's highlight colour: a white wash would vanish on light faces.
void DrawHoverWash(HDC dc, const RECT& area) {
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  Gdiplus::Graphics graphics(dc);
  Gdiplus::SolidBrush wash(Gdiplus::Color(kHoverWashAlpha, GetRValue(highlight),
                                          GetGValue(highlight), GetBValue(highlight)));
  graphics.FillRectangle(&wash, static_cast<INT>(area.left), static_cast<INT>(area.top),
                         static_cast<INT>(area.right - area.left),
                         static_cast<INT>(area.bottom - area.top));
}

void DrawFace(HWND window, const GraphicButtonState& state, HDC dc, const RECT& client) {
  const bool pressed = state.held && state.pointerInside;
  SizedPicture* picture =
      (pressed && state.pressedFace) ? state.pressedFace.get() : state.face.get();
  if (!picture || !picture->Draw(dc, client, 0)) {
    RECT frame = client;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  }
  if (state.hot && !pressed) DrawHoverWash(dc, client);

  const std::wstring caption = WindowText(window);
  if (caption.empty()) return;
  Selection font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  RECT textArea = client;
  if (pressed) OffsetRect(&textArea, 1, 1);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textArea,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Draws off screen first so the picture and caption never flicker apart.
void Paint(HWND window, const GraphicButtonState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  MemoryDc buffer(CreateCompatibleDC(dc));
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (!buffer || !bitmap) {
    DrawFace(window, state, dc, client);
    return;
  }
  {
    Selection selected(buffer.get(), bitmap.get());
    DrawFace(window, state, buffer.get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
  }
}

void TakeFaces(HWND window, GraphicButtonState& state) {
  const SIZE size = ClientSize(window);
  state.face = state.faces.face ? state.faces.face(size) : nullptr;
  state.pressedFace = state.faces.pressedFace ? state.faces.pressedFace(size) : nullptr;
}

bool Contains(HWND window, LPARAM point) {
  RECT client{};
  GetClientRect(window, &client);
  const POINT p{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  return PtInRect(&client, p) != FALSE;
}

LRESULT Handle(HWND window, GraphicButtonState& state, UINT message, WPARAM wParam,
               LPARAM lParam) {
  LRESULT result = 0;
  if (HandleCaptionMessage(window, state.font, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CREATE:
      TakeFaces(window, state);
      return 0;
    case WM_SIZE:
      TakeFaces(window, state);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_ENABLE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      state.held = true;
      state.pointerInside = true;
      SetCapture(window);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      if (!state.hot) {
        state.hot = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
        InvalidateRect(window, nullptr, FALSE);
      }
      const bool inside = Contains(window, lParam);
      if (state.held && inside != state.pointerInside) {
        state.pointerInside = inside;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      state.hot = false;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (!state.held) return 0;
      const bool click = Contains(window, lParam);
      state.held = false;
      ReleaseCapture();
      InvalidateRect(window, nullptr, FALSE);
      // Last: the click may close the window this button lives in.
      if (click) NotifyParent(window, BN_CLICKED);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (state.held) {
        state.held = false;
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(window)) NotifyParent(window, BN_CLICKED);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterGraphicButtonClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kGraphicButtonClass,
                              &ControlWindowProc<GraphicButtonState, &Paint, &Handle>);
}

}  // namespace zv::win32
