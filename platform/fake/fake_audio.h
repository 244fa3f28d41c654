// An output device for tests. Each opened stream records the format it was opened in, every
// block it got and how it was left; the test decides how fast blocks "play". Safe to use from
// the playback workers and the test thread at once.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/audio_output.h"

namespace zv {

enum class FakeDeviceSpeed {
  Instant,  // a block is played the moment it is queued
  Manual,   // blocks play only when the test calls Play
  Stalled,  // nothing ever plays and every wait runs out at once
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

  FakeAudioOutput();
  ~FakeAudioOutput() override;

  std::unique_ptr<IAudioStream> Open(const std::string& format) override;

  // Plays up to `blocks` queued blocks of stream `index` (Manual speed).
  void Play(size_t index, int blocks);
  // A copy of what stream `index` has recorded so far.
  FakeStreamRecord Stream(size_t index) const;
  size_t StreamCount() const;
  size_t OpenStreams() const;
  // Waits (real time, bounded) until the condition over all records holds; false on time-out.
  bool WaitUntil(const std::function<bool(const std::vector<FakeStreamRecord>&)>& condition,
                 int milliseconds = 5000) const;

 private:
  class Stream_;
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace zv
