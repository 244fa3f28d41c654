// Picture resampling, judged by what any good filter must keep: a flat colour stays exact, the
// average brightness survives, a reduction averages what each pixel covers, and an enlarged
// edge stays an edge.
#include "ui/picture_scaling.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "case_name.h"

namespace zv {
namespace {

std::uint32_t Grey(int level) {
  const auto v = static_cast<std::uint32_t>(level);
  return v | (v << 8) | (v << 16);
}

int Channel(std::uint32_t pixel, int channel) { return (pixel >> (8 * channel)) & 0xFF; }

double MeanGreen(const std::vector<std::uint32_t>& pixels) {
  double sum = 0;
  for (std::uint32_t p : pixels) sum += Channel(p, 1);
  return pixels.empty() ? 0 : sum / pixels.size();
}

struct Sizes {
  int width, height, toWidth, toHeight;
};

std::string Named(const Sizes& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height) + "_to_" +
         std::to_string(s.toWidth) + "x" + std::to_string(s.toHeight);
}

class EveryScale : public testing::TestWithParam<Sizes> {};

// Reductions and enlargements by the ratios the windows meet (the art at twice the size, the
// scales 125 %, 150 %, 200 %, the piano's odd boxes), and the degenerate single pixel.
INSTANTIATE_TEST_SUITE_P(Sizes, EveryScale,
                         testing::Values(Sizes{200, 60, 96, 32}, Sizes{96, 30, 192, 64},
                                         Sizes{100, 45, 125, 56}, Sizes{100, 45, 150, 68},
                                         Sizes{606, 286, 568, 288}, Sizes{50, 50, 50, 50},
                                         Sizes{1, 1, 5, 3}, Sizes{7, 5, 1, 1},
                                         Sizes{400, 400, 312, 312}),
                         test::NamedBy(Named));

TEST_P(EveryScale, FlatColourStaysExactlyThatColour) {
  const Sizes& s = GetParam();
  const std::uint32_t colour = 0x00C86432;  // red 200, green 100, blue 50
  const std::vector<std::uint32_t> source(static_cast<size_t>(s.width) * s.height,
                                          colour | 0xFF000000u);
  const std::vector<std::uint32_t> scaled =
      ScalePixels(source, s.width, s.height, s.toWidth, s.toHeight);
  ASSERT_EQ(scaled.size(), static_cast<size_t>(s.toWidth) * s.toHeight);
  for (std::uint32_t p : scaled) ASSERT_EQ(p, colour);
}

TEST_P(EveryScale, AverageBrightnessSurvives) {
  const Sizes& s = GetParam();
  // A smooth field with some texture, the kind of picture the windows carry.
  std::vector<std::uint32_t> source(static_cast<size_t>(s.width) * s.height);
  std::uint32_t seed = 12345;
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) % 41) - 20;
      const int level = 60 + (120 * x) / s.width + (40 * y) / s.height + noise;
      source[static_cast<size_t>(y) * s.width + x] = Grey(level);
    }
  }
  const std::vector<std::uint32_t> scaled =
      ScalePixels(source, s.width, s.height, s.toWidth, s.toHeight);
  // A single output pixel is one weighted sample of the whole picture; a picture of more is
  // within a level of the original's mean.
  const double slack = s.toWidth * s.toHeight == 1 ? 20.0 : 1.5;
  EXPECT_NEAR(MeanGreen(scaled), MeanGreen(source), slack);
}

struct ShrinkCase {
  const char* name;
  int width, height, toWidth, toHeight;
  std::uint32_t (*source)(int x, int y);
  int (*expected)(int x, int y);  // grey level: the mean of the source area under the pixel
};

class Shrinking : public testing::TestWithParam<ShrinkCase> {};

// Thin lines turn into lighter ones instead of vanishing or staying whole.
TEST_P(Shrinking, EveryPixelIsTheMeanOfTheAreaItCovers) {
  const ShrinkCase& c = GetParam();
  std::vector<std::uint32_t> source(static_cast<size_t>(c.width) * c.height);
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) source[static_cast<size_t>(y) * c.width + x] = c.source(x, y);
  }
  const std::vector<std::uint32_t> scaled =
      ScalePixels(source, c.width, c.height, c.toWidth, c.toHeight);
  ASSERT_EQ(scaled.size(), static_cast<size_t>(c.toWidth) * c.toHeight);
  for (int y = 0; y < c.toHeight; ++y) {
    for (int x = 0; x < c.toWidth; ++x) {
      const std::uint32_t got = scaled[static_cast<size_t>(y) * c.toWidth + x];
      for (int channel = 0; channel < 3; ++channel) {
        EXPECT_NEAR(Channel(got, channel), c.expected(x, y), 1) << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, Shrinking,
    testing::Values(
        // Halving one-pixel stripes: black and white in every target pixel, 255 / 2.
        ShrinkCase{"stripes across halved", 8, 4, 4, 2,
                   [](int x, int) { return Grey(x % 2 ? 255 : 0); }, [](int, int) { return 128; }},
        // One white pixel is a quarter of its 2x2 block (averaged across and down) and none of
        // the others.
        ShrinkCase{"one pixel in four", 4, 4, 2, 2,
                   [](int x, int y) { return Grey(x == 0 && y == 0 ? 255 : 0); },
                   [](int x, int y) { return x == 0 && y == 0 ? 64 : 0; }},
        // Three pixels into two: each target covers one and a half, half of the white middle.
        ShrinkCase{"three into two", 3, 1, 2, 1, [](int x, int) { return Grey(x == 1 ? 255 : 0); },
                   [](int, int) { return 85; }}),
    test::NamedBy([](const ShrinkCase& c) { return c.name; }));

TEST(PictureScaling, EnlargedEdgeStaysSharpAndInOrder) {
  // Black on the left, white on the right, enlarged twice: the step may take a few pixels but
  // no more, never goes back, and the far sides keep their colours.
  const int width = 16, height = 4;
  std::vector<std::uint32_t> step(width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) step[y * width + x] = Grey(x < width / 2 ? 0 : 255);
  }
  const std::vector<std::uint32_t> scaled = ScalePixels(step, width, height, 2 * width, 2 * height);
  for (int y = 0; y < 2 * height; ++y) {
    int previous = 0, between = 0;
    for (int x = 0; x < 2 * width; ++x) {
      const int level = Channel(scaled[y * 2 * width + x], 2);
      EXPECT_GE(level, previous) << "row " << y << " column " << x;
      previous = level;
      between += level > 0 && level < 255;
    }
    EXPECT_LE(between, 4) << "row " << y;
    EXPECT_EQ(Channel(scaled[y * 2 * width], 2), 0);
    EXPECT_EQ(Channel(scaled[y * 2 * width + 2 * width - 1], 2), 255);
  }
}

TEST(PictureScaling, SameSizeIsACopyWithoutTheTopByte) {
  const std::vector<std::uint32_t> source = {0xFF102030u, 0x01405060u};
  EXPECT_EQ(ScalePixels(source, 2, 1, 2, 1),
            (std::vector<std::uint32_t>{0x00102030u, 0x00405060u}));
}

TEST(PictureScaling, ImpossibleSizesGiveNothing) {
  const std::vector<std::uint32_t> four(4, 0);
  EXPECT_TRUE(ScalePixels(four, 2, 2, 0, 5).empty());
  EXPECT_TRUE(ScalePixels(four, 0, 2, 4, 4).empty());
  EXPECT_TRUE(ScalePixels(four, 3, 2, 4, 4).empty()) << "six pixels promised, four given";
}

TEST(PictureScaling, DarkeningScalesEveryColour) {
  std::vector<std::uint32_t> pixels = {0x00C86432u, 0x00FFFFFFu};
  DarkenPixels(pixels, 75);
  EXPECT_EQ(pixels, (std::vector<std::uint32_t>{0x00964B25u, 0x00BFBFBFu}));
}

}  // namespace
}  // namespace zv
