// The clipboard on Windows: a text goes on it whole as CF_UNICODETEXT, which is what pastes
// intact on systems whose ANSI code page is not GBK and keeps characters GBK lacks, and as
// CF_TEXT in plain GBK for readers that only take that.
#pragma once

#include <windows.h>

#include "platform/clipboard.h"

namespace zv::win32 {

class Win32Clipboard final : public IClipboard {
 public:
  Win32Clipboard() = default;
  Win32Clipboard(const Win32Clipboard&) = delete;
  Win32Clipboard& operator=(const Win32Clipboard&) = delete;
  ~Win32Clipboard() override;

  // Call on the GUI thread: the clipboard's owner window belongs to it.
  bool PutText(const std::string& text) override;

 private:
  HWND Owner();

  HWND owner_ = nullptr;
};

}  // namespace zv::win32
