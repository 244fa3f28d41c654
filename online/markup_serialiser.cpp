// A small, forgiving tag scanner. It does not build a tree: the markers only depend on how
// each tag is written, so tags are rewritten one by one and everything between them is kept.
#include "online/markup_serialiser.h"

#include <cstring>

#include "online/markup_tag.h"

namespace zv {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
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

// The tag as the old engine wrote it back. End tags carry no attributes in the written form.
std::string WriteTag(const MarkupTag& tag) {
  std::string written = (tag.end ? "</" : "<") + Upper(tag.name);
  if (!tag.end) {
    for (const MarkupAttribute& attribute : tag.attributes) {
      written += " " + attribute.name;
      if (attribute.value) {
        written += "=" + (IsSimpleValue(*attribute.value) ? *attribute.value
                                                          : QuoteValue(*attribute.value));
      }
    }
  }
  return written + ">";
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
      for (char c : text) blank = blank && IsMarkupSpace(c);
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
    if (!TagStartsAt(html, at)) {
      enterRoot();
      out += "&lt;";
      ++at;
      continue;
    }
    MarkupTag tag;
    at = ReadMarkupTag(html, at, tag);
    const std::string name = Upper(tag.name);
    const std::string written = WriteTag(tag);
    if (name == "HTML") {
      if (tag.end) {
        if (inRoot) break;  // whatever follows the root element is not part of it
        continue;
      }
      if (!inRoot) {
        out += written;
        inRoot = true;
      }
      continue;
    }
    enterRoot();
    out += written;
    if (!tag.end && IsRawText(name)) {
      size_t close = at;
      const std::string endTag = name == "SCRIPT" ? "</script" : "</style";
      while (close < html.size() && !StartsWithNoCase(html, close, endTag.c_str())) {
        close = html.find('<', close + 1);
        if (close == std::string::npos) close = html.size();
      }
      out += html.substr(at, close - at);
      // An unclosed script runs to the end of the page; it is closed there, as the old engine
      // closed every open element, so the root's end tag stays outside it.
      if (close >= html.size()) out += "</" + name + ">";
      at = close;
    }
  }
  if (inRoot) out += "</HTML>";
  return out;
}

}  // namespace zv
