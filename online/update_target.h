// Where the new program file goes: the download address as the user's document gives it and
// the software name turned into a file in the current directory, refused when it is unsafe.
#pragma once

#include <optional>
#include <string>

namespace zv {

// Removes leading and trailing ASCII spaces and GBK full-width spaces; tabs and line breaks
// stay.
std::string TrimBlanks(const std::string& text);

// True when `stem` + ".exe" names a file directly inside a directory: no path separators,
// drive colons or other characters Windows refuses, no control characters (a stray line
// break from the document), no device name such as CON, and whole GBK characters only.
bool IsSafeFileStem(const std::string& stem);

// directory + "\" + stem + ".exe", or nothing when the stem is not a safe file stem.
std::optional<std::string> UpdateTargetPath(const std::string& directory, const std::string& stem);

}  // namespace zv
