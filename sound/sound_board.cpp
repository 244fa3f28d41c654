// Playback workers: each feeds its device block by block, waits on two things at once (a block
// slot coming free and its stop signal) and cleans up after itself.
#include "sound/sound_board.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "sound/wave_bytes.h"

namespace zv {

struct SoundBoard::Playback {
  std::string samples;  // private copy: the caller's bytes may go away at once
  std::string tail;     // silence in the clip's format; empty when looping
  std::string format;
  bool loop = false;
  std::unique_ptr<IAudioStream> stream;  // set by the worker under the list's lock
  std::atomic<bool> stop{false};
  std::thread worker;
};

SoundBoard::SoundBoard(IAudioOutput& output, IMediaPlayer& media, IWorkerThreads& workers)
    : output_(output), media_(media), workers_(workers) {}

SoundBoard::~SoundBoard() { StopAllAndWait(); }

bool SoundBoard::PlayClip(std::string_view wave, bool loop) {
  JoinFinished();
  const std::optional<WaveChunks> chunks = FindWaveChunks(wave);
  // An empty data chunk has nothing to send, and looping it would spin without end.
  if (!chunks || chunks->data.empty()) return false;
  std::shared_ptr<Playback> playback;
  try {
    playback = std::make_shared<Playback>();
    playback->samples.assign(chunks->data);
    if (!loop) playback->tail = SilenceIn(chunks->format, kSilenceTailMilliseconds, kBlockBytes);
  } catch (const std::bad_alloc&) {
    return false;  // no memory for the copy: silent like any other failure
  }
  playback->loop = loop;
  playback->format.assign(chunks->format);

  // The worker's first act is to take the lock, so it cannot leave the list before its thread
  // handle is stored.
  std::lock_guard<std::mutex> guard(lock_);
  sounding_.push_back(playback);
  try {
    playback->worker = workers_.Start([this, playback] { Work(playback); });
  } catch (...) {
    // No thread to be had: the clip stays silent.
    sounding_.pop_back();
    return false;
  }
  return true;
}

void SoundBoard::Work(const std::shared_ptr<Playback>& playback) {
  // Opening a device can take tens of milliseconds, so it happens here and not on the GUI
  // thread. Without a device, or in a format it refuses, the playback ends unheard.
  std::unique_ptr<IAudioStream> opened = output_.Open(playback->format);
  {
    std::lock_guard<std::mutex> guard(lock_);
    playback->stream = std::move(opened);
  }
  if (!playback->stream) {
    Leave(playback);
    return;
  }
  IAudioStream& stream = *playback->stream;
  const std::string& samples = playback->samples;
  const std::string& tail = playback->tail;
  size_t next = 0;
  int queued = 0;  // blocks on the device, the silent tail among them once it is sent
  bool tailDue = !tail.empty();
  bool tailQueued = false;
  bool finished = false;
  while (!playback->stop) {
    queued -= stream.Reap();
    if (next < samples.size() && queued < kMaxQueuedBlocks) {
      const size_t size = std::min(kBlockBytes, samples.size() - next);
      if (!stream.Queue(samples.data() + next, size)) break;
      next += size;
      ++queued;
      continue;
    }
    if (next >= samples.size()) {
      if (playback->loop) {
        next = 0;
        continue;
      }
      // Blocks finish in order: with the tail at most left, the whole clip has been heard.
      if (queued <= (tailQueued ? 1 : 0)) {
        finished = true;
        break;
      }
      // An output that runs dry before it is closed may fill the gap with zero bytes (Wine's
      // PulseAudio driver does), and zero is full negative in unsigned 8-bit: a click. Real
      // silence behind the clip keeps it fed until the reset below.
      if (tailDue && queued < kMaxQueuedBlocks) {
        tailDue = false;
        tailQueued = stream.Queue(tail.data(), tail.size());
        if (tailQueued) ++queued;
        continue;
      }
    }
    if (!stream.Wait(kGiveUpMilliseconds)) break;
  }
  // The tail is dropped, not played out: the device must never run dry before it is closed.
  if (!finished || tailQueued) stream.Reset();
  Leave(playback);
  // The device is closed and the samples freed only once no one can signal this playback.
  playback->stream.reset();
  playback->samples = std::string();
  playback->tail = std::string();
  playback->format = std::string();
}

void SoundBoard::Leave(const std::shared_ptr<Playback>& playback) {
  std::lock_guard<std::mutex> guard(lock_);
  sounding_.erase(std::find(sounding_.begin(), sounding_.end(), playback));
  try {
    finished_.push_back(std::move(playback->worker));
  } catch (...) {
    playback->worker.detach();  // cannot be joined later; let it end on its own
  }
  if (sounding_.empty()) emptied_.notify_all();
}

void SoundBoard::StopAll() {
  media_.Stop();
  std::lock_guard<std::mutex> guard(lock_);
  for (const std::shared_ptr<Playback>& playback : sounding_) {
    playback->stop = true;
    // A worker still opening its device sees the signal before its first block.
    if (playback->stream) playback->stream->Wake();
  }
}

void SoundBoard::StopAllAndWait() {
  StopAll();
  {
    std::unique_lock<std::mutex> guard(lock_);
    emptied_.wait(guard, [this] { return sounding_.empty(); });
  }
  JoinFinished();
}

size_t SoundBoard::Sounding() const {
  std::lock_guard<std::mutex> guard(lock_);
  return sounding_.size();
}

void SoundBoard::JoinFinished() {
  std::vector<std::thread> finished;
  {
    std::lock_guard<std::mutex> guard(lock_);
    finished.swap(finished_);
  }
  for (std::thread& worker : finished) worker.join();
}

}  // namespace zv
