// Shrinking 32-bit pixels by averaging, for pictures drawn larger than the box that shows them.
// Pure arithmetic on pixel rows; getting the pixels from GDI and back is the caller's work.
#pragma once

#include <cstdint>
#include <vector>

namespace zv::win32 {

// Each target pixel becomes the average of the source area it covers, partly covered source
// pixels counting by the part that falls inside; every byte (B, G, R, A) is averaged on its
// own. Pixels are rows of width 32-bit values, top row first. The target must be no larger
// than the source in either direction and at least 1x1.
std::vector<std::uint32_t> ShrinkByArea(const std::uint32_t* pixels, int width, int height,
                                        int targetWidth, int targetHeight);

}  // namespace zv::win32
