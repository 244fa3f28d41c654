// GBK <-> UTF-16 at the Windows edge. Narrow literals here are GBK bytes (the build's execution
// character set), wide literals UTF-16, so each row states both sides of one text; the bytes of
// characters GBK lacks come from Python's gb18030 codec.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/code_page.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

struct Pair {
  const char* label;
  std::string gbk;
  std::wstring wide;
};

class CodePageRoundTrip : public testing::TestWithParam<Pair> {};

TEST_P(CodePageRoundTrip, BothDirections) {
  EXPECT_EQ(GbkToWide(GetParam().gbk), GetParam().wide);
  EXPECT_EQ(WideToGbk(GetParam().wide), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CodePageRoundTrip,
    testing::Values(Pair{"empty", "", L""}, Pair{"ascii", "Start 123", L"Start 123"},
                    Pair{"control_name", "快捷编辑框3", L"快捷编辑框3"},
                    Pair{"path", "D:\\Zanvoro助手\\快捷键配置.txt",
                         L"D:\\Zanvoro助手\\快捷键配置.txt"},
                    Pair{"full_width_separator", "￥￥%%", L"￥￥%%"},
                    Pair{"embedded_zero", std::string("a\0助", 4), std::wstring(L"a\0助", 3)},
                    // Saved by earlier versions as GBK's 80: it reads and writes back the same.
                    Pair{"euro", "\x80", L"\x20AC"},
                    Pair{"euro_then_emoji", "\x80\x94\x39\xFC\x36", L"\x20AC\U0001F600"},
                    Pair{"thai", "a\x81\x32\xCE\x39z", L"a\x0E01z"},
                    // An emoji (a surrogate pair in UTF-16) and a Korean word in a file name.
                    Pair{"emoji_and_korean", "\x94\x39\xFC\x36\x83\x36\x84\x33\x82\x37\xF4\x30.wav",
                         L"\U0001F600\xD55C\xAD6D.wav"}),
    test::NamedBy([](const Pair& p) { return p.label; }));

TEST(CodePage, UsesGbkNotTheSystemAnsiPage) {
  // 助 is D6 FA in GBK; under Wine's default ANSI page (1252) these would be two Latin letters.
  EXPECT_EQ(GbkToWide("\xD6\xFA"), std::wstring(L"\x52A9"));
  EXPECT_EQ(WideToGbk(L"\x52A9"), std::string("\xD6\xFA"));
}

TEST(CodePage, GbkOnlyTurnsWhatGbkLacksIntoQuestionMarks) {
  EXPECT_EQ(WideToGbkOnly(L"a\x0E01z"), "a?z");  // Thai ko kai has no GBK code
  EXPECT_EQ(WideToGbkOnly(L"\U0001F600快"), "?快");
  EXPECT_EQ(WideToGbkOnly(L"D:\\Zanvoro助手"), "D:\\Zanvoro助手");
}

TEST(CodePage, BrokenGbkIsReplacedNotDropped) {
  const std::wstring wide = GbkToWide(std::string("ab\xB0", 3));  // lead byte without trail
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(wide.substr(0, 2), L"ab");
}

}  // namespace
}  // namespace zv::win32
