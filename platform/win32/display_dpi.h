// The display scale windows are drawn at, and the system measures that go with it. The
// per-monitor functions came with Windows 10 (1607); they are looked up in user32 once, and
// before that version the system-wide scale stands in, so the exe still starts there.
#pragma once

#include <windows.h>

namespace zv::win32 {

// The scale the system was started with (the primary display's), in dots per inch.
UINT SystemDpi();
// The scale of the display the window is on.
UINT WindowDpi(HWND window);
// How far a frame of this style reaches beyond the client area on each side at `dpi`
// (left and top are negative or zero).
RECT FrameAround(DWORD style, DWORD extendedStyle, UINT dpi);
// GetSystemMetrics at `dpi` (icon sizes and the like).
int SystemMetric(int index, UINT dpi);

}  // namespace zv::win32
