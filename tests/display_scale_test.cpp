// Layout units and device pixels: one table of values worked out by hand at each display scale,
// each taken there and back again.
#include "ui/display_scale.h"

#include <gtest/gtest.h>

#include <string>

#include "case_name.h"

namespace zv {
namespace {

struct Case {
  int layout;
  int dpi;
  int device;
};

class DisplayScale : public testing::TestWithParam<Case> {};

TEST_P(DisplayScale, ToDeviceAndBackAgain) {
  const Case& c = GetParam();
  EXPECT_EQ(LayoutToDevice(c.layout, c.dpi), c.device);
  EXPECT_EQ(DeviceToLayout(c.device, c.dpi), c.layout);
}

// 120 DPI is 1.25 times and 144 DPI 1.5 times the layout: quarters and halves round to the
// nearest pixel, halves away from zero (negative places lie above or left of a container).
INSTANTIATE_TEST_SUITE_P(Values, DisplayScale,
                         testing::Values(Case{643, 96, 643}, Case{-16, 96, -16}, Case{0, 120, 0},
                                         Case{1, 120, 1}, Case{2, 120, 3}, Case{11, 120, 14},
                                         Case{13, 120, 16}, Case{15, 120, 19}, Case{50, 120, 63},
                                         Case{643, 120, 804}, Case{-1, 120, -1}, Case{-2, 120, -3},
                                         Case{-16, 120, -20}, Case{1, 144, 2}, Case{11, 144, 17},
                                         Case{13, 144, 20}, Case{15, 144, 23}, Case{50, 144, 75},
                                         Case{480, 144, 720}, Case{643, 144, 965},
                                         Case{-1, 144, -2}, Case{-16, 144, -24}, Case{11, 192, 22},
                                         Case{643, 192, 1286}, Case{-16, 192, -32}),
                         test::NamedBy([](const Case& c) {
                           return std::to_string(c.layout) + "_at_" + std::to_string(c.dpi);
                         }));

struct ReadBack {
  int device;
  int dpi;
  int layout;
};

class DeviceReadBack : public testing::TestWithParam<ReadBack> {};

// A window the user moved lands on any device pixel, not only on scaled layout units.
TEST_P(DeviceReadBack, RoundsToTheNearestLayoutUnit) {
  EXPECT_EQ(DeviceToLayout(GetParam().device, GetParam().dpi), GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(Values, DeviceReadBack,
                         testing::Values(ReadBack{3, 120, 2}, ReadBack{5, 144, 3},
                                         ReadBack{1, 144, 1}, ReadBack{-1, 144, -1},
                                         ReadBack{3, 192, 2}, ReadBack{7, 96, 7},
                                         ReadBack{40, 0, 40}),
                         test::NamedBy([](const ReadBack& c) {
                           return std::to_string(c.device) + "_at_" + std::to_string(c.dpi);
                         }));

}  // namespace
}  // namespace zv
