// Text <-> number rules shared by the version check, the recorder and the update window.
#include "base/number_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace zv {
namespace {

// GBK full-width forms: digits A3 B0..A3 B9, plus A3 AB, minus A3 AD, space A1 A1.
constexpr unsigned char kFullWidthLead = 0xA3;

struct Symbol {
  char ascii;  // the ASCII equivalent, or 0 for anything else
  size_t length;
};

Symbol SymbolAt(const std::string& text, size_t at, Digits digits) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {static_cast<char>(lead), 1};
  if (at + 1 >= text.size()) return {0, 1};
  const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
  if (digits == Digits::AsciiAndFullWidth) {
    if (lead == kFullWidthLead && trail >= 0xB0 && trail <= 0xB9) {
      return {static_cast<char>('0' + (trail - 0xB0)), 2};
    }
    if (lead == kFullWidthLead && trail == 0xAB) return {'+', 2};
    if (lead == kFullWidthLead && trail == 0xAD) return {'-', 2};
    if (lead == 0xA1 && trail == 0xA1) return {' ', 2};
  }
  return {0, 2};
}

}  // namespace

int TextToInteger(const std::string& text, Digits digits) {
  size_t at = 0;
  Symbol symbol{0, 0};
  auto next = [&] { symbol = at < text.size() ? SymbolAt(text, at, digits) : Symbol{0, 0}; };
  next();
  while (symbol.ascii == ' ' || symbol.ascii == '\t') {
    at += symbol.length;
    next();
  }
  bool negative = false;
  if (symbol.ascii == '+' || symbol.ascii == '-') {
    negative = symbol.ascii == '-';
    at += symbol.length;
    next();
  }
  long long value = 0;
  while (symbol.ascii >= '0' && symbol.ascii <= '9') {
    value = value * 10 + (symbol.ascii - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    at += symbol.length;
    next();
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double RoundHalfAwayFromZero(double value, int places) {
  const double scale = std::pow(10.0, places);
  const double magnitude = std::fabs(value) * scale;
  double whole = std::floor(magnitude);
  if (magnitude - whole >= 0.5 - 1e-12) whole += 1.0;
  return std::copysign(whole / scale, value);
}

std::string NumberToText(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer[0] == '-' && buffer[1] == '0' && buffer[2] == '\0' ? "0" : buffer;
  }
  // Thirteen significant digits in positional notation, then trailing zeros dropped.
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = exponent >= 12 ? 0 : std::min(12 - exponent, 40);
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

}  // namespace zv
