// libFuzzer target for the download's reading of Content-Range and Content-Length answers and
// its split of a file into parts. Whatever a server sends, an accepted range is well-formed
// (first <= last < length, all within the largest download) and reads the same written back in
// canonical form; an accepted length is the digits it was given; and any split covers its span
// once, in order, in non-empty parts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/little_endian.h"
#include "fuzz/fuzz_check.h"
#include "online/byte_ranges.h"

namespace {

using zv::fuzz::Check;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A figure written with a leading zero ("007") reads like one without.
bool HasLeadingZero(std::string_view text) {
  for (size_t at = 0; at + 2 < text.size(); ++at) {
    const char before = text[at];
    if ((before == ' ' || before == '-' || before == '/') && text[at + 1] == '0' &&
        text[at + 2] >= '0' && text[at + 2] <= '9') {
      return true;
    }
  }
  return false;
}

void CheckRange(std::string_view value) {
  const std::optional<zv::ContentRange> range = zv::ParseContentRange(value);
  if (!range) return;
  Check(range->first >= 0 && range->first <= range->last);
  Check(range->last <= zv::kLargestDownload);
  Check(range->length == -1 || (range->last < range->length && range->length <= zv::kLargestDownload));
  const std::string canonical = "bytes " + std::to_string(range->first) + "-" +
                                std::to_string(range->last) + "/" +
                                (range->length < 0 ? "*" : std::to_string(range->length));
  // Blanks around it and leading zeros are the only ways two texts give one range.
  const std::string_view trimmed = Trimmed(value);
  if (!HasLeadingZero(trimmed)) Check(trimmed == canonical);
  const std::optional<zv::ContentRange> again = zv::ParseContentRange(canonical);
  Check(again && again->first == range->first && again->last == range->last &&
        again->length == range->length);
}

void CheckLength(std::string_view value) {
  const std::optional<int64_t> length = zv::ParseContentLength(value);
  if (!length) return;
  Check(*length >= 0 && *length <= zv::kLargestDownload);
  const std::string_view trimmed = Trimmed(value);
  Check(trimmed.find_first_not_of("0123456789") == std::string_view::npos);
  Check(zv::ParseContentLength(std::to_string(*length)) == length);
}

void CheckSplit(std::string_view bytes) {
  if (bytes.size() < 9) return;
  const int64_t length = static_cast<int64_t>(
      (uint64_t{zv::ReadLittleEndian(bytes, 0, 4)} << 9 ^ zv::ReadLittleEndian(bytes, 4, 4)) %
      (uint64_t(zv::kLargestDownload) + 1));
  const int parts = static_cast<int8_t>(bytes[8]);
  const std::vector<zv::ByteSpan> spans = zv::SplitSpan(1000, length, parts);
  int64_t next = 1000;
  for (const zv::ByteSpan& span : spans) {
    Check(span.first == next && span.length > 0);
    next += span.length;
  }
  Check(next == 1000 + length);
  Check(spans.size() <= static_cast<size_t>(parts < 1 ? 1 : parts));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckRange(bytes);
  CheckLength(bytes);
  CheckSplit(bytes);
  return 0;
}
