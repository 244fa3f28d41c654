// The eighteen custom sound slots: each is a name label and a hidden path holder on the main
// window, and the configuration file is their text joined with the field separator.
#pragma once

#include <string>

#include "ui/form.h"

namespace zv {

constexpr int kCustomSlotCount = 18;

std::string SlotLabelName(int slot);  // 自定义歌曲名字N
std::string SlotPathName(int slot);   // 编辑框自定义地址N

// Fills the slots from the text in 编辑框自定义配置: label, path, label, path, … Fields past the
// 36th are ignored; slots without a field keep what they show.
void LoadSlots(const Form& main);

}  // namespace zv
