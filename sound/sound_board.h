// Play clip and stop all over one mixer: every WAVE playback of the program is a voice of the
// output's engine that plays the clip's samples where they lie, so a click never waits for
// sound, never copies a clip, and any number of clips overlap. One housekeeping worker, started
// by the first click, makes the engine (so a program that plays nothing loads nothing of it),
// lets go of voices that have played out or stalled, and makes a new engine when the output
// device goes or the default one changes. Stop all also ends the media-file playback.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/audio_output.h"
#include "platform/media_player.h"
#include "platform/worker_threads.h"

namespace zv {

// WAVE bytes a playback plays from where they lie, and what keeps them there.
class ClipBytes {
 public:
  // Bytes that live as long as the program: the clips carried in its image.
  static ClipBytes Lasting(std::string_view wave) { return ClipBytes(wave, nullptr); }
  // Bytes handed over: the playbacks share them with whoever else holds them.
  static ClipBytes Shared(std::shared_ptr<const std::string> wave) {
    const std::string_view view = wave ? std::string_view(*wave) : std::string_view();
    return ClipBytes(view, std::move(wave));
  }

  std::string_view Wave() const { return wave_; }
  const std::shared_ptr<const void>& Owner() const { return owner_; }

 private:
  ClipBytes(std::string_view wave, std::shared_ptr<const void> owner)
      : wave_(wave), owner_(std::move(owner)) {}
  std::string_view wave_;
  std::shared_ptr<const void> owner_;
};

class SoundBoard final : private IAudioListener {
 public:
  // A voice whose played-sample count has not moved for this long is given up, as if stopped.
  static constexpr int kStallMilliseconds = 8888;
  // How often the housekeeper looks at the sounding voices' progress.
  static constexpr int kWatchMilliseconds = 1000;

  SoundBoard(IAudioOutput& output, IMediaPlayer& media, IWorkerThreads& workers);
  // Stops everything and waits for the housekeeper, so nothing outlives the engine.
  ~SoundBoard() override;
  SoundBoard(const SoundBoard&) = delete;
  SoundBoard& operator=(const SoundBoard&) = delete;

  // Validates the clip and starts its voice; returns at once. False when the bytes are no WAVE
  // clip or hold no samples. Without a device, or with one that refuses the format, nothing
  // sounds. A click that comes while the engine is being made is played once it is there.
  bool PlayClip(const ClipBytes& clip, bool loop);
  // Ends the media-file playback and every clip playback at once.
  void StopAll();
  // StopAll, then lets the engine go and waits for the housekeeper (program exit).
  void StopAllAndWait();
  // Playbacks sounding or waiting for the engine.
  size_t Sounding() const;

 private:
  enum class Engine { Closed, Ready, Failed };
  struct Playback {
    ClipBytes clip;
    std::string_view format, samples;
    bool loop = false;
    VoiceId voice = kNoVoice;  // none yet: waits for the engine
    uint64_t played = 0;
    long long since = 0;  // when the played count was last seen to move
  };

  void OutputChanged() override;
  void Signal();
  void StartHousekeeperLocked();
  void Housekeep();
  void OpenEngine();
  // Caller holds the lock.
  bool StartVoiceLocked(Playback& playback);
  void StopEveryVoiceLocked();
  // Lets each voice play on or go; returns how long the housekeeper may pause.
  long long LookAtVoicesLocked();
  // Keeps the playbacks for which `keep` says so, in their order.
  template <typename Keep>
  void KeepLocked(Keep keep);

  IAudioOutput& output_;
  IMediaPlayer& media_;
  IWorkerThreads& workers_;
  mutable std::mutex lock_;
  std::vector<Playback> playing_;
  Engine engine_ = Engine::Closed;
  bool running_ = false;  // a housekeeper is running
  bool quit_ = false;
  std::thread housekeeper_;
  std::atomic<bool> wake_{false};
};

}  // namespace zv
