// The quick-send hotkeys and their handler.
#include "quicksend/quick_send_keys.h"

#include "quicksend/chat_delivery.h"
#include "quicksend/quick_send_texts.h"
#include "quicksend/switch_on_box.h"

namespace zv {
namespace {

constexpr unsigned kF1 = 0x70;

constexpr SwitchOnTexts kSwitchOnTexts = {
    "快捷键开启成功！鼠标点击聊天框！按F1-12即可发送指定数据！",
    "其余按键已开启，鼠标点击聊天框即可发送指定数据！",
    "F1-12已全部被其他程序占用，快捷键未能开启！请关闭占用这些按键的程序后再试。"};

std::vector<unsigned> FunctionKeys() {
  std::vector<unsigned> keys;
  for (int slot = 1; slot <= kQuickSendCount; ++slot) keys.push_back(kF1 + slot - 1);
  return keys;
}

}  // namespace

QuickSendKeys::QuickSendKeys(HotkeyBinder& binder, IKeyboard& keyboard, IClipboard& clipboard)
    : keys_(binder, FunctionKeys()), keyboard_(keyboard), clipboard_(clipboard) {}

void QuickSendKeys::Enable(const Form& main) {
  std::vector<std::string> refused;
  for (size_t index : keys_.Enable(main.Id(), LabelTarget(main.Id(), MainWindowSpec(), "标签1"))) {
    refused.push_back("F" + std::to_string(index + 1));
  }
  main.Ui().InfoBox("温馨提示：", SwitchOnBoxText(refused, keys_.Size(), kSwitchOnTexts),
                    BoxIcon::None);
}

void QuickSendKeys::Disable(const Form& main) { keys_.Disable(main.Id()); }

void QuickSendKeys::OnHotkey(const Form& main, int identifier) {
  for (size_t i = 0; i < keys_.Size(); ++i) {
    if (keys_.Identifier(i) == identifier) {
      // The box is read now: an edited but unsaved text is what gets sent.
      DeliverChatText(keyboard_, clipboard_, main.Text(QuickSendBoxName(static_cast<int>(i) + 1)));
      return;
    }
  }
}

}  // namespace zv
