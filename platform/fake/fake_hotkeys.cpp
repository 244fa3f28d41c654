// In-memory hotkey table.
#include "platform/fake/fake_hotkeys.h"

namespace zv {

void FakeHotkeys::HoldByOtherProgram(unsigned virtualKey, unsigned modifiers) {
  held_[{modifiers, virtualKey}] = Holder{kNoWindow, 0};
}

void FakeHotkeys::ReleaseByOtherProgram(unsigned virtualKey, unsigned modifiers) {
  auto it = held_.find({modifiers, virtualKey});
  if (it != held_.end() && it->second.window == kNoWindow) held_.erase(it);
}

bool FakeHotkeys::Press(unsigned virtualKey, unsigned modifiers) {
  auto it = held_.find({modifiers, virtualKey});
  if (it == held_.end()) return false;
  const Holder holder = it->second;
  auto listener = listeners_.find(holder.window);
  // Without interception the message reaches a window procedure that ignores it.
  if (holder.window != kNoWindow && listener != listeners_.end()) {
    listener->second->OnHotkey(holder.window, holder.identifier);
  }
  return true;
}

int FakeHotkeys::HolderIdentifier(WindowId window, unsigned virtualKey,
                                  unsigned modifiers) const {
  auto it = held_.find({modifiers, virtualKey});
  return it != held_.end() && it->second.window == window ? it->second.identifier : 0;
}

size_t FakeHotkeys::HeldByUs() const {
  size_t count = 0;
  for (const auto& [key, holder] : held_) count += holder.window != kNoWindow ? 1 : 0;
  return count;
}

bool FakeHotkeys::Register(WindowId window, int identifier, unsigned modifiers,
                           unsigned virtualKey) {
  return held_.emplace(std::make_pair(modifiers, virtualKey), Holder{window, identifier}).second;
}

void FakeHotkeys::Unregister(WindowId window, int identifier) {
  ++unregisterCalls;
  for (auto it = held_.begin(); it != held_.end(); ++it) {
    if (it->second.window == window && it->second.identifier == identifier) {
      held_.erase(it);
      return;
    }
  }
}

void FakeHotkeys::Intercept(WindowId window, IHotkeyListener& listener) {
  listeners_[window] = &listener;
}

}  // namespace zv
