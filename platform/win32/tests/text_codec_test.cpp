// UTF-8 pages to GBK through Windows itself, against the table the native stand-in passes.
#include <gtest/gtest.h>

#include "platform/win32/win32_text_codec.h"
#include "tests/case_name.h"
#include "tests/text_codec_cases.h"

namespace zv::win32 {
namespace {

class Win32TextCodecTest : public testing::TestWithParam<TextCodecCase> {};

TEST_P(Win32TextCodecTest, ConvertsToGbkAndFourByteSequences) {
  EXPECT_EQ(OneMarkPerRun(Win32TextCodec().Utf8ToGbk(GetParam().utf8)), GetParam().gbk);
}

INSTANTIATE_TEST_SUITE_P(Table, Win32TextCodecTest, testing::ValuesIn(kTextCodecCases),
                         test::NamedBy([](const TextCodecCase& c) { return c.label; }));

}  // namespace
}  // namespace zv::win32
