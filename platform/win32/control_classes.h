// The window classes this program draws itself, what each needs at creation, and the private
// messages they understand. Controls report clicks and presses the way standard controls do:
// WM_COMMAND with BN_CLICKED / STN_CLICKED to their parent, which containers pass up to the
// top-level window.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/win32/sized_picture.h"

namespace zv::win32 {

inline constexpr wchar_t kPictureBoxClass[] = L"ZanvoroPictureBox";
inline constexpr wchar_t kGraphicButtonClass[] = L"ZanvoroGraphicButton";
inline constexpr wchar_t kTransparentLabelClass[] = L"ZanvoroTransparentLabel";
inline constexpr wchar_t kShapeBoxClass[] = L"ZanvoroShapeBox";
inline constexpr wchar_t kWaveformClass[] = L"ZanvoroWaveform";
inline constexpr wchar_t kHtmlViewerClass[] = L"ZanvoroHtmlViewer";

// The picture a control shows, at the device size it is asked for. Controls ask again when
// their size changes. Empty, or giving null: no picture.
using PictureAtSize = std::function<std::shared_ptr<SizedPicture>(SIZE)>;

// lpCreateParams of a picture box (may be null: an empty box).
struct PictureBoxSetup {
  PictureAtSize picture;
};

// lpCreateParams of a graphic button; either face may be missing.
struct GraphicButtonSetup {
  PictureAtSize face;
  PictureAtSize pressedFace;
};

// lpCreateParams of a shape box.
struct ShapeBoxSetup {
  COLORREF fill = 0;
};

// Shape box: wParam is the new fill colour (0x00BBGGRR).
inline constexpr UINT kShapeSetFill = WM_APP + 1;

// Registers every class above once per process; false if one could not be registered.
bool RegisterControlClasses(HINSTANCE instance);

bool RegisterPictureBoxClass(HINSTANCE instance);
bool RegisterGraphicButtonClass(HINSTANCE instance);
bool RegisterTransparentLabelClass(HINSTANCE instance);
bool RegisterShapeBoxClass(HINSTANCE instance);
bool RegisterWaveformClass(HINSTANCE instance);
bool RegisterHtmlViewerClass(HINSTANCE instance);

// Sends WM_COMMAND with `code` for this control to its parent.
void NotifyParent(HWND control, WORD code);

// Passes a child's WM_COMMAND or WM_NOTIFY from a container up to the top-level window, where
// controls are looked up by ID.
LRESULT ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zv::win32
