// Area-averaging shrink, done in two passes (across, then down) with exact integer weights.
#include "platform/win32/area_shrink.h"

#include <algorithm>
#include <cmath>

namespace zv::win32 {
namespace {

constexpr int kChannels = 4;

struct Overlap {
  int target;
  int source;
  int weight;
};

// Along one axis, the parts that `from` source cells and `to` target cells share. Measured in
// units where a source cell is `to` long and a target cell `from` long, so the weights are
// whole numbers and those of every target cell add up to `from`.
std::vector<Overlap> Overlaps(int from, int to) {
  std::vector<Overlap> overlaps;
  long long at = 0;
  long long sourceEnd = to;
  long long targetEnd = from;
  for (int source = 0, target = 0; source < from && target < to;) {
    const long long end = std::min(sourceEnd, targetEnd);
    overlaps.push_back({target, source, static_cast<int>(end - at)});
    at = end;
    if (end == sourceEnd) {
      ++source;
      sourceEnd += to;
    }
    if (end == targetEnd) {
      ++target;
      targetEnd += from;
    }
  }
  return overlaps;
}

}  // namespace

std::vector<std::uint32_t> ShrinkByArea(const std::uint32_t* pixels, int width, int height,
                                        int targetWidth, int targetHeight) {
  const size_t rowChannels = static_cast<size_t>(targetWidth) * kChannels;
  // Across: each row's bytes weighted by overlap (sums at most 255 * width).
  std::vector<std::uint32_t> across(rowChannels * height, 0);
  const std::vector<Overlap> columns = Overlaps(width, targetWidth);
  for (int y = 0; y < height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint8_t*>(pixels + static_cast<size_t>(y) * width);
    std::uint32_t* sums = across.data() + y * rowChannels;
    for (const Overlap& o : columns) {
      const std::uint8_t* from = row + o.source * kChannels;
      std::uint32_t* to = sums + o.target * kChannels;
      for (int c = 0; c < kChannels; ++c) to[c] += from[c] * static_cast<std::uint32_t>(o.weight);
    }
  }
  // Down: the row sums weighted again (at most 255 * width * height).
  std::vector<std::uint64_t> down(rowChannels * targetHeight, 0);
  for (const Overlap& o : Overlaps(height, targetHeight)) {
    const std::uint32_t* from = across.data() + o.source * rowChannels;
    std::uint64_t* to = down.data() + o.target * rowChannels;
    for (size_t i = 0; i < rowChannels; ++i) to[i] += std::uint64_t{from[i]} * o.weight;
  }
  // One division by the whole area, rounded half up. A double holds these sums exactly and
  // divides with one correct rounding, so a mean of exactly k + 0.5 stays k + 0.5; it is much
  // quicker than a 64-bit integer division per byte.
  const double area = static_cast<double>(width) * height;
  std::vector<std::uint32_t> shrunk(static_cast<size_t>(targetWidth) * targetHeight, 0);
  auto* bytes = reinterpret_cast<std::uint8_t*>(shrunk.data());
  for (size_t i = 0; i < down.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(std::floor(static_cast<double>(down[i]) / area + 0.5));
  }
  return shrunk;
}

}  // namespace zv::win32
