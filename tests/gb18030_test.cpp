// GB18030's four-byte sequences against Python's gb18030 codec, and the relations every
// character must keep: what is encoded decodes back, in code point order, and the counts are
// the standard's.
#include "base/gb18030.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

struct FourByteCase {
  std::string name;
  char32_t codePoint;
  std::string bytes;  // empty: not a four-byte character
};

class FourByteTest : public testing::TestWithParam<FourByteCase> {};

TEST_P(FourByteTest, EncodesAndDecodesAsPythonsCodec) {
  const FourByteCase& c = GetParam();
  EXPECT_EQ(EncodeFourByte(c.codePoint).value_or(""), c.bytes);
  if (!c.bytes.empty()) {
    EXPECT_EQ(DecodeFourByte(c.bytes, 0), c.codePoint);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FourByteTest,
    testing::Values(FourByteCase{"firstBmp", 0x80, "\x81\x30\x81\x30"},
                    FourByteCase{"yen", 0xA5, "\x81\x30\x84\x36"},
                    FourByteCase{"thai", 0xE01, "\x81\x32\xCE\x39"},
                    FourByteCase{"hangul", 0xD55C, "\x83\x36\x84\x33"},
                    FourByteCase{"lastBmp", 0xFFFF, "\x84\x31\xA4\x39"},
                    FourByteCase{"firstSupplementary", 0x10000, "\x90\x30\x81\x30"},
                    FourByteCase{"emoji", 0x1F600, "\x94\x39\xFC\x36"},
                    FourByteCase{"lastCodePoint", 0x10FFFF, "\xE3\x32\x9A\x35"},
                    FourByteCase{"ascii", 'A', ""},
                    FourByteCase{"gbkHan", 0x4E00, ""},       // 一 is D2 BB
                    FourByteCase{"twoByteEuro", 0x20AC, ""},  // A2 E3
                    FourByteCase{"surrogate", 0xD800, ""},
                    FourByteCase{"beyondUnicode", 0x110000, ""}),
    [](const auto& info) { return info.param.name; });

struct NoCharacterCase {
  std::string name;
  std::string bytes;
};

class NoCharacterTest : public testing::TestWithParam<NoCharacterCase> {};

TEST_P(NoCharacterTest, DecodesToNothing) { EXPECT_FALSE(DecodeFourByte(GetParam().bytes, 0)); }

INSTANTIATE_TEST_SUITE_P(Table, NoCharacterTest,
                         testing::Values(NoCharacterCase{"pastTheBmpIndexes", "\x84\x31\xA5\x30"},
                                         NoCharacterCase{"pastU10FFFF", "\xE3\x32\x9A\x36"},
                                         NoCharacterCase{"lastSequence", "\xFE\x39\xFE\x39"},
                                         NoCharacterCase{"gbkCharacters", "\xD2\xBB\xD2\xBB"},
                                         NoCharacterCase{"cutShort", "\x94\x39\xFC"}),
                         [](const auto& info) { return info.param.name; });

TEST(FourByteRelationsTest, EveryCharacterRoundTripsInOrderAndTheCountsAreTheStandards) {
  size_t bmp = 0, supplementary = 0;
  std::string previous;
  for (char32_t codePoint = 0; codePoint <= 0x10FFFF; ++codePoint) {
    const std::optional<std::string> bytes = EncodeFourByte(codePoint);
    if (!bytes) continue;
    ASSERT_TRUE(IsFourByteSequence(*bytes, 0)) << std::hex << codePoint;
    ASSERT_EQ(DecodeFourByte(*bytes, 0), codePoint) << std::hex << codePoint;
    ASSERT_LT(previous, *bytes) << std::hex << codePoint;  // byte order follows code point order
    previous = *bytes;
    ++(codePoint < 0x10000 ? bmp : supplementary);
  }
  EXPECT_EQ(bmp, 39420u);  // the four-byte indexes 0 .. 39419 (81 30 81 30 .. 84 31 A4 39)
  EXPECT_EQ(supplementary, 0x100000u);
}

}  // namespace
}  // namespace zv
