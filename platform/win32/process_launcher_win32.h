// Starting a program with CreateProcessW and learning of its end on the GUI thread.
#pragma once

#include "platform/process_launcher.h"
#include "platform/win32/gui_dispatcher.h"

namespace zv::win32 {

class Win32ProcessLauncher final : public IProcessLauncher {
 public:
  explicit Win32ProcessLauncher(GuiDispatcher& dispatcher) : dispatcherWindow_(dispatcher.Window()) {}
  bool Start(const std::string& program, const std::string& commandLine, int showMode,
             std::function<void()> whenEnded) override;

 private:
  HWND dispatcherWindow_;
};

}  // namespace zv::win32
