// The one place where the program's GBK texts meet Windows' UTF-16: every string handed to or
// read from a W API passes through here. Code page 936 is named explicitly because the
// system's ANSI code page need not be GBK.
#pragma once

#include <string>

namespace zv::win32 {

// Embedded zero bytes survive both directions; bytes that are not valid GBK turn into a
// replacement character rather than vanishing.
std::wstring GbkToWide(const std::string& gbk);
// Characters GBK cannot hold become '?'.
std::string WideToGbk(const std::wstring& wide);
// Bytes that are not valid UTF-8 become the replacement character U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);

}  // namespace zv::win32
