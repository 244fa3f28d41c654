// libFuzzer target for the two parsers that read what the network sends: the "---" split of
// the version document and the markup serialiser of the forum page. Besides not crashing or
// hanging, both keep the shape the program relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/gbk_text.h"
#include "online/markup_serialiser.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    FuzzSplit(input);
  } else {
    FuzzSerialiser(input);
  }
  return 0;
}
