// An output device for tests. Each opened stream records the format it was opened in, every
// block it got and how it was left; the test decides how fast blocks "play". A worker waiting
// on a stream is paused on the workers' clock, so the test drives it like any other worker:
// Settle until it waits again, AdvanceTo to let its wait run out. Safe to use from the playback
// workers and the test thread at once.
#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/worker_threads.h"

namespace zv {

enum class FakeDeviceSpeed {
  Instant,  // a block is played the moment it is queued
  Manual,   // blocks play only when the test calls Play
};

struct FakeStreamRecord {
  std::string format;
  std::string played;  // bytes of the blocks that finished playing, in order
  std::string sent;    // bytes of every block handed over, played or not, in order
  std::vector<size_t> blockSizes;
  int queued = 0;  // blocks handed over and not yet finished
  int mostQueued = 0;
  std::vector<int> waits;  // time-out of every wait, in milliseconds
  bool reset = false;
  bool closed = false;
};

class FakeAudioOutput : public IAudioOutput {
 public:
  bool present = true;
  std::set<std::string> refusedFormats;
  FakeDeviceSpeed speed = FakeDeviceSpeed::Instant;

  // Waits on the streams are pauses of `workers`.
  explicit FakeAudioOutput(IWorkerThreads& workers);
  ~FakeAudioOutput() override;

  std::unique_ptr<IAudioStream> Open(const std::string& format) override;

  // Plays up to `blocks` queued blocks of stream `index` (Manual speed).
  void Play(size_t index, int blocks);
  // A copy of what stream `index` has recorded so far.
  FakeStreamRecord Stream(size_t index) const;
  size_t StreamCount() const;
  size_t OpenStreams() const;

 private:
  class Stream_;
  struct Shared;
  IWorkerThreads& workers_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace zv
