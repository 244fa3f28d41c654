// Byte-exact text helpers for GBK strings: a two-byte character (lead byte 0x80 or above) is
// always stepped over whole, so a match can only begin where a character begins.
#pragma once

#include <string>
#include <vector>

namespace zv {

// Position (from 1) of the first occurrence of needle at a character start at or after
// position `from`; -1 when there is none or the needle is empty.
int FindText(const std::string& text, const std::string& needle, int from = 1);

// Splits on every occurrence of the marker: an empty text gives no fields, adjacent markers
// give an empty field, and the rest after the last marker is a field only when not empty.
std::vector<std::string> SplitText(const std::string& text, const std::string& marker);

// Bytes taken as text end at the first zero byte.
std::string TextUpToZero(const std::string& bytes);

// The separator that follows every field of both configuration files: "￥￥￥￥￥￥%%%%%%%" in
// GBK, spelled in bytes so that the files' format does not hang on a compiler's character set.
inline const std::string kFieldSeparator =
    "\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4%%%%%%%";

}  // namespace zv
