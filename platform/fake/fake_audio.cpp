// The fake output device: blocks wait in a queue per stream until the chosen speed plays them.
#include "platform/fake/fake_audio.h"

#include <chrono>
#include <deque>
#include <utility>

namespace zv {

struct FakeAudioOutput::Shared {
  mutable std::mutex lock;
  mutable std::condition_variable changed;
  std::vector<FakeStreamRecord> records;
  // Per stream: blocks not yet played, and whether a wake is pending.
  std::vector<std::deque<std::string_view>> pending;
  std::vector<int> done;
  std::vector<bool> woken;
};

class FakeAudioOutput::Stream_ : public IAudioStream {
 public:
  Stream_(std::shared_ptr<Shared> shared, size_t index, FakeDeviceSpeed speed)
      : shared_(std::move(shared)), index_(index), speed_(speed) {}

  ~Stream_() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    FakeStreamRecord& record = shared_->records[index_];
    shared_->pending[index_].clear();
    record.queued = 0;
    record.closed = true;
    shared_->changed.notify_all();
  }

  bool Queue(const char* bytes, size_t size) override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    FakeStreamRecord& record = shared_->records[index_];
    record.blockSizes.push_back(size);
    record.sent.append(bytes, size);
    ++record.queued;
    record.mostQueued = std::max(record.mostQueued, record.queued);
    shared_->pending[index_].emplace_back(bytes, size);
    if (speed_ == FakeDeviceSpeed::Instant) PlayLocked(1);
    shared_->changed.notify_all();
    return true;
  }

  int Reap() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    const int done = shared_->done[index_];
    shared_->done[index_] = 0;
    return done;
  }

  bool Wait(int milliseconds) override {
    std::unique_lock<std::mutex> guard(shared_->lock);
    shared_->records[index_].waits.push_back(milliseconds);
    shared_->changed.notify_all();
    if (speed_ == FakeDeviceSpeed::Stalled) return false;
    const bool signalled =
        shared_->changed.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] {
          return shared_->done[index_] > 0 || shared_->woken[index_];
        });
    shared_->woken[index_] = false;
    return signalled;
  }

  void Wake() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->woken[index_] = true;
    shared_->changed.notify_all();
  }

  void Reset() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    FakeStreamRecord& record = shared_->records[index_];
    record.reset = true;
    shared_->done[index_] += static_cast<int>(shared_->pending[index_].size());
    shared_->pending[index_].clear();
    record.queued = 0;
    shared_->changed.notify_all();
  }

  // Caller holds the lock.
  void PlayLocked(int blocks) { PlayBlocks(*shared_, index_, blocks); }

  static void PlayBlocks(Shared& shared, size_t index, int blocks) {
    FakeStreamRecord& record = shared.records[index];
    while (blocks-- > 0 && !shared.pending[index].empty()) {
      record.played.append(shared.pending[index].front());
      shared.pending[index].pop_front();
      --record.queued;
      ++shared.done[index];
    }
  }

 private:
  std::shared_ptr<Shared> shared_;
  size_t index_;
  FakeDeviceSpeed speed_;
};

FakeAudioOutput::FakeAudioOutput() : shared_(std::make_shared<Shared>()) {}
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
  shared_->changed.notify_all();
  return std::make_unique<Stream_>(shared_, index, speed);
}

void FakeAudioOutput::Play(size_t index, int blocks) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  if (index >= shared_->records.size()) return;
  Stream_::PlayBlocks(*shared_, index, blocks);
  shared_->changed.notify_all();
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

bool FakeAudioOutput::WaitUntil(
    const std::function<bool(const std::vector<FakeStreamRecord>&)>& condition,
    int milliseconds) const {
  std::unique_lock<std::mutex> guard(shared_->lock);
  return shared_->changed.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                   [&] { return condition(shared_->records); });
}

}  // namespace zv
