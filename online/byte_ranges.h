// What a download asks a server for, what it reads from the answers' length headers, how it
// splits a file into ranged requests, and the names of its files. Pure functions over the
// header text: the transfer service calls them at the platform edge, where the bytes come from
// a server that may send anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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

// "Range: bytes=first-last" and CRLF; from `first` to the end when `last` is -1.
std::string RangeRequestHeader(int64_t first, int64_t last);

// The range of a 206 answer, when it starts at `first` and belongs to a file of `length` bytes
// (any length when -1). Nothing for another status, a missing header or any other range.
std::optional<ContentRange> AnsweredRange(int status, std::optional<std::string_view> contentRange,
                                          int64_t first, int64_t length);

// What the answer to the first request (a range from byte 0) tells about the file.
struct FirstAnswer {
  int64_t length = -1;        // the file's length; -1 when the server does not say
  int64_t leadingBytes = -1;  // the file's first bytes this answer carries; -1: all of it, as
                              // one stream from a server that ignores ranges
};

// A 206 from byte 0, or a 200 with its Content-Length when readable. Nothing for anything else:
// an error page is not the file.
std::optional<FirstAnswer> ReadFirstAnswer(int status, std::optional<std::string_view> contentRange,
                                           std::optional<std::string_view> contentLength);

// Splits [first, first + length) into at most `parts` adjacent spans of nearly equal size,
// none empty, in order, covering every byte once. Nothing for a negative length.
std::vector<ByteSpan> SplitSpan(int64_t first, int64_t length, int parts);

// The file the bytes go into: beside the target, so the final rename stays on one volume.
std::string PartFileName(const std::string& target);

// Where the finished file goes, in order, when the target cannot be replaced (a program still
// running from it): "stem (2).ext" up to "stem (9).ext".
std::vector<std::string> FallbackNames(const std::string& target);

}  // namespace zv
