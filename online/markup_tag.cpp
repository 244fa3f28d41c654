// The tag reader: names end at a blank, '>' or '/', values may be quoted either way or bare,
// and a tag cut off by the end of the text ends there.
#include "online/markup_tag.h"

namespace zv {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsMarkupSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualsNoCase(const std::string& text, const std::string& other) {
  if (text.size() != other.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(other[i])) return false;
  }
  return true;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* lowerPrefix) {
  for (size_t i = 0; lowerPrefix[i] != '\0'; ++i) {
    if (at + i >= text.size() || LowerAscii(text[at + i]) != lowerPrefix[i]) return false;
  }
  return true;
}

bool TagStartsAt(const std::string& text, size_t at) {
  if (at + 1 >= text.size() || text[at] != '<') return false;
  if (IsAsciiAlpha(text[at + 1])) return true;
  return text[at + 1] == '/' && at + 2 < text.size() && IsAsciiAlpha(text[at + 2]);
}

size_t ReadMarkupTag(const std::string& text, size_t at, MarkupTag& tag) {
  size_t i = at + 1;
  tag.end = text[i] == '/';
  if (tag.end) ++i;
  const size_t nameStart = i;
  while (i < text.size() && !IsMarkupSpace(text[i]) && text[i] != '>' && text[i] != '/') ++i;
  tag.name = text.substr(nameStart, i - nameStart);
  tag.attributes.clear();
  for (;;) {
    while (i < text.size() && (IsMarkupSpace(text[i]) || text[i] == '/')) ++i;
    if (i >= text.size()) break;
    if (text[i] == '>') {
      ++i;
      break;
    }
    const size_t attrStart = i;
    if (text[i] == '=') ++i;  // a name may begin with '=', as in browsers
    // A slash ends a name as in browsers ("<br/>", "<a b/c>"); it is dropped as a separator.
    while (i < text.size() && !IsMarkupSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
           text[i] != '/') {
      ++i;
    }
    MarkupAttribute attribute{text.substr(attrStart, i - attrStart), std::nullopt};
    while (i < text.size() && IsMarkupSpace(text[i])) ++i;
    if (i < text.size() && text[i] == '=') {
      ++i;
      while (i < text.size() && IsMarkupSpace(text[i])) ++i;
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        const size_t close = text.find(quote, i);
        const size_t valueEnd = close == std::string::npos ? text.size() : close;
        attribute.value = text.substr(i, valueEnd - i);
        i = close == std::string::npos ? text.size() : close + 1;
      } else {
        const size_t valueStart = i;
        while (i < text.size() && !IsMarkupSpace(text[i]) && text[i] != '>') ++i;
        attribute.value = text.substr(valueStart, i - valueStart);
      }
    }
    tag.attributes.push_back(std::move(attribute));
  }
  return i;
}

}  // namespace zv
