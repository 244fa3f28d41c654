// The fake output device: blocks wait in a queue per stream until the chosen speed plays them.
// Whatever may end a worker's wait (a block played, a wake, a reset) raises the stream's signal
// and then wakes the workers' pauses, so no wake-up is lost between a look and a pause.
#include "platform/fake/fake_audio.h"

#include <atomic>
#include <deque>
#include <utility>

namespace zv {

struct FakeAudioOutput::Shared {
  mutable std::mutex lock;
  std::vector<FakeStreamRecord> records;
  // Per stream: blocks not yet played, finished blocks not yet reaped, a pending wake, and the
  // signal a waiting worker's pause looks at.
  std::vector<std::deque<std::string_view>> pending;
  std::vector<int> done;
  std::vector<bool> woken;
  std::deque<std::atomic<bool>> signals;
};

class FakeAudioOutput::Stream_ : public IAudioStream {
 public:
  Stream_(std::shared_ptr<Shared> shared, IWorkerThreads& workers, size_t index,
          FakeDeviceSpeed speed)
      : shared_(std::move(shared)), workers_(workers), index_(index), speed_(speed) {}

  ~Stream_() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    FakeStreamRecord& record = shared_->records[index_];
    shared_->pending[index_].clear();
    record.queued = 0;
    record.closed = true;
  }

  bool Queue(const char* bytes, size_t size) override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      FakeStreamRecord& record = shared_->records[index_];
      record.blockSizes.push_back(size);
      record.sent.append(bytes, size);
      ++record.queued;
      record.mostQueued = std::max(record.mostQueued, record.queued);
      shared_->pending[index_].emplace_back(bytes, size);
      if (speed_ == FakeDeviceSpeed::Instant) PlayBlocks(*shared_, index_, 1);
    }
    workers_.WakeAll();
    return true;
  }

  int Reap() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    const int done = shared_->done[index_];
    shared_->done[index_] = 0;
    return done;
  }

  bool Wait(int milliseconds) override {
    std::atomic<bool>* signal;
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      shared_->records[index_].waits.push_back(milliseconds);
      if (SignalledLocked()) return true;
      signal = &shared_->signals[index_];  // a deque's elements stay where they are
      *signal = false;
    }
    const bool ranOut = workers_.Pause(milliseconds, *signal);
    std::lock_guard<std::mutex> guard(shared_->lock);
    return SignalledLocked() || !ranOut;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      shared_->woken[index_] = true;
      shared_->signals[index_] = true;
    }
    workers_.WakeAll();
  }

  void Reset() override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      FakeStreamRecord& record = shared_->records[index_];
      record.reset = true;
      shared_->done[index_] += static_cast<int>(shared_->pending[index_].size());
      shared_->pending[index_].clear();
      shared_->signals[index_] = true;
      record.queued = 0;
    }
    workers_.WakeAll();
  }

  // Caller holds the lock.
  static void PlayBlocks(Shared& shared, size_t index, int blocks) {
    FakeStreamRecord& record = shared.records[index];
    while (blocks-- > 0 && !shared.pending[index].empty()) {
      record.played.append(shared.pending[index].front());
      shared.pending[index].pop_front();
      --record.queued;
      ++shared.done[index];
      shared.signals[index] = true;
    }
  }

 private:
  // Like an auto-reset event: a wake is used up by the wait that sees it.
  bool SignalledLocked() {
    const bool signalled = shared_->done[index_] > 0 || shared_->woken[index_];
    shared_->woken[index_] = false;
    return signalled;
  }

  std::shared_ptr<Shared> shared_;
  IWorkerThreads& workers_;
  size_t index_;
  FakeDeviceSpeed speed_;
};

FakeAudioOutput::FakeAudioOutput(IWorkerThreads& workers)
    : workers_(workers), shared_(std::make_shared<Shared>()) {}
FakeAudioOutput::~FakeAudioOutput() = default;

std::unique_ptr<IAudioStream> FakeAudioOutput::Open(const std::string& format) {
  if (!present || refusedFormats.count(format)) return nullptr;
  std::lock_guard<std::mutex> guard(shared_->lock);
  const size_t index = shared_->records.size();
  FakeStreamRecord record;
  record.format = format;
  shared_->records.push_back(std::move(record));
  shared_->pending.emplace_back();
  shared_->done.push_back(0);
  shared_->woken.push_back(false);
  shared_->signals.emplace_back(false);
  return std::make_unique<Stream_>(shared_, workers_, index, speed);
}

void FakeAudioOutput::Play(size_t index, int blocks) {
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (index >= shared_->records.size()) return;
    Stream_::PlayBlocks(*shared_, index, blocks);
  }
  workers_.WakeAll();
}

FakeStreamRecord FakeAudioOutput::Stream(size_t index) const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return index < shared_->records.size() ? shared_->records[index] : FakeStreamRecord{};
}

size_t FakeAudioOutput::StreamCount() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return shared_->records.size();
}

size_t FakeAudioOutput::OpenStreams() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  size_t open = 0;
  for (const FakeStreamRecord& record : shared_->records) open += record.closed ? 0 : 1;
  return open;
}

}  // namespace zv
