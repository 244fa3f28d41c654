// A feature's fixed list of plain keys switched on and off together through the binder, with
// the identifier each key got. Shared by quick-send and the piano.
#pragma once

#include <vector>

#include "quicksend/hotkey_binder.h"

namespace zv {

class HotkeySet {
 public:
  HotkeySet(HotkeyBinder& binder, std::vector<unsigned> virtualKeys);

  // Registers every key in list order. While the set is already on, keys that work are kept
  // and only keys the system refused before are tried again: registering a held key a second
  // time would be refused and lose the identifier that still works. Returns the indexes of the
  // keys the system refused this time, in list order; nothing retries them later.
  std::vector<size_t> Enable(WindowId window, const HotkeyTarget& target);
  // Releases every key; identifiers keep their values, as the handlers compare against them.
  void Disable(WindowId window);

  size_t Size() const { return keys_.size(); }
  int Identifier(size_t index) const { return identifiers_[index]; }

 private:
  HotkeyBinder& binder_;
  std::vector<unsigned> keys_;
  std::vector<int> identifiers_;
  bool on_ = false;
};

}  // namespace zv
