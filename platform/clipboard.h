// The system clipboard, written only. Texts are GBK bytes; the implementation offers them so
// that other programs can paste them whatever their system code page.
#pragma once

#include <string>

namespace zv {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // Replaces the clipboard's content with the text. False, with the clipboard left as it was,
  // when another program holds the clipboard open.
  virtual bool PutText(const std::string& text) = 0;
};

}  // namespace zv
