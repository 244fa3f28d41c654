// Restoring the quick-send texts from the configuration text kept in the main window.
#include "quicksend/quick_send_texts.h"

#include <vector>

#include "app/gbk_text.h"

namespace zv {

std::string QuickSendBoxName(int slot) { return "快捷编辑框" + std::to_string(slot); }

void LoadQuickSendTexts(const Form& main) {
  const std::vector<std::string> fields = SplitText(main.Text("编辑框快捷配置"), kFieldSeparator);
  for (size_t i = 0; i < fields.size() && i < kQuickSendCount; ++i) {
    main.SetText(QuickSendBoxName(static_cast<int>(i) + 1), fields[i]);
  }
}

}  // namespace zv
