// Line breaking for text the window host draws itself. Chinese has no spaces, so a line may
// end before or after any CJK character, except that closing punctuation (，。！) never starts
// a line; Latin words break at spaces and are cut only when a single word is wider than the
// line. No Windows types: the measure is handed in.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zv::win32 {

// Width in pixels of the first `count` characters at `text`.
using MeasureText = std::function<int(const wchar_t* text, size_t count)>;

// Splits at CR LF, CR or LF, then wraps each paragraph to `width`. Every line holds at least
// one character, so a line narrower than one glyph still makes progress. Spaces at a soft
// break are dropped.
std::vector<std::wstring> WrapText(const std::wstring& text, int width, const MeasureText& measure);

// Only the hard breaks: CR LF, CR or LF.
std::vector<std::wstring> SplitLines(const std::wstring& text);

}  // namespace zv::win32
