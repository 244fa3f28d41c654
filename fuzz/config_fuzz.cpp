// libFuzzer target for both configuration loaders: the custom sounds file into the eighteen
// slots' labels and paths, the quick-send file into the twelve boxes. The file may be cut off,
// hand-edited or written by another program. What the program relies on: each box gets exactly
// the field a character-by-character reading of the GBK text gives (a separator whose first
// byte is the trail byte of a double-byte character is no separator), no box holds a separator,
// boxes past the last field keep their text, and the text read ends at its first zero byte.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/gbk_text.h"
#include "fuzz/fuzz_check.h"
#include "platform/ui_host.h"
#include "quicksend/quick_send_texts.h"
#include "sound/custom_slots.h"
#include "ui/form.h"

namespace {

using zv::fuzz::Check;

// Controls as plain texts: all the loaders touch.
class TextOnlyHost : public zv::IUiHost {
 public:
  std::map<std::string, std::string> texts;

  std::string Text(zv::WindowId, const std::string& control) const override {
    const auto found = texts.find(control);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetText(zv::WindowId, const std::string& control, const std::string& text) override {
    texts[control] = text;
  }

  void SetEventSink(zv::IEventSink*) override {}
  zv::WindowId Load(const zv::WindowSpec&, zv::Modality) override { return 1; }
  void RunLoop(zv::WindowId) override {}
  void Destroy(zv::WindowId) override {}
  bool Exists(zv::WindowId) const override { return true; }
  void ShowWindow(zv::WindowId, bool) override {}
  bool IsWindowShown(zv::WindowId) const override { return true; }
  zv::ScreenRect WindowRect(zv::WindowId) const override { return {}; }
  void MoveWindow(zv::WindowId, const zv::ScreenRect&) override {}
  bool IsShown(zv::WindowId, const std::string&) const override { return true; }
  void Show(zv::WindowId, const std::string&, bool) override {}
  int Interval(zv::WindowId, const std::string&) const override { return 0; }
  void SetInterval(zv::WindowId, const std::string&, int) override {}
  int Position(zv::WindowId, const std::string&) const override { return 0; }
  void SetPosition(zv::WindowId, const std::string&, int) override {}
  bool IsChecked(zv::WindowId, const std::string&) const override { return false; }
  void SetChecked(zv::WindowId, const std::string&, bool) override {}
  void SetFill(zv::WindowId, const std::string&, unsigned) override {}
  std::string PaneText(zv::WindowId, const std::string&, int) const override { return {}; }
  void SetPaneText(zv::WindowId, const std::string&, int, const std::string&) override {}
  void InfoBox(const std::string&, const std::string&, zv::BoxIcon) override {}
};

// The fields as a reader who walks the text one GBK character at a time sees them.
std::vector<std::string> ReferenceFields(const std::string& text, const std::string& separator) {
  std::vector<std::string> fields;
  std::string field;
  size_t at = 0;
  while (at < text.size()) {
    if (text.compare(at, separator.size(), separator) == 0) {
      fields.push_back(field);
      field.clear();
      at += separator.size();
      continue;
    }
    const bool pair = static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size();
    field.append(text, at, pair ? 2 : 1);
    at += pair ? 2 : 1;
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

constexpr const char* kUntouched = "\x01untouched";

// The boxes in the order the fields fill them, named once: naming them is most of a run's cost.
const std::vector<std::string>& SlotBoxes() {
  static const std::vector<std::string> boxes = [] {
    std::vector<std::string> names;
    for (int slot = 1; slot <= zv::kCustomSlotCount; ++slot) {
      names.push_back(zv::SlotLabelName(slot));
      names.push_back(zv::SlotPathName(slot));
    }
    return names;
  }();
  return boxes;
}

const std::vector<std::string>& QuickSendBoxes() {
  static const std::vector<std::string> boxes = [] {
    std::vector<std::string> names;
    for (int slot = 1; slot <= zv::kQuickSendCount; ++slot) names.push_back(zv::QuickSendBoxName(slot));
    return names;
  }();
  return boxes;
}

// Every box holds its field, or its old text past the last field.
void CheckBoxes(const TextOnlyHost& host, const std::vector<std::string>& fields,
                const std::vector<std::string>& boxes) {
  for (size_t i = 0; i < boxes.size(); ++i) {
    const std::string got = host.Text(1, boxes[i]);
    Check(got == (i < fields.size() ? fields[i] : std::string(kUntouched)));
    Check(i >= fields.size() || zv::FindText(got, zv::kFieldSeparator) == -1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::string text = zv::TextUpToZero(file);
  Check(text.size() <= file.size() && text.find('\0') == std::string::npos &&
        file.compare(0, text.size(), text) == 0);

  // One host for every run: its controls stay, only their texts are reset.
  static TextOnlyHost host;
  const zv::Form main(host, 1);
  for (const std::string& box : SlotBoxes()) host.texts[box] = kUntouched;
  for (const std::string& box : QuickSendBoxes()) host.texts[box] = kUntouched;
  main.SetText("编辑框自定义配置", text);
  main.SetText("编辑框快捷配置", text);
  zv::LoadSlots(main);
  zv::LoadQuickSendTexts(main);

  const std::vector<std::string> fields = ReferenceFields(text, zv::kFieldSeparator);
  Check(zv::SplitText(text, zv::kFieldSeparator) == fields);
  CheckBoxes(host, fields, SlotBoxes());
  CheckBoxes(host, fields, QuickSendBoxes());
  return 0;
}
