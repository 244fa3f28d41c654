// Reading another process's windows from outside: finding a top-level window, walking its
// children, reading texts without ever blocking on a program that is busy or in a modal loop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace probe {

std::string ToUtf8(const std::wstring& text);
std::wstring FromGbk(const std::string& gbk);

// Polls until a top-level window with exactly this caption exists (and, when asked, is
// visible, and when `pid` is not 0, belongs to that process), or the wait runs out. Returns
// null when there is none.
HWND WaitForTopLevel(const std::wstring& caption, DWORD waitMs, bool mustBeVisible,
                     DWORD pid = 0);

// All descendants in creation order of each level (EnumChildWindows is recursive).
std::vector<HWND> Descendants(HWND top);

// A program stuck in a blocking call answers no messages; its texts are then read from what
// the window manager keeps (captions of statics and own classes, not edit boxes).
bool Answers(HWND window);
std::wstring TextOf(HWND window, bool answers);
std::wstring ClassOf(HWND window);

// The window's rectangle in its parent's client coordinates (screen for a top-level one).
RECT RectInParent(HWND window);

// Unix time in milliseconds, comparable with the harness's clock.
long long UnixMillis();

}  // namespace probe
