// Turns text that arrives in another character set into the program's own GBK. Only pages
// from the network need it: everything the program writes or shows itself is GBK already.
#pragma once

#include <string>

namespace zv {

class ITextCodec {
 public:
  virtual ~ITextCodec() = default;
  // UTF-8 bytes as GBK bytes, characters GBK lacks as GB18030's four-byte sequences. Bytes
  // that are not valid UTF-8 become '?'; the rest of the text is converted around them. Never
  // fails.
  virtual std::string Utf8ToGbk(const std::string& utf8) const = 0;
};

}  // namespace zv
