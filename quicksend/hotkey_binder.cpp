// Identifier numbering, per-window interception and dispatch of hotkey presses.
#include "quicksend/hotkey_binder.h"

namespace zv {

HotkeyTarget LabelTarget(WindowId window, const WindowSpec& layout, const std::string& label) {
  return HotkeyTarget{window, &layout, layout.Find(label)};
}

HotkeyBinder::~HotkeyBinder() {
  for (const auto& [window, identifiers] : registered_) {
    for (int identifier : identifiers) system_.Unregister(window, identifier);
    system_.StopIntercepting(window);
  }
}

int HotkeyBinder::Register(WindowId window, const HotkeyTarget& target, unsigned modifiers,
                           unsigned virtualKey) {
  const int identifier = ++lastIssued_;
  target_ = target;
  // Interception starts before the key exists so not even the first press can slip past.
  if (registered_.emplace(window, std::set<int>{}).second) system_.Intercept(window, *this);
  if (system_.Register(window, identifier, modifiers, virtualKey)) {
    registered_[window].insert(identifier);
    return identifier;
  }
  StopIfIdle(window);
  return 0;
}

void HotkeyBinder::Unregister(WindowId window, int identifier) {
  auto it = registered_.find(window);
  if (it == registered_.end() || it->second.erase(identifier) == 0) return;
  system_.Unregister(window, identifier);
  StopIfIdle(window);
}

void HotkeyBinder::StopIfIdle(WindowId window) {
  auto it = registered_.find(window);
  if (it == registered_.end() || !it->second.empty()) return;
  registered_.erase(it);
  system_.StopIntercepting(window);
}

void HotkeyBinder::OnHotkey(WindowId, int identifier) {
  if (identifier < kFirstIdentifier || identifier > lastIssued_) return;
  if (target_.label == nullptr || target_.windowSpec == nullptr) return;
  sink_.OnEvent(UiEvent{target_.window, target_.windowSpec, target_.label, EventKind::Hotkey,
                        identifier});
}

}  // namespace zv
