// Program starts are written to the effect log ("run:<program>|<command line>|<show mode>");
// a started program ends at once unless the test keeps it running.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dispatcher.h"
#include "platform/process_launcher.h"

namespace zv {

class FakeProcessLauncher : public IProcessLauncher {
 public:
  FakeProcessLauncher(std::vector<std::string>& log, IDispatcher& dispatcher)
      : log_(log), dispatcher_(dispatcher) {}

  bool startFails = false;
  bool endsAtOnce = true;

  // Ends the programs kept running.
  void EndAll() {
    for (auto& whenEnded : running_) dispatcher_.Post(std::move(whenEnded));
    running_.clear();
  }

  bool Start(const std::string& program, const std::string& commandLine, int showMode,
             std::function<void()> whenEnded) override {
    log_.push_back("run:" + program + "|" + commandLine + "|" + std::to_string(showMode));
    if (startFails) return false;
    if (endsAtOnce) {
      dispatcher_.Post(std::move(whenEnded));
    } else {
      running_.push_back(std::move(whenEnded));
    }
    return true;
  }

 private:
  std::vector<std::string>& log_;
  IDispatcher& dispatcher_;
  std::vector<std::function<void()>> running_;
};

}  // namespace zv
