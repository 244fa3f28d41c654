// Key chords and the Enter-paste-Enter sequence.
#include "quicksend/chat_delivery.h"

namespace zv {

void SendChord(IKeyboard& keyboard, unsigned k1, unsigned k2, unsigned k3) {
  const unsigned keys[] = {k1, k2, k3};
  for (unsigned key : keys) {
    if (key != 0) keyboard.Send(key, KeyMove::Down);
  }
  for (unsigned key : keys) {
    if (key != 0) keyboard.Send(key, KeyMove::Up);
  }
}

void DeliverChatText(IKeyboard& keyboard, IClipboard& clipboard, const std::string& text) {
  SendChord(keyboard, vk::kReturn);
  clipboard.PutText(text);
  SendChord(keyboard, vk::kControl, vk::kV);
  SendChord(keyboard, vk::kReturn);
}

}  // namespace zv
