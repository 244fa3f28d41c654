// Turns one catalogue row into a child window of the right class, style, place, text, font and
// initial value. The window host decides parent and ID; this file only knows the kinds.
#pragma once

#include <windows.h>

#include "platform/win32/picture_cache.h"
#include "ui/catalogue.h"

namespace zv::win32 {

struct ControlPlacement {
  HWND parent = nullptr;
  int id = 0;
  RECT rect{};  // in the parent's client area, device pixels
  HFONT font = nullptr;
};

// Null for the kinds that have no window, or when the system refuses the window.
HWND CreateControlWindow(HINSTANCE instance, const ControlSpec& control,
                         const ControlPlacement& placement, PictureCache& pictures);

// The status bar's pane edges: `panes` equal parts of `width`, the last one running to the end.
std::vector<int> PaneEdges(int width, int panes);

// Divides a status bar of `width` device pixels into the panes its row asks for.
void SetPanes(HWND bar, const ControlSpec& control, int width);

}  // namespace zv::win32
