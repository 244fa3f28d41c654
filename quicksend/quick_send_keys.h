// F1..F12 on the main window: switching them on and off, and sending box n into the chat box
// when Fn is pressed.
#pragma once

#include "platform/clipboard.h"
#include "platform/keyboard.h"
#include "quicksend/hotkey_set.h"
#include "ui/form.h"

namespace zv {

class QuickSendKeys {
 public:
  QuickSendKeys(HotkeyBinder& binder, IKeyboard& keyboard, IClipboard& clipboard);

  // The box that follows names the keys another program holds; those keys stay silent here.
  void Enable(const Form& main);
  // Also run when the piano window opens, since the piano takes F1..F12 for itself.
  void Disable(const Form& main);
  // The Hotkey event of the main window's 标签1.
  void OnHotkey(const Form& main, int identifier);

 private:
  HotkeySet keys_;
  IKeyboard& keyboard_;
  IClipboard& clipboard_;
};

}  // namespace zv
