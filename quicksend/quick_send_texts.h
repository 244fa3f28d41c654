// The twelve canned texts live in 快捷编辑框1..12; the configuration file is those texts each
// followed by the field separator, with nothing before, between or after.
#pragma once

#include <string>

#include "base/data_paths.h"
#include "platform/file_system.h"
#include "ui/form.h"

namespace zv {

constexpr int kQuickSendCount = 12;

std::string QuickSendBoxName(int slot);  // 快捷编辑框N

// Puts field n of 编辑框快捷配置 into box n; fields past the twelfth are ignored and boxes
// without a field keep their text.
void LoadQuickSendTexts(const Form& main);

// Fills the first empty box with the placeholder, keeps the file's text in 编辑框快捷配置 and
// writes it to the configuration file. A failed write is silent and leaves the old file whole.
void SaveQuickSendTexts(const Form& main, IFileSystem& files, const DataPaths& paths);

}  // namespace zv
