// Routines that must run when the program ends, whichever way it ends (window closed, failed
// version check, finished self-update). They run once, last registered first.
#pragma once

#include <functional>
#include <vector>

namespace zv {

class ExitCleanUp {
 public:
  void Register(std::function<void()> routine) { routines_.push_back(std::move(routine)); }

  void Run() {
    while (!routines_.empty()) {
      std::function<void()> routine = std::move(routines_.back());
      routines_.pop_back();
      routine();
    }
  }

 private:
  std::vector<std::function<void()>> routines_;
};

}  // namespace zv
