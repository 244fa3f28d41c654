// UTF-8 -> UTF-16 -> code page 936; both steps replace what they cannot carry, so a broken
// page still converts around its bad bytes.
#include "platform/win32/win32_text_codec.h"

#include "platform/win32/code_page.h"

namespace zv::win32 {

std::string Win32TextCodec::Utf8ToGbk(const std::string& utf8) const {
  return WideToGbk(Utf8ToWide(utf8));
}

}  // namespace zv::win32
