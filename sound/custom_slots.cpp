// Restoring the custom slots from the configuration text kept in the main window.
#include "sound/custom_slots.h"

#include <vector>

#include "app/gbk_text.h"

namespace zv {

std::string SlotLabelName(int slot) { return "自定义歌曲名字" + std::to_string(slot); }
std::string SlotPathName(int slot) { return "编辑框自定义地址" + std::to_string(slot); }

void LoadSlots(const Form& main) {
  const std::vector<std::string> fields = SplitText(main.Text("编辑框自定义配置"), kFieldSeparator);
  for (size_t i = 0; i < fields.size() && i < 2 * kCustomSlotCount; ++i) {
    const int slot = static_cast<int>(i / 2) + 1;
    main.SetText(i % 2 == 0 ? SlotLabelName(slot) : SlotPathName(slot), fields[i]);
  }
}

}  // namespace zv
