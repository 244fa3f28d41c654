// Worker threads on the system's own threads and clock. Pauses wait on one condition variable,
// so waking every paused worker to look at its flag is a single notify.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/worker_threads.h"

namespace zv::win32 {

class SystemWorkerThreads final : public IWorkerThreads {
 public:
  std::thread Start(std::function<void()> body) override { return std::thread(std::move(body)); }

  bool Pause(int milliseconds, const std::atomic<bool>& cut) override {
    std::unique_lock<std::mutex> guard(lock_);
    return !woken_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                            [&cut] { return cut.load(); });
  }

  void WakeAll() override {
    // Taking the lock orders the caller's flag store before any sleeper's next look at it.
    { std::lock_guard<std::mutex> guard(lock_); }
    woken_.notify_all();
  }

  long long Now() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  std::mutex lock_;
  std::condition_variable woken_;
};

}  // namespace zv::win32
