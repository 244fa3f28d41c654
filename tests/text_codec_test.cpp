// The native UTF-8 -> GBK converter the behaviour tests run on, against the shared table
// the Windows converter passes too.
#include <gtest/gtest.h>

#include "platform/fake/fake_text_codec.h"
#include "text_codec_cases.h"

namespace zv {
namespace {

class FakeTextCodecTest : public testing::TestWithParam<TextCodecCase> {};

TEST_P(FakeTextCodecTest, ConvertsToGbkAndFourByteSequences) {
  EXPECT_EQ(OneMarkPerRun(FakeTextCodec().Utf8ToGbk(GetParam().utf8)), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(Table, FakeTextCodecTest, testing::ValuesIn(kTextCodecCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(FakeTextCodecTest, LongTextConvertsWhole) {
  std::string utf8, gbk;
  for (int i = 0; i < 5000; ++i) {
    utf8 += u8"在线\xFF";
    gbk += "在线?";
  }
  EXPECT_EQ(FakeTextCodec().Utf8ToGbk(utf8), gbk);
}

}  // namespace
}  // namespace zv
