// Play clip and stop all: every WAVE playback of the program runs on a worker of its own with a
// private copy of its samples and its own handle on the output device, so clicks never wait for
// sound and any number of clips overlap. Stop all also ends the media-file playback.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/audio_output.h"
#include "platform/media_player.h"
#include "platform/worker_threads.h"

namespace zv {

class SoundBoard {
 public:
  static constexpr size_t kBlockBytes = 15360;
  static constexpr int kMaxQueuedBlocks = 20;
  // A device that neither frees a block slot nor sees the stop signal for this long is given up.
  static constexpr int kGiveUpMilliseconds = 8888;
  // Silence queued behind a clip that plays once (at most one block of it). The device is reset
  // as soon as the clip itself has played, so this is never heard in full; it has to outlast
  // how far the output runs ahead of the block it reports finished plus how late the worker
  // wakes to reset it on a busy machine (200 ms was not enough beside a build).
  static constexpr int kSilenceTailMilliseconds = 500;

  SoundBoard(IAudioOutput& output, IMediaPlayer& media, IWorkerThreads& workers);
  // Stops everything and waits for the workers, so none outlives the devices it uses.
  ~SoundBoard();
  SoundBoard(const SoundBoard&) = delete;
  SoundBoard& operator=(const SoundBoard&) = delete;

  // Validates, copies and hands the clip to a new worker, which opens the device; returns at
  // once. False when the bytes are no WAVE clip or hold no samples. Without a device, or with
  // one that refuses the format, the new playback ends at once without a sound.
  bool PlayClip(std::string_view wave, bool loop);
  // Ends the media-file playback and signals every clip playback to stop; does not wait.
  void StopAll();
  // StopAll, then waits until every worker has ended (program exit).
  void StopAllAndWait();
  // Playbacks still on the list.
  size_t Sounding() const;

 private:
  struct Playback;
  void Work(const std::shared_ptr<Playback>& playback);
  void Leave(const std::shared_ptr<Playback>& playback);
  void JoinFinished();

  IAudioOutput& output_;
  IMediaPlayer& media_;
  IWorkerThreads& workers_;
  mutable std::mutex lock_;
  std::condition_variable emptied_;
  std::vector<std::shared_ptr<Playback>> sounding_;
  // Workers that have left the list; joined by the GUI thread at its next call.
  std::vector<std::thread> finished_;
};

}  // namespace zv
