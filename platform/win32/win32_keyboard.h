// Synthesised key strokes through keybd_event, queued to whatever has the keyboard focus.
#pragma once

#include "platform/keyboard.h"

namespace zv::win32 {

class Win32Keyboard final : public IKeyboard {
 public:
  void Send(unsigned virtualKey, KeyMove move) override;
};

}  // namespace zv::win32
