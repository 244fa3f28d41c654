// Character-set sniffing over bytes: only ASCII is looked at, so it works before the page is
// decoded. The meta scan reads tags like the serialiser, so a "<meta" inside an attribute
// value or a comment does not count.
#include "online/page_charset.h"

#include <optional>

#include "base/gbk_text.h"
#include "online/markup_tag.h"

namespace zv {
namespace {

constexpr size_t kMetaScanBytes = 1024;
const std::string kUtf8Bom = "\xEF\xBB\xBF";

// The names browsers accept for the two character sets a forum page comes in.
constexpr const char* kUtf8Names[] = {"utf-8",         "utf8",          "unicode-1-1-utf-8",
                                      "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
constexpr const char* kGbkNames[] = {"gbk",       "gb2312",         "gb_2312", "gb_2312-80",
                                     "gb18030",   "x-gbk",          "chinese", "csgb2312",
                                     "iso-ir-58", "csiso58gb231280"};

std::string TrimSpace(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && IsMarkupSpace(text[first])) ++first;
  while (last > first && IsMarkupSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::optional<PageCharset> CharsetNamed(const std::string& name) {
  const std::string trimmed = TrimSpace(name);
  for (const char* known : kUtf8Names) {
    if (EqualsNoCase(trimmed, known)) return PageCharset::kUtf8;
  }
  for (const char* known : kGbkNames) {
    if (EqualsNoCase(trimmed, known)) return PageCharset::kGbk;
  }
  return std::nullopt;
}

size_t FindNoCase(const std::string& text, const char* needle, size_t from) {
  for (size_t at = from; at < text.size(); ++at) {
    if (StartsWithNoCase(text, at, needle)) return at;
  }
  return std::string::npos;
}

// The value of "charset=" in a Content-Type header or a meta element's content, quoted or
// bare; nothing when the text names none.
std::optional<std::string> CharsetParameter(const std::string& text) {
  size_t at = 0;
  while ((at = FindNoCase(text, "charset", at)) != std::string::npos) {
    at += 7;
    while (at < text.size() && IsMarkupSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '=') continue;
    ++at;
    while (at < text.size() && IsMarkupSpace(text[at])) ++at;
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
      const size_t close = text.find(text[at], at + 1);
      if (close == std::string::npos) return std::nullopt;
      return text.substr(at + 1, close - at - 1);
    }
    size_t end = at;
    while (end < text.size() && !IsMarkupSpace(text[end]) && text[end] != ';') ++end;
    return text.substr(at, end - at);
  }
  return std::nullopt;
}

// The value of the first attribute of that name, as browsers take it; nothing when the tag has
// none or it has no value.
std::optional<std::string> AttributeValue(const MarkupTag& tag, const char* name) {
  for (const MarkupAttribute& attribute : tag.attributes) {
    if (EqualsNoCase(attribute.name, name)) return attribute.value;
  }
  return std::nullopt;
}

std::optional<PageCharset> CharsetOfMeta(const MarkupTag& tag) {
  if (const std::optional<std::string> charset = AttributeValue(tag, "charset")) {
    return CharsetNamed(*charset);
  }
  const std::optional<std::string> equiv = AttributeValue(tag, "http-equiv");
  const std::optional<std::string> content = AttributeValue(tag, "content");
  if (!equiv || !content || !EqualsNoCase(TrimSpace(*equiv), "content-type")) return std::nullopt;
  const std::optional<std::string> name = CharsetParameter(*content);
  return name ? CharsetNamed(*name) : std::nullopt;
}

std::optional<PageCharset> CharsetOfMetaScan(const std::string& page) {
  const std::string head = page.substr(0, kMetaScanBytes);
  size_t at = 0;
  while (at < head.size()) {
    if (head.compare(at, 4, "<!--") == 0) {
      const size_t close = head.find("-->", at + 4);
      if (close == std::string::npos) break;
      at = close + 3;
    } else if (TagStartsAt(head, at)) {
      MarkupTag tag;
      at = ReadMarkupTag(head, at, tag);
      if (tag.end || !EqualsNoCase(tag.name, "meta")) continue;
      if (const std::optional<PageCharset> charset = CharsetOfMeta(tag)) return charset;
    } else if (head[at] == '<' && at + 1 < head.size() &&
               (head[at + 1] == '!' || head[at + 1] == '/' || head[at + 1] == '?')) {
      const size_t close = head.find('>', at);
      if (close == std::string::npos) break;
      at = close + 1;
    } else {
      ++at;
    }
  }
  return std::nullopt;
}

}  // namespace

PageCharset DetectPageCharset(const std::string& contentType, const std::string& page) {
  if (page.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) return PageCharset::kUtf8;
  if (const std::optional<std::string> name = CharsetParameter(contentType)) {
    if (const std::optional<PageCharset> charset = CharsetNamed(*name)) return *charset;
  }
  return CharsetOfMetaScan(page).value_or(PageCharset::kGbk);
}

std::string PageAsGbk(const HttpResult& answer, const ITextCodec& codec) {
  std::string page = TextUpToZero(answer.body);
  if (DetectPageCharset(answer.contentType, page) != PageCharset::kUtf8) return page;
  if (page.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) page.erase(0, kUtf8Bom.size());
  return codec.Utf8ToGbk(page);
}

}  // namespace zv
