// A small, forgiving tag scanner. It does not build a tree: the markers only depend on how
// each tag is written, so tags are rewritten one by one and everything between them is kept.
#include "online/markup_serialiser.h"

#include <cctype>
#include <cstring>

namespace zv {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (at + length > text.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
  }
  return true;
}

// Values made only of these stay unquoted; anything else (spaces, '?', '=', quotes, GBK) keeps
// its quotes, as the old engine did.
bool IsSimpleValue(const std::string& value) {
  if (value.empty()) return false;
  for (char c : value) {
    const bool simple = (c >= '0' && c <= '9') || IsAsciiAlpha(c) || std::strchr("-._#", c);
    if (!simple || c == '\0') return false;
  }
  return true;
}

std::string QuoteValue(const std::string& value) {
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
  return quoted + "\"";
}

struct Tag {
  std::string name;  // upper case
  bool end = false;
  std::string written;
};

// Reads the tag that starts at `at` (text[at] == '<', a letter or '/' follows). Returns the
// position after it.
size_t ReadTag(const std::string& text, size_t at, Tag& tag) {
  size_t i = at + 1;
  tag.end = text[i] == '/';
  if (tag.end) ++i;
  const size_t nameStart = i;
  while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '/') ++i;
  tag.name = Upper(text.substr(nameStart, i - nameStart));
  tag.written = (tag.end ? "</" : "<") + tag.name;
  for (;;) {
    while (i < text.size() && (IsSpace(text[i]) || text[i] == '/')) ++i;
    if (i >= text.size()) break;
    if (text[i] == '>') {
      ++i;
      break;
    }
    const size_t attrStart = i;
    if (text[i] == '=') ++i;  // a name may begin with '=', as in browsers
    // A slash ends a name as in browsers ("<br/>", "<a b/c>"); it is dropped as a separator.
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '=' &&
           text[i] != '/') {
      ++i;
    }
    std::string attribute = text.substr(attrStart, i - attrStart);
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i < text.size() && text[i] == '=') {
      ++i;
      while (i < text.size() && IsSpace(text[i])) ++i;
      std::string value;
      if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        const size_t close = text.find(quote, i);
        const size_t valueEnd = close == std::string::npos ? text.size() : close;
        value = text.substr(i, valueEnd - i);
        i = close == std::string::npos ? text.size() : close + 1;
      } else {
        const size_t valueStart = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != '>') ++i;
        value = text.substr(valueStart, i - valueStart);
      }
      attribute += "=" + (IsSimpleValue(value) ? value : QuoteValue(value));
    }
    // End tags carry no attributes in the written form.
    if (!tag.end && !attribute.empty()) tag.written += " " + attribute;
  }
  tag.written += ">";
  return i;
}

// Elements whose content is raw text: no tags are recognised inside them.
bool IsRawText(const std::string& name) { return name == "SCRIPT" || name == "STYLE"; }

}  // namespace

std::string SerialiseRootElement(const std::string& html) {
  std::string out;
  bool inRoot = false;
  size_t at = 0;
  auto enterRoot = [&] {
    if (!inRoot) out += "<HTML>";
    inRoot = true;
  };
  while (at < html.size()) {
    if (html[at] != '<') {
      const size_t next = html.find('<', at);
      const size_t end = next == std::string::npos ? html.size() : next;
      const std::string text = html.substr(at, end - at);
      bool blank = true;
      for (char c : text) blank = blank && IsSpace(c);
      if (!inRoot && !blank) enterRoot();
      if (inRoot) out += text;
      at = end;
      continue;
    }
    if (html.compare(at, 4, "<!--") == 0) {
      const size_t close = html.find("-->", at + 4);
      const size_t end = close == std::string::npos ? html.size() : close + 3;
      if (inRoot) {
        out += html.substr(at, end - at);
        if (close == std::string::npos) out += "-->";  // closed like any open element
      }
      at = end;
      continue;
    }
    if (at + 1 < html.size() && (html[at + 1] == '!' || html[at + 1] == '?')) {
      // Doctype and processing instructions are not part of the root element.
      const size_t close = html.find('>', at);
      at = close == std::string::npos ? html.size() : close + 1;
      continue;
    }
    const bool tagFollows = at + 1 < html.size() &&
                            (IsAsciiAlpha(html[at + 1]) ||
                             (html[at + 1] == '/' && at + 2 < html.size() && IsAsciiAlpha(html[at + 2])));
    if (!tagFollows) {
      enterRoot();
      out += "&lt;";
      ++at;
      continue;
    }
    Tag tag;
    at = ReadTag(html, at, tag);
    if (tag.name == "HTML") {
      if (tag.end) {
        if (inRoot) break;  // whatever follows the root element is not part of it
        continue;
      }
      if (!inRoot) {
        out += tag.written;
        inRoot = true;
      }
      continue;
    }
    enterRoot();
    out += tag.written;
    if (!tag.end && IsRawText(tag.name)) {
      size_t close = at;
      const std::string endTag = tag.name == "SCRIPT" ? "</script" : "</style";
      while (close < html.size() && !StartsWithNoCase(html, close, endTag.c_str())) {
        close = html.find('<', close + 1);
        if (close == std::string::npos) close = html.size();
      }
      out += html.substr(at, close - at);
      // An unclosed script runs to the end of the page; it is closed there, as the old engine
      // closed every open element, so the root's end tag stays outside it.
      if (close >= html.size()) out += "</" + tag.name + ">";
      at = close;
    }
  }
  if (inRoot) out += "</HTML>";
  return out;
}

}  // namespace zv
