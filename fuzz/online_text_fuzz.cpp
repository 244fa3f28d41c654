// libFuzzer target for the parsers that read what the network sends: the "---" split of the
// version document, the markup serialiser of the forum page and its character-set sniffing.
// Besides not crashing or hanging, they keep the shape the program relies on.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/gbk_text.h"
#include "fuzz/fuzz_check.h"
#include "online/markup_serialiser.h"
#include "online/page_charset.h"

namespace {

using zv::fuzz::Check;

void FuzzSplit(const std::string& text) {
  const std::string marker = "---";
  const std::vector<std::string> fields = zv::SplitText(text, marker);
  // Joined back with the marker, the fields give the text (less one marker at its end).
  std::string joined;
  for (size_t i = 0; i < fields.size(); ++i) joined += (i ? marker : "") + fields[i];
  const bool endsWithMarker =
      text.size() >= marker.size() && text.compare(text.size() - 3, 3, marker) == 0 &&
      !fields.empty() && joined.size() + marker.size() == text.size();
  Check(joined == text || (endsWithMarker && joined + marker == text));
  Check(text.empty() == fields.empty());
}

void FuzzSerialiser(const std::string& html) {
  const std::string page = zv::SerialiseRootElement(html);
  if (page.empty()) return;
  Check(page.compare(0, 5, "<HTML") == 0);
  Check(page.size() >= 7 && page.compare(page.size() - 7, 7, "</HTML>") == 0);
  // Escapes and closing tags are the only growth, so a page cannot balloon.
  Check(page.size() <= 16 + html.size() * 7);
}

// The first line stands for the Content-Type header, the rest for the page. Whatever the
// bytes, the answer is one of the two character sets, and the same every time.
void FuzzCharset(const std::string& input) {
  const size_t line = input.find('\n');
  const std::string header = line == std::string::npos ? input : input.substr(0, line);
  const std::string page = line == std::string::npos ? "" : input.substr(line + 1);
  const zv::PageCharset charset = zv::DetectPageCharset(header, page);
  Check(charset == zv::PageCharset::kGbk || charset == zv::PageCharset::kUtf8);
  Check(zv::DetectPageCharset(header, page) == charset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      FuzzSerialiser(input);
      break;
    case 1:
      FuzzSplit(input);
      break;
    default:
      FuzzCharset(input);
  }
  return 0;
}
