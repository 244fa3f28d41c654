// The piano window's behaviour: its 46 hotkeys, the two pairs of on/off controls, the note
// handler, and giving F1..F12 back to nobody when it closes.
#pragma once

#include "piano/key_sound.h"
#include "quicksend/hotkey_set.h"
#include "quicksend/quick_send_keys.h"
#include "ui/form.h"

namespace zv {

class Piano {
 public:
  Piano(HotkeyBinder& binder, QuickSendKeys& quickSend, IKeySound& sound);

  // The piano takes F1..F12 itself, so quick-send goes off whether it was on or not.
  void Created(const Form& main);
  // The box that follows names the keys another program holds; those keys stay silent here.
  void Enable(const Form& piano);
  void Disable(const Form& piano);
  // The Hotkey event of the piano window's 标签1.
  void OnHotkey(int identifier);
  // The window is about to be destroyed: every key goes back. Quick-send stays off.
  void Closing(const Form& piano);

 private:
  HotkeySet keys_;
  QuickSendKeys& quickSend_;
  IKeySound& sound_;
};

}  // namespace zv
