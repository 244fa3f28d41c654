// The twelve canned texts live in 快捷编辑框1..12; the configuration file is those texts each
// followed by the field separator.
#pragma once

#include <string>

#include "ui/form.h"

namespace zv {

constexpr int kQuickSendCount = 12;

std::string QuickSendBoxName(int slot);  // 快捷编辑框N

// Puts field n of 编辑框快捷配置 into box n; fields past the twelfth are ignored and boxes
// without a field keep their text.
void LoadQuickSendTexts(const Form& main);

}  // namespace zv
