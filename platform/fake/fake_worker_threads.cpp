// A worker counts as running from its start (or, when held, from its release), and again from the
// moment its pause is ended, until it pauses or ends: the waker counts it, so no settle can slip in
// between.
#include "platform/fake/fake_worker_threads.h"

#include <algorithm>
#include <chrono>

namespace zv {

std::thread FakeWorkerThreads::Start(std::function<void()> body) {
  bool held;
  {
    std::lock_guard<std::mutex> guard(lock_);
    held = holding_;
    ++(held ? held_ : running_);
    ++started_;
  }
  try {
    return std::thread([this, held, body = std::move(body)] {
      if (held) {
        // Release counts this worker as running again before it lets go.
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [this] { return !holding_; });
      }
      body();
      std::lock_guard<std::mutex> guard(lock_);
      --running_;
      changed_.notify_all();
    });
  } catch (...) {
    std::lock_guard<std::mutex> guard(lock_);
    --(held ? held_ : running_);
    throw;
  }
}

void FakeWorkerThreads::Hold() {
  std::lock_guard<std::mutex> guard(lock_);
  holding_ = true;
}

void FakeWorkerThreads::Release() {
  std::lock_guard<std::mutex> guard(lock_);
  holding_ = false;
  running_ += held_;
  held_ = 0;
  changed_.notify_all();
}

bool FakeWorkerThreads::Pause(int milliseconds, const std::atomic<bool>& cut) {
  std::unique_lock<std::mutex> guard(lock_);
  if (cut) return false;
  auto sleeper = sleepers_.insert(sleepers_.end(), Sleeper{now_ + milliseconds, &cut});
  --running_;
  changed_.notify_all();
  changed_.wait(guard, [&] { return sleeper->woken; });
  sleepers_.erase(sleeper);
  return !cut;
}

void FakeWorkerThreads::WakeAll() {
  std::lock_guard<std::mutex> guard(lock_);
  for (Sleeper& sleeper : sleepers_) {
    if (!sleeper.woken && *sleeper.cut) WakeLocked(sleeper);
  }
  changed_.notify_all();
}

long long FakeWorkerThreads::Now() const {
  std::lock_guard<std::mutex> guard(lock_);
  return now_;
}

bool FakeWorkerThreads::AdvanceTo(long long time) {
  std::unique_lock<std::mutex> guard(lock_);
  if (!SettleLocked(guard)) return false;
  for (;;) {
    long long next = time + 1;
    for (const Sleeper& sleeper : sleepers_) {
      if (!sleeper.woken) next = std::min(next, sleeper.due);
    }
    if (next > time) break;
    now_ = std::max(now_, next);
    for (Sleeper& sleeper : sleepers_) {
      if (!sleeper.woken && sleeper.due <= now_) WakeLocked(sleeper);
    }
    changed_.notify_all();
    if (!SettleLocked(guard)) return false;
  }
  now_ = std::max(now_, time);
  return true;
}

bool FakeWorkerThreads::Settle() {
  std::unique_lock<std::mutex> guard(lock_);
  return SettleLocked(guard);
}

void FakeWorkerThreads::WakeLocked(Sleeper& sleeper) {
  sleeper.woken = true;
  ++running_;
}

bool FakeWorkerThreads::SettleLocked(std::unique_lock<std::mutex>& guard) {
  return changed_.wait_for(guard, std::chrono::milliseconds(kSettleTimeoutMs),
                           [this] { return running_ == 0; });
}

size_t FakeWorkerThreads::Started() const {
  std::lock_guard<std::mutex> guard(lock_);
  return started_;
}

}  // namespace zv
