// Starting another program and learning when it has ended.
#pragma once

#include <functional>
#include <string>

namespace zv {

class IProcessLauncher {
 public:
  virtual ~IProcessLauncher() = default;
  // Starts the program file `program` (a full path, never searched for) with `commandLine` as
  // its whole command line and the window show mode (1 hidden .. 6 minimised not activated).
  // False when it could not be started; otherwise `whenEnded` runs on the GUI thread once the
  // program has exited, and no thread of the caller is blocked meanwhile.
  virtual bool Start(const std::string& program, const std::string& commandLine, int showMode,
                     std::function<void()> whenEnded) = 0;
};

}  // namespace zv
