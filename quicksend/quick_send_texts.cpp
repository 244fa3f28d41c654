// Restoring and saving the quick-send texts through the configuration text kept in the main
// window.
#include "quicksend/quick_send_texts.h"

#include <vector>

#include "base/gbk_text.h"

namespace zv {
namespace {

constexpr const char* kHolder = "编辑框快捷配置";
constexpr const char* kPlaceholder = "还没有设置";

// Only the first empty box is filled, so each save with gaps left fills the next one.
void FillFirstEmptyBox(const Form& main) {
  for (int slot = 1; slot <= kQuickSendCount; ++slot) {
    if (main.Text(QuickSendBoxName(slot)).empty()) {
      main.SetText(QuickSendBoxName(slot), kPlaceholder);
      return;
    }
  }
}

}  // namespace

std::string QuickSendBoxName(int slot) { return "快捷编辑框" + std::to_string(slot); }

void LoadQuickSendTexts(const Form& main) {
  const std::vector<std::string> fields = SplitText(main.Text(kHolder), kFieldSeparator);
  for (size_t i = 0; i < fields.size() && i < kQuickSendCount; ++i) {
    main.SetText(QuickSendBoxName(static_cast<int>(i) + 1), fields[i]);
  }
}

void SaveQuickSendTexts(const Form& main, IFileSystem& files, const DataPaths& paths) {
  FillFirstEmptyBox(main);
  std::string text;
  for (int slot = 1; slot <= kQuickSendCount; ++slot) {
    text += main.Text(QuickSendBoxName(slot)) + kFieldSeparator;
  }
  main.SetText(kHolder, text);
  // The bytes written are the ones composed here, not a read-back of the holder, so whatever
  // an edit control might do to an unusual text cannot reach the file.
  files.WriteFile(paths.quickSendConfig, text);
}

}  // namespace zv
