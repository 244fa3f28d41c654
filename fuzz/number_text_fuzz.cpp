// libFuzzer target for text to integer, which reads version numbers from the site and numbers
// the user typed. Checked against the C library's reading of the same text (blanks limited to
// space and tab, the result saturated to int), and the full-width reading against the ASCII
// reading of the text with its full-width forms written in ASCII.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/number_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using zv::fuzz::Check;

int Reference(const std::string& ascii) {
  const size_t first = ascii.find_first_not_of(" \t");
  if (first == std::string::npos) return 0;
  const char c = ascii[first];
  // strtoll would also skip these; the program does not.
  if (c == '\n' || c == '\v' || c == '\f' || c == '\r') return 0;
  // Only what the program reads: a sign directly followed by digits.
  const size_t digits = first + (c == '+' || c == '-' ? 1 : 0);
  if (digits >= ascii.size() || ascii[digits] < '0' || ascii[digits] > '9') return 0;
  errno = 0;
  const long long value = std::strtoll(ascii.c_str() + first, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Full-width digits, signs and space as ASCII; any other double-byte character as 'x'.
std::string AsAscii(const std::string& text) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      out += text[at++];
      continue;
    }
    if (at + 1 >= text.size()) {
      out += 'x';
      ++at;
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
    if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9) {
      out += static_cast<char>('0' + trail - 0xB0);
    } else if (lead == 0xA3 && trail == 0xAB) {
      out += '+';
    } else if (lead == 0xA3 && trail == 0xAD) {
      out += '-';
    } else if (lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else {
      out += 'x';
    }
    at += 2;
  }
  return out;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The program's texts never hold a zero byte (they end at one); strtoll would stop there.
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));
  const int ascii = zv::TextToInteger(text, zv::Digits::Ascii);
  const int wide = zv::TextToInteger(text, zv::Digits::AsciiAndFullWidth);
  if (IsAscii(text)) {
    Check(ascii == Reference(text));
    Check(wide == ascii);
  } else {
    // Bytes of double-byte characters are never digits in the ASCII reading.
    std::string masked = text;
    for (size_t at = 0; at < masked.size();) {
      const bool pair = static_cast<unsigned char>(masked[at]) >= 0x80;
      masked[at] = pair ? 'x' : masked[at];
      if (pair && at + 1 < masked.size()) masked[at + 1] = 'x';
      at += pair ? 2 : 1;
    }
    Check(ascii == Reference(masked));
  }
  Check(wide == Reference(AsAscii(text)));
  // A number written back as text reads as itself.
  Check(zv::TextToInteger(std::to_string(wide)) == wide);
  return 0;
}
