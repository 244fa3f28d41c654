// Switching a list of keys on and off.
#include "quicksend/hotkey_set.h"

namespace zv {

HotkeySet::HotkeySet(HotkeyBinder& binder, std::vector<unsigned> virtualKeys)
    : binder_(binder), keys_(std::move(virtualKeys)), identifiers_(keys_.size(), 0) {}

std::vector<size_t> HotkeySet::Enable(WindowId window, const HotkeyTarget& target) {
  std::vector<size_t> refused;
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (on_ && identifiers_[i] != 0) continue;
    identifiers_[i] = binder_.Register(window, target, kNoModifiers, keys_[i]);
    if (identifiers_[i] == 0) refused.push_back(i);
  }
  on_ = true;
  return refused;
}

void HotkeySet::Disable(WindowId window) {
  for (int identifier : identifiers_) binder_.Unregister(window, identifier);
  on_ = false;
}

}  // namespace zv
