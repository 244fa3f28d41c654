// Hands work from a worker thread to the GUI thread, where every window and control is
// touched. Posted work runs between events, also inside modal loops (message boxes).
#pragma once

#include <functional>

namespace zv {

class IDispatcher {
 public:
  virtual ~IDispatcher() = default;
  // Safe from any thread; work posted after the message loop has ended never runs.
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace zv
