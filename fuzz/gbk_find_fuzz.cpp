// libFuzzer target for the GBK-aware find. The input is split into text, needle and a start
// position. A found position must be a character start at or after the start, hold the needle,
// and be the first such place; nothing found means no character start from there holds it.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "base/gbk_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using zv::fuzz::Check;

// Byte offsets where a character begins when the text is read from its first byte.
std::set<size_t> CharacterStarts(const std::string& text) {
  std::set<size_t> starts;
  size_t at = 0;
  while (at < text.size()) {
    starts.insert(at);
    at += static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
  }
  return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // Byte 0: the needle's length (up to 16); byte 1: the start position.
  const size_t needleLength = data[0] % 17;
  const int from = static_cast<int8_t>(data[1]);
  const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (needleLength > rest.size()) return 0;
  const std::string needle = rest.substr(0, needleLength);
  const std::string text = rest.substr(needleLength);

  const int found = zv::FindText(text, needle, from);
  const std::set<size_t> starts = CharacterStarts(text);
  // The first character start at or after the start position (positions count from 1).
  const size_t earliest = static_cast<size_t>(from < 1 ? 0 : from - 1);
  size_t expected = std::string::npos;
  if (!needle.empty()) {
    for (size_t start : starts) {
      if (start >= earliest && text.compare(start, needle.size(), needle) == 0) {
        expected = start;
        break;
      }
    }
  }
  Check(found == (expected == std::string::npos ? -1 : static_cast<int>(expected) + 1));
  Check(found == -1 || (starts.count(static_cast<size_t>(found - 1)) == 1 &&
                        text.compare(static_cast<size_t>(found - 1), needle.size(), needle) == 0));
  return 0;
}
