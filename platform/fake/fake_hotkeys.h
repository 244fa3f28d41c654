// The system's hotkey table for behaviour tests: keys held by this program or by others, and
// key presses that reach an intercepting window's listener the way WM_HOTKEY would.
#pragma once

#include <map>
#include <utility>

#include "platform/hotkeys.h"

namespace zv {

class FakeHotkeys : public IHotkeys {
 public:
  // Test controls.
  // Another program takes the key first, so our registration of it will be refused.
  void HoldByOtherProgram(unsigned virtualKey, unsigned modifiers = kNoModifiers);
  void ReleaseByOtherProgram(unsigned virtualKey, unsigned modifiers = kNoModifiers);
  // The user presses a key anywhere. True when some hotkey took it, so the focused program
  // never sees it; false when it reaches the focused program as a plain key.
  bool Press(unsigned virtualKey, unsigned modifiers = kNoModifiers);
  bool IsIntercepting(WindowId window) const { return listeners_.count(window) != 0; }
  // Identifier under which `window` holds the key, or 0.
  int HolderIdentifier(WindowId window, unsigned virtualKey,
                       unsigned modifiers = kNoModifiers) const;
  // How many keys this program holds on all its windows.
  size_t HeldByUs() const;
  int unregisterCalls = 0;

  // IHotkeys
  bool Register(WindowId window, int identifier, unsigned modifiers,
                unsigned virtualKey) override;
  void Unregister(WindowId window, int identifier) override;
  void Intercept(WindowId window, IHotkeyListener& listener) override;
  void StopIntercepting(WindowId window) override { listeners_.erase(window); }

 private:
  struct Holder {
    WindowId window;  // kNoWindow: another program
    int identifier;
  };
  std::map<std::pair<unsigned, unsigned>, Holder> held_;  // (modifiers, key)
  std::map<WindowId, IHotkeyListener*> listeners_;
};

}  // namespace zv
