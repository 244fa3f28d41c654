// Greedy line filling with CJK-aware break opportunities.
#include "platform/win32/text_wrap.h"

namespace zv::win32 {
namespace {

bool IsCjk(wchar_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) ||  // radicals, punctuation, kana, unified ideographs
         (c >= 0xAC00 && c <= 0xD7AF) ||  // hangul
         (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||  // vertical forms
         (c >= 0xFF00 && c <= 0xFFEF);    // full-width forms and punctuation
}

// Marks that belong to the end of what precedes them.
bool IsClosingMark(wchar_t c) {
  static constexpr wchar_t kClosing[] =
      L"\x3001\x3002\xFF0C\xFF0E\xFF1A\xFF1B\xFF01\xFF1F\xFF09\x3011\x300D\x300F\x300B"
      L"\x3009\x2019\x201D\x2026\xFF5E,.;:!?)]}%";
  for (const wchar_t* p = kClosing; *p != L'\0'; ++p) {
    if (*p == c) return true;
  }
  return false;
}

// Whether a line may end between text[i - 1] and text[i].
bool CanBreakBefore(const std::wstring& text, size_t i) {
  if (i == 0 || i >= text.size() || IsClosingMark(text[i])) return false;
  return text[i - 1] == L' ' || IsCjk(text[i - 1]) || IsCjk(text[i]);
}

size_t SkipSpaces(const std::wstring& text, size_t i) {
  while (i < text.size() && text[i] == L' ') ++i;
  return i;
}

void WrapParagraph(const std::wstring& paragraph, int width, const MeasureText& measure,
                   std::vector<std::wstring>& lines) {
  size_t start = 0;
  if (paragraph.empty()) {
    lines.emplace_back();
    return;
  }
  while (start < paragraph.size()) {
    // The longest prefix that fits, at least one character.
    size_t fit = start + 1;
    while (fit < paragraph.size() && measure(paragraph.data() + start, fit + 1 - start) <= width) {
      ++fit;
    }
    if (fit == paragraph.size()) {
      lines.push_back(paragraph.substr(start));
      return;
    }
    size_t end = fit;
    while (end > start && !CanBreakBefore(paragraph, end)) --end;
    if (end == start) end = fit;  // one word wider than the line: cut it
    size_t trimmed = end;
    while (trimmed > start && paragraph[trimmed - 1] == L' ') --trimmed;
    lines.push_back(paragraph.substr(start, trimmed - start));
    start = SkipSpaces(paragraph, end);
  }
}

}  // namespace

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t stop = text.find_first_of(L"\r\n", start);
    if (stop == std::wstring::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, stop - start));
    const bool crlf = text[stop] == L'\r' && stop + 1 < text.size() && text[stop + 1] == L'\n';
    start = stop + (crlf ? 2 : 1);
  }
}

std::vector<std::wstring> WrapText(const std::wstring& text, int width,
                                   const MeasureText& measure) {
  std::vector<std::wstring> lines;
  for (const std::wstring& paragraph : SplitLines(text)) {
    WrapParagraph(paragraph, width, measure, lines);
  }
  return lines;
}

}  // namespace zv::win32
