// The eighteen custom sound slots: each is a name label and a hidden path holder on the main
// window, and the configuration file is their text joined with the field separator.
#pragma once

#include <string>

#include "base/data_paths.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/media_player.h"
#include "ui/form.h"

namespace zv {

constexpr int kCustomSlotCount = 18;

std::string SlotLabelName(int slot);  // 自定义歌曲名字N
std::string SlotPathName(int slot);   // 编辑框自定义地址N

// Fills the slots from the text in 编辑框自定义配置: label, path, label, path, … Fields past the
// 36th are ignored; slots without a field keep what they show.
void LoadSlots(const Form& main);

// The Open File dialog for one slot; a chosen file becomes the slot's path and its name the
// label, and the slots are saved. Cancelling changes and writes nothing.
void ChooseSlotFile(const Form& main, IFileDialog& dialog, IFileSystem& files,
                    const DataPaths& paths, int slot);

// Writes every slot to the configuration file (after filling in one empty path and one empty
// label). A failed write is silent and the slots keep what they show.
void SaveSlots(const Form& main, IFileSystem& files, const DataPaths& paths);

// Stops the file playing now and starts the slot's file, if it has one.
void PlaySlot(const Form& main, IMediaPlayer& media, int slot);

// The part of a GBK path after its last backslash; a backslash that is the second byte of a
// double-byte character does not count.
std::string FileNameOf(const std::string& path);

}  // namespace zv
