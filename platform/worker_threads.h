// Worker threads and their timed pauses. A pause can be cut short, so a window that closes never
// waits out a worker's sleep; the fake runs pauses on a virtual clock.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace zv {

class IWorkerThreads {
 public:
  virtual ~IWorkerThreads() = default;
  // Runs `body` on a new thread, which the caller joins. Throws like std::thread when no thread
  // can be had.
  virtual std::thread Start(std::function<void()> body) = 0;
  // Pauses the calling worker for `milliseconds`. False, at once or as soon as WakeAll is called,
  // when `cut` is set.
  virtual bool Pause(int milliseconds, const std::atomic<bool>& cut) = 0;
  // Makes every paused worker look at its flag again.
  virtual void WakeAll() = 0;
  // Milliseconds on the clock the pauses run on, from any starting point.
  virtual long long Now() const = 0;
};

}  // namespace zv
