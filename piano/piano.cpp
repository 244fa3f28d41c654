// The piano's hotkeys and note handler.
#include "piano/piano.h"

#include "ui/catalogue.h"

namespace zv {
namespace {

std::vector<unsigned> PianoVirtualKeys() {
  std::vector<unsigned> keys;
  for (const PianoKey& key : PianoKeys()) keys.push_back(key.virtualKey);
  return keys;
}

}  // namespace

Piano::Piano(HotkeyBinder& binder, QuickSendKeys& quickSend, IKeySound& sound)
    : keys_(binder, PianoVirtualKeys()), quickSend_(quickSend), sound_(sound) {}

void Piano::Created(const Form& main) { quickSend_.Disable(main); }

void Piano::Enable(const Form& piano) {
  keys_.Enable(piano.Id(), LabelTarget(piano.Id(), PianoWindowSpec(), "标签1"));
  piano.Ui().InfoBox("温馨提示", "模拟钢琴开启成功！现在就演奏吧~！", BoxIcon::None);
}

void Piano::Disable(const Form& piano) { keys_.Disable(piano.Id()); }

void Piano::OnHotkey(int identifier) {
  for (size_t index : PianoLookupOrder()) {
    if (keys_.Identifier(index) == identifier) {
      sound_.Play(PianoKeys()[index]);
      return;
    }
  }
}

void Piano::Closing(const Form& piano) { keys_.Disable(piano.Id()); }

}  // namespace zv
