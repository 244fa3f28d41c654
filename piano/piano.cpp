// The piano's hotkeys and note handler.
#include "piano/piano.h"

#include "quicksend/switch_on_box.h"
#include "ui/catalogue.h"

namespace zv {
namespace {

constexpr SwitchOnTexts kSwitchOnTexts = {
    "模拟钢琴开启成功！现在就演奏吧~！", "其余按键已开启，现在就演奏吧~！",
    "全部按键已被其他程序占用，模拟钢琴未能开启！请关闭占用这些按键的程序后再试。"};

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
  std::vector<std::string> refused;
  for (size_t index :
       keys_.Enable(piano.Id(), LabelTarget(piano.Id(), PianoWindowSpec(), "标签1"))) {
    refused.push_back(PianoKeys()[index].name);
  }
  piano.Ui().InfoBox("温馨提示", SwitchOnBoxText(refused, keys_.Size(), kSwitchOnTexts),
                     BoxIcon::None);
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
