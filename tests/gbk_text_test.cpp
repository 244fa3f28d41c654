// Character-aware find and split over GBK bytes.
#include "base/gbk_text.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace zv {
namespace {

struct FindCase {
  std::string text, needle;
  int from, expected;
};

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, FindsOnlyAtCharacterStarts) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindText(c.text, c.needle, c.from), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindTextTest,
    testing::Values(FindCase{"abc", "b", 1, 2}, FindCase{"abc", "x", 1, -1},
                    FindCase{"abc", "", 1, -1}, FindCase{"", "a", 1, -1},
                    FindCase{"abcabc", "abc", 2, 4}, FindCase{"abc", "ABC", 1, -1},
                    FindCase{"abc", "abcd", 1, -1},
                    // 快 is BF EC; "\xEC" alone must not match inside it.
                    FindCase{"快x\xEC", "\xEC", 1, 4},
                    // Full-width number sign A3 A3 followed by A4: no match at its second byte.
                    FindCase{"\xA3\xA3\xA4", "\xA3\xA4", 1, -1},
                    FindCase{"\xA3\xA3\xA3\xA4", "\xA3\xA4", 1, 3},
                    // Starting inside a character does not realign onto its trail byte.
                    FindCase{"\xA3\xA3\xA4x", "x", 2, -1}, FindCase{"\xA3\xA3xx", "x", 2, 3}, FindCase{"ab", "b", 0, 2},
                    // GB18030's four bytes (an emoji, 94 39 FC 36) step as two pairs: the
                    // digits inside never match, the text behind it does.
                    FindCase{"\x94\x39\xFC\x36", "9", 1, -1},
                    FindCase{"\x94\x39\xFC\x36", "6", 1, -1},
                    FindCase{"\x94\x39\xFC\x36\x36", "6", 1, 5},
                    FindCase{"\x94\x39\xFC\x36---", "---", 2, 5}),
    test::NamedBy([](const FindCase& c) { return c.text + "_" + c.needle; }));

struct SplitCase {
  std::string text, marker;
  std::vector<std::string> fields;
};

class SplitTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, SplitsIntoFields) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitText(c.text, c.marker), c.fields);
}

const std::string S = kFieldSeparator;

INSTANTIATE_TEST_SUITE_P(
    Table, SplitTextTest,
    testing::Values(
        SplitCase{"", "---", {}}, SplitCase{"---", "---", {""}},
        SplitCase{"a---b", "---", {"a", "b"}}, SplitCase{"a---b---", "---", {"a", "b"}},
        SplitCase{"a------b", "---", {"a", "", "b"}}, SplitCase{"ab", "---", {"ab"}},
        SplitCase{"2---http://x/a.exe---名字", "---", {"2", "http://x/a.exe", "名字"}},
        SplitCase{"甲" + S + S + "乙" + S, S, {"甲", "", "乙"}},
        // A3 A3 then the separator's own bytes: the match starts only after the character.
        SplitCase{"\xA3\xA3" + S + "x", S, {"\xA3\xA3", "x"}},
        SplitCase{"abc", "", {"abc"}},
        // An emoji and a Korean word (GB18030 four-byte sequences) between separators.
        SplitCase{"\x94\x39\xFC\x36" + S + "\x83\x36\x84\x33\x82\x37\xF4\x30" + S, S,
                  {"\x94\x39\xFC\x36", "\x83\x36\x84\x33\x82\x37\xF4\x30"}},
        SplitCase{"2---\x94\x39\xFC\x36---x", "---", {"2", "\x94\x39\xFC\x36", "x"}}),
    test::NamedBy([](const SplitCase& c) { return c.text; }));

TEST(SeparatorTest, IsTheNineteenConfigurationBytes) {
  EXPECT_EQ(kFieldSeparator,
            std::string("\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4\xA3\xA4%%%%%%%"));
}

TEST(TextUpToZeroTest, EndsAtTheFirstZeroByte) {
  EXPECT_EQ(TextUpToZero(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(TextUpToZero("abc"), "abc");
  EXPECT_EQ(TextUpToZero(std::string("\0x", 2)), "");
}

}  // namespace
}  // namespace zv
