// Character-aware searching and splitting over GBK bytes.
#include "base/gbk_text.h"

namespace zv {
namespace {

size_t CharacterLength(const std::string& text, size_t at) {
  const bool doubleByte = static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size();
  return doubleByte ? 2 : 1;
}

// Byte offset of the next match at a character start, or npos.
size_t FindFrom(const std::string& text, const std::string& needle, size_t at) {
  if (needle.empty()) return std::string::npos;
  while (at + needle.size() <= text.size()) {
    if (text.compare(at, needle.size(), needle) == 0) return at;
    at += CharacterLength(text, at);
  }
  return std::string::npos;
}

}  // namespace

int FindText(const std::string& text, const std::string& needle, int from) {
  if (from < 1) from = 1;
  // Walk character by character up to `from` so the search keeps character alignment.
  size_t at = 0;
  while (at < text.size() && static_cast<int>(at) + 1 < from) at += CharacterLength(text, at);
  const size_t found = FindFrom(text, needle, at);
  return found == std::string::npos ? -1 : static_cast<int>(found) + 1;
}

std::vector<std::string> SplitText(const std::string& text, const std::string& marker) {
  std::vector<std::string> fields;
  if (text.empty()) return fields;
  size_t fieldStart = 0;
  for (size_t at = FindFrom(text, marker, 0); at != std::string::npos;
       at = FindFrom(text, marker, fieldStart)) {
    fields.push_back(text.substr(fieldStart, at - fieldStart));
    fieldStart = at + marker.size();
  }
  if (fieldStart < text.size()) fields.push_back(text.substr(fieldStart));
  return fields;
}

std::string TextUpToZero(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace zv
