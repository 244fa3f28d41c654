// Turns system-wide hotkeys into events of a label: quick-send and the piano register their keys
// here and receive each press as the Hotkey event of their target label.
// It deliberately keeps no per-feature state; the features keep their own identifiers.
#pragma once

#include <map>
#include <set>

#include "platform/hotkeys.h"
#include "platform/ui_host.h"
#include "ui/catalogue.h"

namespace zv {

// The label whose Hotkey event receives the presses.
struct HotkeyTarget {
  WindowId window = kNoWindow;
  const WindowSpec* windowSpec = nullptr;
  const ControlSpec* label = nullptr;
};

HotkeyTarget LabelTarget(WindowId window, const WindowSpec& layout, const std::string& label);

class HotkeyBinder final : public IHotkeyListener {
 public:
  static constexpr int kFirstIdentifier = 33001;

  HotkeyBinder(IHotkeys& system, IEventSink& sink) : system_(system), sink_(sink) {}
  // Gives back whatever is still registered so no window keeps calling into a dead binder.
  ~HotkeyBinder() override;
  HotkeyBinder(const HotkeyBinder&) = delete;
  HotkeyBinder& operator=(const HotkeyBinder&) = delete;

  // Takes the next identifier whether or not the system accepts the key, and makes `target`
  // the one target of every key registered so far. Returns the identifier, or 0 when refused.
  int Register(WindowId window, const HotkeyTarget& target, unsigned modifiers,
               unsigned virtualKey);
  // 0, refused and already released identifiers are ignored.
  void Unregister(WindowId window, int identifier);

  void OnHotkey(WindowId window, int identifier) override;

 private:
  void StopIfIdle(WindowId window);

  IHotkeys& system_;
  IEventSink& sink_;
  int lastIssued_ = kFirstIdentifier - 1;
  HotkeyTarget target_;
  std::map<WindowId, std::set<int>> registered_;  // intercepted windows and their live keys
};

}  // namespace zv
