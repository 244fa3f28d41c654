// Posted work waits in a queue until the test lets the "GUI thread" run it.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "platform/dispatcher.h"

namespace zv {

class FakeDispatcher : public IDispatcher {
 public:
  void Post(std::function<void()> work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(work));
  }

  // Runs posted work, including work posted while running, until the queue is empty.
  int RunPosted() {
    int ran = 0;
    for (;;) {
      std::function<void()> work;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty()) return ran;
        work = std::move(queue_.front());
        queue_.pop_front();
      }
      work();
      ++ran;
    }
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace zv
