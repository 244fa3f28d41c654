// The quick-send hotkeys and their handler.
#include "quicksend/quick_send_keys.h"

#include "quicksend/chat_delivery.h"
#include "quicksend/quick_send_texts.h"

namespace zv {
namespace {

constexpr unsigned kF1 = 0x70;

std::vector<unsigned> FunctionKeys() {
  std::vector<unsigned> keys;
  for (int slot = 1; slot <= kQuickSendCount; ++slot) keys.push_back(kF1 + slot - 1);
  return keys;
}

}  // namespace

QuickSendKeys::QuickSendKeys(HotkeyBinder& binder, IKeyboard& keyboard, IClipboard& clipboard)
    : keys_(binder, FunctionKeys()), keyboard_(keyboard), clipboard_(clipboard) {}

void QuickSendKeys::Enable(const Form& main) {
  keys_.Enable(main.Id(), LabelTarget(main.Id(), MainWindowSpec(), "标签1"));
  main.Ui().InfoBox("温馨提示：", "快捷键开启成功！鼠标点击聊天框！按F1-12即可发送指定数据！",
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
