// Separable resampling in fixed point: rows first into a buffer of 8-bit-fraction channels, then
// columns, each direction with the filter its own ratio asks for. Weights are normalised per
// output pixel, so a flat colour stays exactly that colour.
#include "ui/picture_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace zv {
namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kFractionBits = 8;  // kept between the two passes
constexpr double kCubicRadius = 2.0;
constexpr int kChannels = 3;

double CatmullRom(double x) {
  x = std::fabs(x);
  if (x < 1.0) return (1.5 * x - 2.5) * x * x + 1.0;
  if (x < 2.0) return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
  return 0.0;
}

// For every output position, the source positions it reads (edges repeated) and their weights,
// which add up to kWeightOne.
struct Filter {
  int taps = 0;
  std::vector<int> index;
  std::vector<int> weight;
};

// Quantises one output's weights so they add up to exactly kWeightOne: rounding must not tint a
// flat colour.
void Normalise(const std::vector<double>& raw, size_t base, Filter& filter) {
  double sum = 0.0;
  for (double w : raw) sum += w;
  int total = 0;
  size_t largest = base;
  for (size_t k = 0; k < raw.size(); ++k) {
    filter.weight[base + k] = static_cast<int>(std::lround(raw[k] / sum * kWeightOne));
    total += filter.weight[base + k];
    if (filter.weight[base + k] > filter.weight[largest]) largest = base + k;
  }
  filter.weight[largest] += kWeightOne - total;
}

// Reducing (or keeping the size): each output pixel is the mean of the source span it covers,
// a partly covered pixel counting by its part. Spans are measured in units of 1/(from*to).
Filter AreaFilter(int from, int to) {
  Filter filter;
  filter.taps = (from + to - 1) / to + 1;
  filter.index.resize(static_cast<size_t>(to) * filter.taps);
  filter.weight.resize(filter.index.size());
  std::vector<double> raw(static_cast<size_t>(filter.taps));
  for (int out = 0; out < to; ++out) {
    const std::int64_t begin = static_cast<std::int64_t>(out) * from;
    const std::int64_t end = begin + from;
    const int first = static_cast<int>(begin / to);
    for (int k = 0; k < filter.taps; ++k) {
      const std::int64_t pixelBegin = static_cast<std::int64_t>(first + k) * to;
      const std::int64_t overlap = std::min(end, pixelBegin + to) - std::max(begin, pixelBegin);
      raw[k] = first + k < from && overlap > 0 ? static_cast<double>(overlap) : 0.0;
      filter.index[static_cast<size_t>(out) * filter.taps + k] = std::min(first + k, from - 1);
    }
    Normalise(raw, static_cast<size_t>(out) * filter.taps, filter);
  }
  return filter;
}

// Enlarging: a Catmull-Rom cubic through the four nearest source pixels.
Filter CubicFilter(int from, int to) {
  const double ratio = static_cast<double>(from) / to;
  Filter filter;
  filter.taps = static_cast<int>(2 * kCubicRadius) + 1;
  filter.index.resize(static_cast<size_t>(to) * filter.taps);
  filter.weight.resize(filter.index.size());
  std::vector<double> raw(static_cast<size_t>(filter.taps));
  for (int out = 0; out < to; ++out) {
    // Pixel centres line up: output centre out + 0.5 lies at source (out + 0.5) * ratio.
    const double centre = (out + 0.5) * ratio - 0.5;
    const int first = static_cast<int>(std::floor(centre - kCubicRadius)) + 1;
    for (int k = 0; k < filter.taps; ++k) {
      raw[k] = CatmullRom(first + k - centre);
      filter.index[static_cast<size_t>(out) * filter.taps + k] = std::clamp(first + k, 0, from - 1);
    }
    Normalise(raw, static_cast<size_t>(out) * filter.taps, filter);
  }
  return filter;
}

Filter MakeFilter(int from, int to) {
  return to <= from ? AreaFilter(from, to) : CubicFilter(from, to);
}

}  // namespace

std::vector<std::uint32_t> ScalePixels(const std::vector<std::uint32_t>& pixels, int width,
                                       int height, int toWidth, int toHeight) {
  if (width <= 0 || height <= 0 || toWidth <= 0 || toHeight <= 0) return {};
  if (pixels.size() < static_cast<size_t>(width) * height) return {};
  if (width == toWidth && height == toHeight) {
    std::vector<std::uint32_t> copy(pixels.begin(), pixels.begin() + width * height);
    for (std::uint32_t& p : copy) p &= 0x00FFFFFFu;
    return copy;
  }

  // Rows: height rows of toWidth pixels, channels kept with kFractionBits of fraction.
  const Filter across = MakeFilter(width, toWidth);
  const size_t rowLength = static_cast<size_t>(toWidth) * kChannels;
  std::vector<std::int32_t> rows(static_cast<size_t>(height) * rowLength);
  constexpr int kRowShift = kWeightBits - kFractionBits;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* source = pixels.data() + static_cast<size_t>(y) * width;
    std::int32_t* target = rows.data() + static_cast<size_t>(y) * rowLength;
    for (int x = 0; x < toWidth; ++x) {
      std::int32_t sum[kChannels] = {0, 0, 0};
      const size_t base = static_cast<size_t>(x) * across.taps;
      for (int k = 0; k < across.taps; ++k) {
        const std::uint32_t p = source[across.index[base + k]];
        const std::int32_t w = across.weight[base + k];
        for (int c = 0; c < kChannels; ++c)
          sum[c] += w * static_cast<std::int32_t>((p >> (8 * c)) & 0xFF);
      }
      for (int c = 0; c < kChannels; ++c) {
        target[x * kChannels + c] = (sum[c] + (1 << (kRowShift - 1))) >> kRowShift;
      }
    }
  }

  // Columns, straight into the result.
  const Filter down = MakeFilter(height, toHeight);
  std::vector<std::uint32_t> result(static_cast<size_t>(toWidth) * toHeight);
  std::vector<std::int64_t> sum(rowLength);
  constexpr int kColumnShift = kWeightBits + kFractionBits;
  for (int y = 0; y < toHeight; ++y) {
    std::fill(sum.begin(), sum.end(), 0);
    const size_t base = static_cast<size_t>(y) * down.taps;
    for (int k = 0; k < down.taps; ++k) {
      const std::int32_t* row = rows.data() + static_cast<size_t>(down.index[base + k]) * rowLength;
      const std::int64_t w = down.weight[base + k];
      for (size_t i = 0; i < rowLength; ++i) sum[i] += w * row[i];
    }
    std::uint32_t* target = result.data() + static_cast<size_t>(y) * toWidth;
    for (int x = 0; x < toWidth; ++x) {
      std::uint32_t pixel = 0;
      for (int c = 0; c < kChannels; ++c) {
        const std::int64_t value =
            (sum[x * kChannels + c] + (std::int64_t{1} << (kColumnShift - 1))) >> kColumnShift;
        pixel |= static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, 255)) << (8 * c);
      }
      target[x] = pixel;
    }
  }
  return result;
}

void DarkenPixels(std::vector<std::uint32_t>& pixels, int percent) {
  for (std::uint32_t& p : pixels) {
    std::uint32_t dark = 0;
    for (int c = 0; c < kChannels; ++c) {
      dark |= (((p >> (8 * c)) & 0xFF) * static_cast<std::uint32_t>(percent) / 100) << (8 * c);
    }
    p = dark;
  }
}

}  // namespace zv
