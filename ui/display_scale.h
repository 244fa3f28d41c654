// The window tables think in layout units: pixels of a display at 96 DPI (100 %). A display at
// another scale shows the same layout in more device pixels; these are the only two conversions
// between the units, so every place, size and font height scales with the same rounding.
#pragma once

#include <climits>
#include <cstdint>

namespace zv {

inline constexpr int kLayoutDpi = 96;

// value * numerator / denominator, rounded to the nearest integer with halves away from zero,
// as Windows' MulDiv rounds; clamped to int. A denominator of 0 leaves the value as it is.
constexpr int ScaleRounded(int value, int numerator, int denominator) {
  if (denominator == 0) return value;
  std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  std::int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  // Halves away from zero: an odd divisor has no exact half, an even one rounds it outwards.
  const std::int64_t rounded =
      product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
  if (rounded > INT_MAX) return INT_MAX;
  if (rounded < INT_MIN) return INT_MIN;
  return static_cast<int>(rounded);
}

// Layout units to device pixels at `dpi`; a DPI of 0 or less is taken as the layout's own.
constexpr int LayoutToDevice(int value, int dpi) {
  return dpi > 0 ? ScaleRounded(value, dpi, kLayoutDpi) : value;
}

// Device pixels at `dpi` back to layout units. For every DPI of 96 or more this undoes
// LayoutToDevice exactly, so what the program reads back is what it set.
constexpr int DeviceToLayout(int value, int dpi) {
  return dpi > 0 ? ScaleRounded(value, kLayoutDpi, dpi) : value;
}

}  // namespace zv
