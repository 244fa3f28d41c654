// The download's reading of length headers and its split into ranged requests.
#include "online/byte_ranges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
                    RangeCase{"bytes 0-10", false, 0, 0, 0}, RangeCase{"", false, 0, 0, 0}));

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
                    LengthCase{"99999999999999999999", -1}));

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
                    SplitCase{0, -1, 5, 0}, SplitCase{0, kLargestDownload, 7, 7}));

}  // namespace
}  // namespace zv
