// Typing a text into whatever has the keyboard focus, the way a user would send a chat line:
// Enter, paste, Enter. Nothing here waits, checks where the keys land or restores the clipboard.
#pragma once

#include <string>

#include "platform/clipboard.h"
#include "platform/keyboard.h"

namespace zv {

namespace vk {
constexpr unsigned kReturn = 0x0D;
constexpr unsigned kControl = 0x11;
constexpr unsigned kV = 0x56;
}  // namespace vk

// All keys go down in order, then all come up in the same order; a key of 0 is skipped.
void SendChord(IKeyboard& keyboard, unsigned k1, unsigned k2 = 0, unsigned k3 = 0);

// A busy clipboard does not stop the keys: the paste then inserts whatever it held before.
void DeliverChatText(IKeyboard& keyboard, IClipboard& clipboard, const std::string& text);

}  // namespace zv
