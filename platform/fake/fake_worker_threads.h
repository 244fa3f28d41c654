// Real worker threads whose pauses run on a virtual clock. The test moves the clock; every
// worker whose pause is due then runs until it pauses again or ends before Advance returns, so
// a test sees the same interleaving on every run.
#pragma once

#include <condition_variable>
#include <list>
#include <mutex>

#include "platform/worker_threads.h"

namespace zv {

class FakeWorkerThreads : public IWorkerThreads {
 public:
  // How long a test waits for workers to come to rest before it gives up on them.
  static constexpr int kSettleTimeoutMs = 10000;

  std::thread Start(std::function<void()> body) override;
  bool Pause(int milliseconds, const std::atomic<bool>& cut) override;
  void WakeAll() override;
  long long Now() const override;

  // Moves the clock to `time`, stopping at each pause that falls due on the way. False when a
  // worker did not come to rest in time.
  bool AdvanceTo(long long time);
  // Waits until every worker is paused or has ended.
  bool Settle();
  // Workers started so far.
  size_t Started() const;
  // Workers started from now on wait before their first step, at rest, until Release: the test
  // can act before they do.
  void Hold();
  void Release();

 private:
  struct Sleeper {
    long long due;
    const std::atomic<bool>* cut;
    bool woken = false;
  };

  // Caller holds the lock.
  void WakeLocked(Sleeper& sleeper);
  bool SettleLocked(std::unique_lock<std::mutex>& guard);

  mutable std::mutex lock_;
  std::condition_variable changed_;
  long long now_ = 0;
  int running_ = 0;
  size_t started_ = 0;
  bool holding_ = false;
  int held_ = 0;  // started while holding, not yet released
  std::list<Sleeper> sleepers_;
};

}  // namespace zv
