// keybd_event with the key's real scan code and no extended flag. Windows does not fill in a
// scan code left at 0, and some chat clients read the scan code rather than the virtual key;
// the keys we send (Enter, Ctrl, V) are not extended keys.
#include "platform/win32/win32_keyboard.h"

#include <windows.h>

namespace zv::win32 {

// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-keybd_event
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-mapvirtualkeyw
void Win32Keyboard::Send(unsigned virtualKey, KeyMove move) {
  const auto scanCode = static_cast<BYTE>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  keybd_event(static_cast<BYTE>(virtualKey), scanCode, move == KeyMove::Up ? KEYEVENTF_KEYUP : 0,
              0);
}

}  // namespace zv::win32
