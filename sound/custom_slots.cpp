// Choosing, saving, restoring and playing the custom slots; their state lives only in the
// main window's controls.
#include "sound/custom_slots.h"

#include <vector>

#include "base/gbk_text.h"

namespace zv {
namespace {

constexpr const char* kConfigHolder = "编辑框自定义配置";
constexpr const char* kUnchosenCaption = "亲，你还没有选择场景音哦！点击我！选择歌曲！";
constexpr const char* kNoPath = "无";

bool IsSlot(int slot) { return slot >= 1 && slot <= kCustomSlotCount; }

// Gives the first control of the row whose text is empty, and only that one, the filler text.
void FillFirstEmpty(const Form& main, std::string (*name)(int), const char* filler) {
  for (int slot = 1; slot <= kCustomSlotCount; ++slot) {
    if (main.Text(name(slot)).empty()) {
      main.SetText(name(slot), filler);
      return;
    }
  }
}

}  // namespace

std::string SlotLabelName(int slot) { return "自定义歌曲名字" + std::to_string(slot); }
std::string SlotPathName(int slot) { return "编辑框自定义地址" + std::to_string(slot); }

void LoadSlots(const Form& main) {
  const std::vector<std::string> fields = SplitText(main.Text(kConfigHolder), kFieldSeparator);
  for (size_t i = 0; i < fields.size() && i < 2 * kCustomSlotCount; ++i) {
    const int slot = static_cast<int>(i / 2) + 1;
    main.SetText(i % 2 == 0 ? SlotLabelName(slot) : SlotPathName(slot), fields[i]);
  }
}

std::string FileNameOf(const std::string& path) {
  int last = -1;
  for (int at = FindText(path, "\\"); at != -1; at = FindText(path, "\\", at + 1)) last = at;
  return last == -1 ? path : path.substr(static_cast<size_t>(last));
}

void ChooseSlotFile(const Form& main, IFileDialog& dialog, IFileSystem& files,
                    const DataPaths& paths, int slot) {
  if (!IsSlot(slot)) return;
  const std::optional<std::string> path = dialog.ChooseFileToOpen();
  if (!path) return;
  main.SetText(SlotPathName(slot), *path);
  main.SetText(SlotLabelName(slot), FileNameOf(*path));
  SaveSlots(main, files, paths);
}

void SaveSlots(const Form& main, IFileSystem& files, const DataPaths& paths) {
  main.SetText(kConfigHolder, "");
  FillFirstEmpty(main, SlotPathName, kNoPath);
  FillFirstEmpty(main, SlotLabelName, kUnchosenCaption);
  std::string text;
  for (int slot = 1; slot <= kCustomSlotCount; ++slot) {
    text += main.Text(SlotLabelName(slot)) + kFieldSeparator;
    text += main.Text(SlotPathName(slot)) + kFieldSeparator;
  }
  main.SetText(kConfigHolder, text);
  files.WriteFile(paths.customSoundConfig, main.Text(kConfigHolder));
}

void PlaySlot(const Form& main, IMediaPlayer& media, int slot) {
  if (!IsSlot(slot)) return;
  const std::string path = main.Text(SlotPathName(slot));
  media.Stop();
  if (!path.empty()) media.Play(path);
}

}  // namespace zv
