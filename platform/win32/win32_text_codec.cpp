// UTF-8 -> UTF-16 -> code page 54936; both steps replace what they cannot carry, so a broken
// page still converts around its bad bytes.
#include "platform/win32/win32_text_codec.h"

#include "platform/win32/code_page.h"

namespace zv::win32 {

std::string Win32TextCodec::Utf8ToGbk(const std::string& utf8) const {
  std::wstring wide = Utf8ToWide(utf8);
  // What UTF-8 could not carry reads as '?', not as the replacement character's four bytes.
  for (wchar_t& c : wide) {
    if (c == 0xFFFD) c = L'?';
  }
  return WideToGbk(wide);
}

}  // namespace zv::win32
