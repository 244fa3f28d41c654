// Conversions between numbers and their text form as the program shows and reads them.
#pragma once

#include <string>

namespace zv {

enum class Digits { Ascii, AsciiAndFullWidth };

// Leading blanks, an optional sign, then decimal digits up to the first non-digit; no digits
// gives 0. With AsciiAndFullWidth the GBK full-width digits, signs and space count too.
// Values beyond the int range saturate.
int TextToInteger(const std::string& text, Digits digits = Digits::Ascii);

// Rounds half away from zero at `places` decimals; a value within 1e-12 below a half counts
// as a half, so binary fractions such as 0.125 * 10^2 do not round the wrong way.
double RoundHalfAwayFromZero(double value, int places);

// Integers in plain decimal; other values with at most 13 significant digits and no
// trailing zeros.
std::string NumberToText(double value);

}  // namespace zv
