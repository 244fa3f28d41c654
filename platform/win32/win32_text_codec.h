// Pages in UTF-8 reach the program's GBK through UTF-16, the way the old embedded browser
// handed its text out in the system code page.
#pragma once

#include <string>

#include "platform/text_codec.h"

namespace zv::win32 {

class Win32TextCodec final : public ITextCodec {
 public:
  std::string Utf8ToGbk(const std::string& utf8) const override;
};

}  // namespace zv::win32
