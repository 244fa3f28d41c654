// The shell's open action for web links on Windows.
#pragma once

#include "platform/shell.h"

namespace zv::win32 {

class Win32Shell final : public IShell {
 public:
  // Hands http and https addresses to the default browser from a short-lived worker, because
  // ShellExecute can take seconds to start a browser. Anything else is ignored: the shell
  // would happily run a program named by a string that was meant to be a link.
  void OpenUrl(const std::string& url) override;
};

// Whether the shell may be asked to open this text as a web link.
bool IsWebAddress(const std::string& url);

}  // namespace zv::win32
