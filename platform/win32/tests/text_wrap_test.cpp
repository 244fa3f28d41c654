// Line breaking of self-drawn labels, with a fixed-width measure: ASCII 5 px, the rest 10 px.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/text_wrap.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

int FixedWidth(const wchar_t* text, size_t count) {
  int width = 0;
  for (size_t i = 0; i < count; ++i) width += text[i] < 0x80 ? 5 : 10;
  return width;
}

struct Case {
  const char* label;
  std::wstring text;
  int width;
  std::vector<std::wstring> lines;
};

class Wrap : public testing::TestWithParam<Case> {};

TEST_P(Wrap, Lines) {
  EXPECT_EQ(WrapText(GetParam().text, GetParam().width, FixedWidth), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wrap,
    testing::Values(
        Case{"fits", L"官方网站", 40, {L"官方网站"}},
        Case{"chinese_per_character", L"温馨提示点击歌曲", 30, {L"温馨提", L"示点击", L"歌曲"}},
        Case{"latin_at_spaces", L"one two three", 40, {L"one two", L"three"}},
        Case{"long_word_cut", L"abcdefghij", 20, {L"abcd", L"efgh", L"ij"}},
        Case{"cjk_break_beats_earlier_space", L"ab cd中文", 30, {L"ab cd", L"中文"}},
        Case{"latin_word_kept_after_cjk", L"中文abc", 30, {L"中文", L"abc"}},
        Case{"narrower_than_a_glyph", L"中文", 3, {L"中", L"文"}},
        Case{"hard_breaks", L"第一行\r\n\r\n第二\n三", 100, {L"第一行", L"", L"第二", L"三"}},
        Case{"lone_cr", L"a\rb", 100, {L"a", L"b"}},
        Case{"empty", L"", 100, {L""}},
        Case{"spaces_at_soft_break_dropped", L"ab   cd", 15, {L"ab", L"cd"}},
        Case{"closing_mark_stays_with_its_line", L"点击我！选择", 30, {L"点击", L"我！选", L"择"}},
        Case{"only_closing_marks_are_still_cut", L"！！！！", 20, {L"！！", L"！！"}},
        Case{"latin_comma_not_at_line_start", L"ab cd, ef", 25, {L"ab", L"cd,", L"ef"}}),
    test::NamedBy([](const Case& c) { return c.label; }));

TEST(SplitLines, HardBreaksOnly) {
  EXPECT_EQ(SplitLines(L"快捷键F1：很长的一行不折"), std::vector<std::wstring>{L"快捷键F1：很长的一行不折"});
  EXPECT_EQ(SplitLines(L"a\r\nb\rc\n"), (std::vector<std::wstring>{L"a", L"b", L"c", L""}));
}

}  // namespace
}  // namespace zv::win32
