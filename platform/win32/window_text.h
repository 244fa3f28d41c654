// Reading a window's whole text as UTF-16, however long it is.
#pragma once

#include <windows.h>

#include <string>

namespace zv::win32 {

std::wstring WindowText(HWND window);

}  // namespace zv::win32
