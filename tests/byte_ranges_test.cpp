// The download's requests, its reading of the answers' length headers, its split into ranged
// requests and the names it falls back on.
#include "online/byte_ranges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "case_name.h"

namespace zv {
namespace {

struct RangeCase {
  std::string value;
  bool valid;
  int64_t first, last, length;
};

class ContentRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(ContentRangeTest, ReadsOnlyTheExactForm) {
  const RangeCase& c = GetParam();
  const std::optional<ContentRange> range = ParseContentRange(c.value);
  ASSERT_EQ(range.has_value(), c.valid) << c.value;
  if (!range) return;
  EXPECT_EQ(range->first, c.first);
  EXPECT_EQ(range->last, c.last);
  EXPECT_EQ(range->length, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContentRangeTest,
    testing::Values(RangeCase{"bytes 0-99/1000", true, 0, 99, 1000},
                    RangeCase{"bytes 0-65535/67108864", true, 0, 65535, 67108864},
                    RangeCase{"bytes 5-5/6", true, 5, 5, 6},
                    RangeCase{"bytes 0-99/*", true, 0, 99, -1},
                    RangeCase{" bytes 1-2/3 ", true, 1, 2, 3},
                    RangeCase{"bytes 0-1099511627775/1099511627776", true, 0,
                              1099511627775, 1099511627776},
                    // Past the largest download: a sum of offsets must never overflow.
                    RangeCase{"bytes 0-1/99999999999999999999999", false, 0, 0, 0},
                    RangeCase{"bytes 0-1/1099511627777", false, 0, 0, 0},
                    RangeCase{"bytes 0-99/100x", false, 0, 0, 0},
                    RangeCase{"bytes 0-100/100", false, 0, 0, 0},  // last byte past the end
                    RangeCase{"bytes 9-3/100", false, 0, 0, 0},
                    RangeCase{"bytes -5-10/100", false, 0, 0, 0},
                    RangeCase{"bytes +0-10/100", false, 0, 0, 0},
                    RangeCase{"bytes  0-10/100", false, 0, 0, 0},
                    RangeCase{"bytes 0-/100", false, 0, 0, 0},
                    RangeCase{"bytes 0-10/-100", false, 0, 0, 0},
                    RangeCase{"bytes */100", false, 0, 0, 0},
                    RangeCase{"items 0-10/100", false, 0, 0, 0},
                    RangeCase{"bytes 0-10", false, 0, 0, 0}, RangeCase{"", false, 0, 0, 0}),
    test::NamedBy([](const RangeCase& c) { return c.value; }));

struct LengthCase {
  std::string value;
  int64_t expected;  // -1: refused
};

class ContentLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthTest, ReadsDigitsOnly) {
  const LengthCase& c = GetParam();
  EXPECT_EQ(ParseContentLength(c.value).value_or(-1), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ContentLengthTest,
    testing::Values(LengthCase{"0", 0}, LengthCase{"67108864", 67108864},
                    LengthCase{" 12 ", 12}, LengthCase{"", -1}, LengthCase{"-1", -1},
                    LengthCase{"+5", -1}, LengthCase{"12abc", -1}, LengthCase{"1 2", -1},
                    LengthCase{"99999999999999999999", -1}),
    test::NamedBy([](const LengthCase& c) { return c.value; }));

struct SplitCase {
  int64_t first, length;
  int parts;
  size_t spans;
};

class SplitSpanTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitSpanTest, CoversEveryByteOnceInOrder) {
  const SplitCase& c = GetParam();
  const std::vector<ByteSpan> spans = SplitSpan(c.first, c.length, c.parts);
  ASSERT_EQ(spans.size(), c.spans);
  int64_t next = c.first;
  int64_t smallest = c.length, largest = 0;
  for (const ByteSpan& span : spans) {
    EXPECT_EQ(span.first, next);
    EXPECT_GT(span.length, 0);
    next += span.length;
    smallest = std::min(smallest, span.length);
    largest = std::max(largest, span.length);
  }
  EXPECT_EQ(next, c.first + (c.length > 0 ? c.length : 0));
  if (!spans.empty()) {
    EXPECT_LE(largest - smallest, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitSpanTest,
    testing::Values(SplitCase{65536, 67108864 - 65536, 5, 5}, SplitCase{0, 10, 3, 3},
                    SplitCase{100, 3, 5, 3}, SplitCase{0, 0, 5, 0}, SplitCase{0, 7, 0, 1},
                    SplitCase{0, -1, 5, 0}, SplitCase{0, kLargestDownload, 7, 7}),
    test::NamedBy([](const SplitCase& c) {
      return std::to_string(c.length) + "_in_" + std::to_string(c.parts);
    }));

TEST(RangeRequestHeaderTest, ClosedOrOpenEnded) {
  EXPECT_EQ(RangeRequestHeader(0, 65535), "Range: bytes=0-65535\r\n");
  EXPECT_EQ(RangeRequestHeader(65536, -1), "Range: bytes=65536-\r\n");
}

struct AnswerCase {
  const char* label;
  int status;
  std::optional<std::string> range;
  int64_t first, length;  // what was asked for
  bool answered;
};

class AnsweredRangeTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(AnsweredRangeTest, OnlyThePartAskedFor) {
  const AnswerCase& c = GetParam();
  const std::optional<ContentRange> range = AnsweredRange(c.status, c.range, c.first, c.length);
  ASSERT_EQ(range.has_value(), c.answered);
  if (range) {
    EXPECT_EQ(range->first, c.first);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnsweredRangeTest,
    testing::Values(AnswerCase{"asked", 206, "bytes 100-199/1000", 100, 1000, true},
                    AnswerCase{"any_length", 206, "bytes 100-199/1000", 100, -1, true},
                    AnswerCase{"unknown_length", 206, "bytes 100-199/*", 100, 1000, false},
                    AnswerCase{"another_start", 206, "bytes 0-199/1000", 100, 1000, false},
                    AnswerCase{"another_file", 206, "bytes 100-199/2000", 100, 1000, false},
                    AnswerCase{"whole_file", 200, "bytes 100-199/1000", 100, 1000, false},
                    AnswerCase{"no_header", 206, std::nullopt, 100, 1000, false},
                    AnswerCase{"broken_header", 206, "bytes 100-99/1000", 100, 1000, false}),
    test::NamedBy([](const AnswerCase& c) { return c.label; }));

struct FirstCase {
  const char* label;
  int status;
  std::optional<std::string> range, length;
  bool usable;
  int64_t fileLength, leadingBytes;
};

class FirstAnswerTest : public testing::TestWithParam<FirstCase> {};

TEST_P(FirstAnswerTest, LengthAndLeadingBytes) {
  const FirstCase& c = GetParam();
  const std::optional<FirstAnswer> answer = ReadFirstAnswer(c.status, c.range, c.length);
  ASSERT_EQ(answer.has_value(), c.usable);
  if (!answer) return;
  EXPECT_EQ(answer->length, c.fileLength);
  EXPECT_EQ(answer->leadingBytes, c.leadingBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FirstAnswerTest,
    testing::Values(
        FirstCase{"ranged", 206, "bytes 0-65535/67108864", "65536", true, 67108864, 65536},
        FirstCase{"smaller_than_asked", 206, "bytes 0-9/10", "10", true, 10, 10},
        FirstCase{"unknown_length", 206, "bytes 0-65535/*", std::nullopt, true, -1, 65536},
        FirstCase{"not_from_the_start", 206, "bytes 1-65535/67108864", std::nullopt, false, 0, 0},
        FirstCase{"no_range", 206, std::nullopt, "65536", false, 0, 0},
        FirstCase{"no_ranges_with_length", 200, std::nullopt, "12345", true, 12345, -1},
        FirstCase{"no_ranges_range_ignored", 200, "bytes 0-9/10", "12345", true, 12345, -1},
        FirstCase{"no_ranges_no_length", 200, std::nullopt, std::nullopt, true, -1, -1},
        FirstCase{"no_ranges_broken_length", 200, std::nullopt, "12abc", true, -1, -1},
        FirstCase{"error_page", 404, std::nullopt, "512", false, 0, 0},
        FirstCase{"unsatisfiable", 416, "bytes */0", std::nullopt, false, 0, 0}),
    test::NamedBy([](const FirstCase& c) { return c.label; }));

struct NameCase {
  std::string target, first, last;
};

class DownloadNamesTest : public testing::TestWithParam<NameCase> {};

TEST_P(DownloadNamesTest, NumberedFallbacks) {
  const NameCase& c = GetParam();
  const std::vector<std::string> names = FallbackNames(c.target);
  ASSERT_EQ(names.size(), 8u);
  EXPECT_EQ(names.front(), c.first);
  EXPECT_EQ(names.back(), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DownloadNamesTest,
    testing::Values(NameCase{"C:\\x\\a.exe", "C:\\x\\a (2).exe", "C:\\x\\a (9).exe"},
                    NameCase{"C:\\x\\a.tar.gz", "C:\\x\\a.tar (2).gz", "C:\\x\\a.tar (9).gz"},
                    NameCase{"C:\\x\\a", "C:\\x\\a (2)", "C:\\x\\a (9)"},
                    // 助手 in GBK bytes: the stem keeps its two-byte characters whole.
                    NameCase{"\xD6\xFA\xCA\xD6.exe", "\xD6\xFA\xCA\xD6 (2).exe",
                             "\xD6\xFA\xCA\xD6 (9).exe"}),
    test::NamedBy([](const NameCase& c) { return c.target; }));

}  // namespace
}  // namespace zv
