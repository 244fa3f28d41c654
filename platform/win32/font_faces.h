// Which installed face stands for a face the layout names. Windows dropped the "_GB2312" faces
// after XP and ships them under their plain names, so the layout's "仿宋_GB2312" is drawn in
// "仿宋" where only that one is there.
#pragma once

#include <string>

namespace zv::win32 {

// The face itself when installed, else its successor when that is, else empty: the GUI font
// then stands in.
std::wstring InstalledFace(const std::wstring& face);

}  // namespace zv::win32
