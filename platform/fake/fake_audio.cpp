// The fake output device: blocks wait in a queue per stream until the chosen speed plays them.
// Whatever may end a worker's wait (a block played, a wake, a reset) raises the stream's signal
// and then wakes the workers' pauses, so no wake-up is lost between a look and a pause.
#include "platform/fake/fake_audio.h"

#include <atomic>
#include <deque>
#include <utility>

namespace zv {
namespace {

// Per stream: what it recorded, blocks not yet played, finished blocks not yet reaped, a
// pending wake, and the signal a waiting worker's pause looks at.
struct Channel {
  FakeStreamRecord record;
  std::deque<std::string_view> pending;
  int done = 0;
  bool woken = false;
  std::atomic<bool> signal{false};

  // Caller holds the lock.
  void PlayBlocks(int blocks) {
    while (blocks-- > 0 && !pending.empty()) {
      record.played.append(pending.front());
      pending.pop_front();
      --record.queued;
      ++done;
      signal = true;
    }
  }
};

}  // namespace

struct FakeAudioOutput::Shared {
  mutable std::mutex lock;
  std::deque<Channel> channels;  // a deque's elements stay where they are
};

class FakeAudioOutput::Stream_ : public IAudioStream {
 public:
  Stream_(std::shared_ptr<Shared> shared, IWorkerThreads& workers, Channel& channel,
          FakeDeviceSpeed speed)
      : shared_(std::move(shared)), workers_(workers), channel_(channel), speed_(speed) {}

  ~Stream_() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    channel_.pending.clear();
    channel_.record.queued = 0;
    channel_.record.closed = true;
  }

  bool Queue(const char* bytes, size_t size) override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      FakeStreamRecord& record = channel_.record;
      record.blockSizes.push_back(size);
      record.sent.append(bytes, size);
      ++record.queued;
      record.mostQueued = std::max(record.mostQueued, record.queued);
      channel_.pending.emplace_back(bytes, size);
      if (speed_ == FakeDeviceSpeed::Instant) channel_.PlayBlocks(1);
    }
    workers_.WakeAll();
    return true;
  }

  int Reap() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return std::exchange(channel_.done, 0);
  }

  bool Wait(int milliseconds) override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      channel_.record.waits.push_back(milliseconds);
      if (SignalledLocked()) return true;
      channel_.signal = false;
    }
    const bool ranOut = workers_.Pause(milliseconds, channel_.signal);
    std::lock_guard<std::mutex> guard(shared_->lock);
    return SignalledLocked() || !ranOut;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      channel_.woken = true;
      channel_.signal = true;
    }
    workers_.WakeAll();
  }

  void Reset() override {
    {
      std::lock_guard<std::mutex> guard(shared_->lock);
      channel_.record.reset = true;
      channel_.done += static_cast<int>(channel_.pending.size());
      channel_.pending.clear();
      channel_.signal = true;
      channel_.record.queued = 0;
    }
    workers_.WakeAll();
  }

 private:
  // Like an auto-reset event: a wake is used up by the wait that sees it.
  bool SignalledLocked() { return std::exchange(channel_.woken, false) || channel_.done > 0; }

  std::shared_ptr<Shared> shared_;
  IWorkerThreads& workers_;
  Channel& channel_;
  FakeDeviceSpeed speed_;
};

FakeAudioOutput::FakeAudioOutput(IWorkerThreads& workers)
    : workers_(workers), shared_(std::make_shared<Shared>()) {}
FakeAudioOutput::~FakeAudioOutput() = default;

std::unique_ptr<IAudioStream> FakeAudioOutput::Open(const std::string& format) {
  if (!present || refusedFormats.count(format)) return nullptr;
  std::lock_guard<std::mutex> guard(shared_->lock);
  Channel& channel = shared_->channels.emplace_back();
  channel.record.format = format;
  return std::make_unique<Stream_>(shared_, workers_, channel, speed);
}

void FakeAudioOutput::Play(size_t index, int blocks) {
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (index >= shared_->channels.size()) return;
    shared_->channels[index].PlayBlocks(blocks);
  }
  workers_.WakeAll();
}

FakeStreamRecord FakeAudioOutput::Stream(size_t index) const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return index < shared_->channels.size() ? shared_->channels[index].record : FakeStreamRecord{};
}

size_t FakeAudioOutput::StreamCount() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return shared_->channels.size();
}

size_t FakeAudioOutput::OpenStreams() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  size_t open = 0;
  for (const Channel& channel : shared_->channels) open += channel.record.closed ? 0 : 1;
  return open;
}

}  // namespace zv
