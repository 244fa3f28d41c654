// libFuzzer target for the GBK-aware find. The input is split into text, needle and a start
// position. A found position must be a character start at or after the start, hold the needle,
// and be the first such place; nothing found means no character start from there holds it.
// Texts may hold GB18030's four-byte sequences (characters GBK lacks), which the find steps over
// as two double-byte pairs: read as whole characters, no match may begin inside one, unless the
// needle itself begins like the second half of one (the program's needles never do).
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "base/gbk_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using zv::fuzz::Check;

bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsDigit(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }

unsigned char At(const std::string& text, size_t at) {
  return static_cast<unsigned char>(text[at]);
}

// Lead byte, digit, lead byte, digit: one GB18030 character.
bool FourByteAt(const std::string& text, size_t at) {
  return at + 3 < text.size() && IsLead(At(text, at)) && IsDigit(At(text, at + 1)) &&
         IsLead(At(text, at + 2)) && IsDigit(At(text, at + 3));
}

// Byte offsets where a character begins when the text is read from its first byte, a byte of
// 0x80 or above taking the next with it; with `wholeFourByte`, a four-byte character is one.
std::set<size_t> CharacterStarts(const std::string& text, bool wholeFourByte) {
  std::set<size_t> starts;
  size_t at = 0;
  while (at < text.size()) {
    starts.insert(at);
    if (wholeFourByte && FourByteAt(text, at)) {
      at += 4;
    } else {
      at += At(text, at) >= 0x80 && at + 1 < text.size() ? 2 : 1;
    }
  }
  return starts;
}

// The first of `starts` at or after `earliest` that holds the needle, as a position from 1.
int FirstMatch(const std::string& text, const std::string& needle, const std::set<size_t>& starts,
               size_t earliest) {
  if (needle.empty()) return -1;
  for (size_t start : starts) {
    if (start >= earliest && text.compare(start, needle.size(), needle) == 0) {
      return static_cast<int>(start) + 1;
    }
  }
  return -1;
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
  // The first character start at or after the start position (positions count from 1).
  const size_t earliest = static_cast<size_t>(from < 1 ? 0 : from - 1);
  const std::set<size_t> pairs = CharacterStarts(text, false);
  Check(found == FirstMatch(text, needle, pairs, earliest));
  Check(found == -1 || (pairs.count(static_cast<size_t>(found - 1)) == 1 &&
                        text.compare(static_cast<size_t>(found - 1), needle.size(), needle) == 0));

  // The second half of a four-byte character is a lead byte and a digit; a needle that cannot
  // begin so is found exactly where whole characters would find it.
  const bool couldStartMidCharacter =
      !needle.empty() && IsLead(At(needle, 0)) && (needle.size() == 1 || IsDigit(At(needle, 1)));
  if (!couldStartMidCharacter) {
    Check(found == FirstMatch(text, needle, CharacterStarts(text, true), earliest));
  }
  return 0;
}
