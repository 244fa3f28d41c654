// Text to integer and number to text as the version check and the update window use them.
#include "base/number_text.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace zv {
namespace {

struct IntegerCase {
  std::string text;
  Digits digits;
  int expected;
};

class TextToIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(TextToIntegerTest, ReadsLeadingNumber) {
  const IntegerCase& c = GetParam();
  EXPECT_EQ(TextToInteger(c.text, c.digits), c.expected);
}

constexpr Digits A = Digits::Ascii;
constexpr Digits W = Digits::AsciiAndFullWidth;

INSTANTIATE_TEST_SUITE_P(
    Table, TextToIntegerTest,
    testing::Values(IntegerCase{"2", A, 2}, IntegerCase{"3.5", A, 3}, IntegerCase{"x2", A, 0},
                    IntegerCase{"", A, 0}, IntegerCase{"  42abc", A, 42},
                    IntegerCase{"\t-17", A, -17}, IntegerCase{"+8", A, 8},
                    IntegerCase{"- 8", A, 0}, IntegerCase{"--8", A, 0},
                    IntegerCase{"99999999999", A, 2147483647},
                    IntegerCase{"-99999999999", A, -2147483647 - 1},
                    IntegerCase{"２", A, 0}, IntegerCase{"２", W, 2}, IntegerCase{"１２3", W, 123},
                    IntegerCase{"－５", W, -5}, IntegerCase{"＋７x", W, 7},
                    IntegerCase{"　９", W, 9}, IntegerCase{"版本２", W, 0}),
    test::NamedBy([](const IntegerCase& c) { return c.text; }));

struct TextCase {
  double value;
  std::string expected;
};

class NumberToTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(NumberToTextTest, WritesShortestDecimal) {
  EXPECT_EQ(NumberToText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberToTextTest,
    testing::Values(TextCase{0, "0"}, TextCase{1536.0, "1536"}, TextCase{12.5, "12.5"},
                    TextCase{-3, "-3"}, TextCase{0.1, "0.1"}, TextCase{1.0 / 3, "0.3333333333333"},
                    TextCase{2.0 / 3, "0.6666666666667"}, TextCase{123456.789, "123456.789"},
                    TextCase{-0.0, "0"}, TextCase{0.00012, "0.00012"},
                    TextCase{1e15, "1000000000000000"}),
    test::NamedBy([](const TextCase& c) { return c.expected; }));

struct RoundCase {
  double value;
  int places;
  double expected;
};

class RoundTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundTest, RoundsHalfAwayFromZero) {
  const RoundCase& c = GetParam();
  EXPECT_DOUBLE_EQ(RoundHalfAwayFromZero(c.value, c.places), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RoundTest,
    testing::Values(RoundCase{1.005, 2, 1.01},  // 1.00499999999999989… counts as a half
                    RoundCase{2.675, 2, 2.68}, RoundCase{-2.675, 2, -2.68},
                    RoundCase{0.125, 2, 0.13}, RoundCase{1.004, 2, 1.0},
                    RoundCase{1536.0 / 1024 / 0.5, 2, 3.0}, RoundCase{2.5, 0, 3.0},
                    RoundCase{-2.5, 0, -3.0}, RoundCase{12.344999, 2, 12.34}),
    test::NamedBy([](const RoundCase& c) { return std::to_string(c.value); }));

}  // namespace
}  // namespace zv
