// Header figures are read digit by digit rather than with strtoll: strtoll takes blanks, signs
// and saturates on overflow, and each of those has let a wrong length through.
#include "online/byte_ranges.h"

#include <algorithm>

namespace zv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at` up to the first non-digit; advances `at`. Nothing without a digit or past
// the largest figure.
std::optional<int64_t> ReadFigure(std::string_view text, size_t& at) {
  const size_t start = at;
  int64_t value = 0;
  while (at < text.size() && IsDigit(text[at])) {
    value = value * 10 + (text[at] - '0');
    if (value > kLargestDownload) return std::nullopt;
    ++at;
  }
  if (at == start) return std::nullopt;
  return value;
}

bool Take(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<ContentRange> ParseContentRange(std::string_view value) {
  value = TrimBlanks(value);
  constexpr std::string_view kUnit = "bytes ";
  if (value.substr(0, kUnit.size()) != kUnit) return std::nullopt;
  size_t at = kUnit.size();
  ContentRange range;
  const std::optional<int64_t> first = ReadFigure(value, at);
  if (!first || !Take(value, at, '-')) return std::nullopt;
  const std::optional<int64_t> last = ReadFigure(value, at);
  if (!last || *last < *first || !Take(value, at, '/')) return std::nullopt;
  range.first = *first;
  range.last = *last;
  if (Take(value, at, '*')) {
    range.length = -1;
  } else {
    const std::optional<int64_t> length = ReadFigure(value, at);
    if (!length || *last >= *length) return std::nullopt;
    range.length = *length;
  }
  if (at != value.size()) return std::nullopt;
  return range;
}

std::optional<int64_t> ParseContentLength(std::string_view value) {
  value = TrimBlanks(value);
  size_t at = 0;
  const std::optional<int64_t> length = ReadFigure(value, at);
  if (!length || at != value.size()) return std::nullopt;
  return length;
}

std::string RangeRequestHeader(int64_t first, int64_t last) {
  std::string header = "Range: bytes=" + std::to_string(first) + "-";
  if (last >= 0) header += std::to_string(last);
  return header + "\r\n";
}

std::optional<ContentRange> AnsweredRange(int status, std::optional<std::string_view> contentRange,
                                          int64_t first, int64_t length) {
  if (status != 206 || !contentRange) return std::nullopt;
  const std::optional<ContentRange> range = ParseContentRange(*contentRange);
  if (!range || range->first != first || (length >= 0 && range->length != length)) {
    return std::nullopt;
  }
  return range;
}

std::optional<FirstAnswer> ReadFirstAnswer(int status, std::optional<std::string_view> contentRange,
                                           std::optional<std::string_view> contentLength) {
  if (status == 206) {
    const std::optional<ContentRange> leading = AnsweredRange(status, contentRange, 0, -1);
    if (!leading) return std::nullopt;
    return FirstAnswer{leading->length, leading->last + 1};
  }
  if (status != 200) return std::nullopt;
  FirstAnswer whole;
  if (contentLength) whole.length = ParseContentLength(*contentLength).value_or(-1);
  return whole;
}

std::vector<ByteSpan> SplitSpan(int64_t first, int64_t length, int parts) {
  std::vector<ByteSpan> spans;
  if (length < 0) return spans;
  if (parts < 1) parts = 1;
  if (parts > length) parts = static_cast<int>(length > 0 ? length : 0);
  for (int i = 0; i < parts; ++i) {
    // Divide before multiplying: length * i would overflow for the largest lengths.
    const int64_t from = length / parts * i + length % parts * i / parts;
    const int64_t to = length / parts * (i + 1) + length % parts * (i + 1) / parts;
    spans.push_back(ByteSpan{first + from, to - from});
  }
  return spans;
}

std::string PartFileName(const std::string& target) { return target + ".download"; }

std::vector<std::string> FallbackNames(const std::string& target) {
  // '.' is never the second byte of a GBK character, so the last one ends the stem.
  const size_t dot = std::min(target.rfind('.'), target.size());
  std::vector<std::string> names;
  for (int n = 2; n <= 9; ++n) {
    names.push_back(target.substr(0, dot) + " (" + std::to_string(n) + ")" + target.substr(dot));
  }
  return names;
}

}  // namespace zv
