// Resampling of the windows' pictures to the device size a control has at its display's scale.
// Pure arithmetic over pixel words, so every system draws the same picture: the system's own
// stretching (StretchBlt, GDI+) differs between versions, and some only pick pixels, which
// makes a reduced picture grainy and an enlarged one blocky.
#pragma once

#include <cstdint>
#include <vector>

namespace zv {

// Pixels are 32-bit words, row by row from the top, blue in the lowest byte, then green and
// red, as in a 32-bit Windows DIB. The top byte is not a colour and comes out as 0.
//
// In a direction the picture shrinks in, each pixel is the mean of the source pixels it covers
// (a partly covered one counting by its part), so fine patterns and thin strokes turn lighter
// instead of breaking up; the art carries twice the pixels of its boxes, so this is the usual
// case. In a direction it grows in, a Catmull-Rom cubic keeps edges sharp, the picture's own
// edges repeating their outermost pixels. Empty when a size is not positive or the source has
// fewer pixels than its size says.
std::vector<std::uint32_t> ScalePixels(const std::vector<std::uint32_t>& pixels, int width,
                                       int height, int toWidth, int toHeight);

// Every colour scaled towards black by percent/100 (a pressed face for buttons with only one).
void DarkenPixels(std::vector<std::uint32_t>& pixels, int percent);

}  // namespace zv
