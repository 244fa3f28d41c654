// Composing the switch-on box's text.
#include "quicksend/switch_on_box.h"

namespace zv {

std::string SwitchOnBoxText(const std::vector<std::string>& refused, size_t keyCount,
                            const SwitchOnTexts& texts) {
  if (refused.empty()) return texts.allKeys;
  if (refused.size() >= keyCount) return texts.noKeys;
  std::string text = "以下按键已被其他程序占用，无法使用：";
  for (size_t i = 0; i < refused.size(); ++i) text += (i == 0 ? "" : "、") + refused[i];
  return text + "。" + texts.restKeys;
}

}  // namespace zv
