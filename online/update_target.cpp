// File-name checks for the downloaded program. The name comes from a document on the network,
// so it is treated as untrusted: it must never steer the file outside the current directory.
#include "online/update_target.h"

#include <cctype>
#include <cstring>

namespace zv {
namespace {

const std::string kFullWidthSpace = "\xA1\xA1";

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Device names that Windows resolves in any directory, with or without an extension.
bool IsDeviceName(const std::string& stem) {
  std::string base = stem.substr(0, stem.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '0' && base[3] <= '9';
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
  size_t begin = 0;
  size_t end = 0;  // end of the last character that is not a blank
  size_t at = 0;
  bool leading = true;
  while (at < text.size()) {
    size_t length = 1;
    bool blank = text[at] == ' ';
    if (IsLeadByte(text[at]) && at + 1 < text.size()) {
      length = 2;
      blank = text.compare(at, 2, kFullWidthSpace) == 0;
    }
    if (!blank) {
      if (leading) begin = at;
      leading = false;
      end = at + length;
    }
    at += length;
  }
  return leading ? std::string() : text.substr(begin, end - begin);
}

bool IsSafeFileStem(const std::string& stem) {
  // An empty stem gives the file ".exe", which is a plain file name like any other.
  if (stem == "." || stem == "..") return false;
  for (size_t at = 0; at < stem.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(stem[at]);
    if (c >= 0x80) {
      // A double-byte character needs its trail byte; its trail may be '\' or '|' and is
      // fine there, so it is stepped over whole.
      if (at + 1 >= stem.size() || static_cast<unsigned char>(stem[at + 1]) < 0x40) return false;
      ++at;
      continue;
    }
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
  }
  return !IsDeviceName(stem);
}

std::optional<std::string> UpdateTargetPath(const std::string& directory, const std::string& stem) {
  if (!IsSafeFileStem(stem)) return std::nullopt;
  return directory + "\\" + stem + ".exe";
}

}  // namespace zv
