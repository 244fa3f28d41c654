// What a download reads from an HTTP answer's length headers, and how it splits a file into
// ranged requests. Pure functions over the header text: the transfer service calls them at the
// platform edge, where the bytes come from a server that may send anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zv {

// No file the program downloads comes near this; larger figures are a broken or hostile
// answer, and refusing them keeps every sum of offsets clear of overflow.
inline constexpr int64_t kLargestDownload = int64_t{1} << 40;

// "bytes first-last/length" or "bytes first-last/*". `length` is -1 for '*'.
struct ContentRange {
  int64_t first = 0;
  int64_t last = 0;
  int64_t length = -1;
};

// Only the exact form: digits without signs or blanks, first <= last, last < length when the
// length is known, and no figure beyond kLargestDownload.
std::optional<ContentRange> ParseContentRange(std::string_view value);

// Decimal digits only (blanks around them allowed), at most kLargestDownload.
std::optional<int64_t> ParseContentLength(std::string_view value);

struct ByteSpan {
  int64_t first = 0;
  int64_t length = 0;
};

// Splits [first, first + length) into at most `parts` adjacent spans of nearly equal size,
// none empty, in order, covering every byte once. Nothing for a negative length.
std::vector<ByteSpan> SplitSpan(int64_t first, int64_t length, int parts);

}  // namespace zv
