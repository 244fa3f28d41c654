// Window class, style and initial messages for each control kind.
#include "platform/win32/control_factory.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/control_classes.h"

namespace zv::win32 {
namespace {

constexpr int kMostPanes = 255;  // SB_SETPARTS takes at most 256 parts

struct WindowKind {
  const wchar_t* className;
  DWORD style;
  DWORD extendedStyle;
};

WindowKind KindFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::EditBox:
      return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::PictureBox:
      return {kPictureBoxClass, WS_CLIPCHILDREN, 0};
    case ControlKind::GroupBox:
      return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, 0};
    case ControlKind::ShapeBox:
      return {kShapeBoxClass, 0, 0};
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Button:
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::RadioButton:
      return {L"BUTTON", WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::ProgressBar:
      return {PROGRESS_CLASSW, 0, 0};
    case ControlKind::Slider:
      return {TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_BOTTOM, 0};
    case ControlKind::StatusBar:
      return {STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0};
    case ControlKind::GraphicButton:
      return {kGraphicButtonClass, 0, 0};
    case ControlKind::TransparentLabel:
      return {kTransparentLabelClass, 0, 0};
    case ControlKind::WaveformDisplay:
      return {kWaveformClass, 0, 0};
    case ControlKind::HtmlViewer:
      return {kHtmlViewerClass, 0, 0};
    case ControlKind::CommonDialog:
    case ControlKind::Timer:
    case ControlKind::WaveRecorder:
      break;
  }
  return {nullptr, 0, 0};
}

// Group boxes are standard buttons and would swallow their children's notifications.
LRESULT CALLBACK ForwardingSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR) {
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    return ForwardToTopLevel(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &ForwardingSubclass, id);
  return DefSubclassProc(window, message, wParam, lParam);
}

void SetInitialValues(HWND window, const ControlSpec& control, int width) {
  switch (control.kind) {
    case ControlKind::EditBox:
      // Value holders keep whole configuration files; lift the 32K typing limit.
      SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
      break;
    case ControlKind::GroupBox:
      SetWindowSubclass(window, &ForwardingSubclass, 1, 0);
      break;
    case ControlKind::ProgressBar:
      SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(control.rangeMin),
                   static_cast<LPARAM>(control.rangeMax));
      SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(control.position), 0);
      break;
    case ControlKind::Slider:
      SendMessageW(window, TBM_SETRANGEMIN, FALSE, control.rangeMin);
      SendMessageW(window, TBM_SETRANGEMAX, FALSE, control.rangeMax);
      SendMessageW(window, TBM_SETPOS, TRUE, control.position);
      break;
    case ControlKind::StatusBar:
      SetPanes(window, control, width);
      break;
    default:
      break;
  }
}

PictureAtSize AtSize(PictureCache& pictures, const std::string& name, bool darkened) {
  if (name.empty()) return {};
  // The cache outlives the controls of the host that owns both.
  return [&pictures, name, darkened](SIZE size) { return pictures.GetSized(name, size, darkened); };
}

}  // namespace

void SetPanes(HWND bar, const ControlSpec& control, int width) {
  const std::vector<int> edges = PaneEdges(width, control.panes);
  SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

std::vector<int> PaneEdges(int width, int panes) {
  const int count = panes < 1 ? 1 : (panes > kMostPanes ? kMostPanes : panes);
  std::vector<int> edges(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    edges[static_cast<size_t>(i)] =
        static_cast<int>(static_cast<long long>(width) * (i + 1) / count);
  }
  edges.back() = -1;
  return edges;
}

HWND CreateControlWindow(HINSTANCE instance, const ControlSpec& control,
                         const ControlPlacement& placement, PictureCache& pictures) {
  const WindowKind kind = KindFor(control.kind);
  if (!kind.className) return nullptr;

  PictureBoxSetup pictureSetup{AtSize(pictures, control.picture, false)};
  GraphicButtonSetup buttonSetup;
  ShapeBoxSetup shapeSetup{static_cast<COLORREF>(control.fill & 0x00FFFFFF)};
  void* setup = nullptr;
  if (control.kind == ControlKind::PictureBox) {
    setup = &pictureSetup;
  } else if (control.kind == ControlKind::GraphicButton) {
    buttonSetup.face = pictureSetup.picture;
    // A button without a face of its own for pressing (or with the same picture twice) shows
    // its normal face darkened, so a press is still visible.
    const bool samePicture =
        control.pressedPicture.empty() || control.pressedPicture == control.picture;
    buttonSetup.pressedFace = samePicture ? AtSize(pictures, control.picture, true)
                                          : AtSize(pictures, control.pressedPicture, false);
    setup = &buttonSetup;
  } else if (control.kind == ControlKind::ShapeBox) {
    setup = &shapeSetup;
  }

  // Siblings may overlap (the loading overlay lies on the pages): clip them, and let rows
  // later in the table lie on top of earlier ones.
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style | (control.visible ? WS_VISIBLE : 0);
  const std::wstring text = GbkToWide(control.text);
  const RECT& rect = placement.rect;
  const HWND window =
      CreateWindowExW(kind.extendedStyle, kind.className, text.c_str(), style, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, placement.parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(placement.id)), instance, setup);
  if (!window) return nullptr;
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (placement.font) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(placement.font), FALSE);
  SetInitialValues(window, control, rect.right - rect.left);
  return window;
}

}  // namespace zv::win32
