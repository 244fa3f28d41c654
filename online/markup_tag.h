// One tag of an HTML page, read the forgiving way browsers read tags. Shared by the page
// serialiser and the character-set scan, so both see the same tags in the same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zv {

struct MarkupAttribute {
  std::string name;                  // as written
  std::optional<std::string> value;  // without quotes; absent when no '=' follows the name
};

struct MarkupTag {
  std::string name;  // as written
  bool end = false;
  std::vector<MarkupAttribute> attributes;
};

bool IsMarkupSpace(char c);
bool IsAsciiAlpha(char c);
// ASCII letters compared without case; other bytes must be equal.
bool EqualsNoCase(const std::string& text, const std::string& other);
// Whether `text` holds `lowerPrefix` (written in lower case) at `at`, ignoring case.
bool StartsWithNoCase(const std::string& text, size_t at, const char* lowerPrefix);

// True when a tag begins at `at`: '<' and a letter, or "</" and a letter.
bool TagStartsAt(const std::string& text, size_t at);
// Reads the tag at `at` (TagStartsAt holds there) up to its '>' or the end of the text, and
// returns the position after it.
size_t ReadMarkupTag(const std::string& text, size_t at, MarkupTag& tag);

}  // namespace zv
