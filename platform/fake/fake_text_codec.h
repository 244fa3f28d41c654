// UTF-8 to GBK for behaviour tests through glibc's converter, which stands in for Windows' code
// page 936, with GB18030's four bytes for what GBK lacks as the exe writes them; the same
// character and broken-byte rules, so tests see what the exe would show.
#pragma once

#include <string>

#include "platform/text_codec.h"

namespace zv {

class FakeTextCodec : public ITextCodec {
 public:
  std::string Utf8ToGbk(const std::string& utf8) const override;
};

}  // namespace zv
