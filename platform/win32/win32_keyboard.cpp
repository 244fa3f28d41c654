// keybd_event with scan code 0 and no extended flag: the system fills in the scan code, and the
// keys we send (Enter, Ctrl, V) are not extended keys.
#include "platform/win32/win32_keyboard.h"

#include <windows.h>

namespace zv::win32 {

// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-keybd_event
void Win32Keyboard::Send(unsigned virtualKey, KeyMove move) {
  keybd_event(static_cast<BYTE>(virtualKey), 0, move == KeyMove::Up ? KEYEVENTF_KEYUP : 0, 0);
}

}  // namespace zv::win32
