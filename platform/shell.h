// The shell's open action: hands a URL to the user's default browser. Failures stay silent.
#pragma once

#include <string>

namespace zv {

class IShell {
 public:
  virtual ~IShell() = default;
  virtual void OpenUrl(const std::string& url) = 0;
};

}  // namespace zv
