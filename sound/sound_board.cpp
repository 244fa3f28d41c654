// The sound board's one lock guards the playbacks and the engine's state; the GUI thread starts
// and stops voices under it, and the housekeeper reaps them under it. The engine only signals
// the housekeeper, which does all the slow work (making engines) outside the lock.
#include "sound/sound_board.h"

#include <algorithm>

#include "sound/wave_bytes.h"

namespace zv {
namespace {

// With nothing sounding the housekeeper only waits for news.
constexpr int kIdleMilliseconds = 60 * 60 * 1000;

}  // namespace

template <typename Keep>
void SoundBoard::KeepLocked(Keep keep) {
  size_t kept = 0;
  for (size_t i = 0; i < playing_.size(); ++i) {
    if (!keep(playing_[i])) continue;
    if (kept != i) playing_[kept] = std::move(playing_[i]);
    ++kept;
  }
  playing_.erase(playing_.begin() + static_cast<std::ptrdiff_t>(kept), playing_.end());
}

SoundBoard::SoundBoard(IAudioOutput& output, IMediaPlayer& media, IWorkerThreads& workers)
    : output_(output), media_(media), workers_(workers) {
  output_.SetListener(this);
}

SoundBoard::~SoundBoard() {
  StopAllAndWait();
  output_.SetListener(nullptr);
}

bool SoundBoard::PlayClip(const ClipBytes& clip, bool loop) {
  const std::optional<WaveChunks> chunks = FindWaveChunks(clip.Wave());
  // An empty data chunk has nothing to play, and looping it would spin without end.
  if (!chunks || chunks->data.empty()) return false;
  // A format no mixer takes is refused like one the engine refuses: silently.
  const std::optional<WaveChunks> playable = PlayableChunks(*chunks);
  if (!playable) return true;
  std::lock_guard<std::mutex> guard(lock_);
  try {
    Playback playback{clip, playable->format, playable->data, loop};
    if (engine_ == Engine::Ready) {
      // A refused format leaves nothing to keep: silent, like every other failure.
      if (StartVoiceLocked(playback)) playing_.push_back(std::move(playback));
      return true;
    }
    playing_.push_back(std::move(playback));
  } catch (...) {
    return false;  // no memory for the entry: silent
  }
  try {
    StartHousekeeperLocked();
  } catch (...) {
    playing_.pop_back();  // no thread to make the engine: the clip stays silent
    return false;
  }
  Signal();
  return true;
}

void SoundBoard::StopAll() {
  media_.Stop();
  std::lock_guard<std::mutex> guard(lock_);
  StopEveryVoiceLocked();
}

void SoundBoard::StopAllAndWait() {
  StopAll();
  std::thread housekeeper;
  {
    std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
    housekeeper = std::move(housekeeper_);
  }
  Signal();
  if (housekeeper.joinable()) housekeeper.join();
  std::lock_guard<std::mutex> guard(lock_);
  quit_ = false;
}

size_t SoundBoard::Sounding() const {
  std::lock_guard<std::mutex> guard(lock_);
  return playing_.size();
}

void SoundBoard::OutputChanged() { Signal(); }

void SoundBoard::Signal() {
  wake_ = true;
  workers_.WakeAll();
}

void SoundBoard::StartHousekeeperLocked() {
  if (running_) return;
  housekeeper_ = workers_.Start([this] { Housekeep(); });
  running_ = true;
}

void SoundBoard::Housekeep() {
  OpenEngine();
  for (;;) {
    // Cleared before looking, so news that comes during the look cuts the next pause short.
    wake_ = false;
    const DeviceNews news = output_.TakeDeviceNews();
    long long pause = 0;
    bool reopen = false;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (quit_) break;
      // A lost device ends what was sounding as if stop all had been pressed.
      if (news == DeviceNews::Lost) StopEveryVoiceLocked();
      pause = LookAtVoicesLocked();
      const bool waiting = std::any_of(playing_.begin(), playing_.end(),
                                       [](const Playback& p) { return p.voice == kNoVoice; });
      // A device may have come since the last attempt failed: each click tries again.
      reopen = news != DeviceNews::None || (engine_ == Engine::Failed && waiting);
    }
    if (reopen) {
      OpenEngine();
      continue;
    }
    workers_.Pause(static_cast<int>(pause), wake_);
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    StopEveryVoiceLocked();
    engine_ = Engine::Closed;
    running_ = false;
  }
  output_.Close();
}

void SoundBoard::OpenEngine() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    engine_ = Engine::Closed;
  }
  const bool opened = output_.Open();
  std::lock_guard<std::mutex> guard(lock_);
  engine_ = opened ? Engine::Ready : Engine::Failed;
  // The clicks that waited for this engine play now, or not at all.
  KeepLocked([&](Playback& p) { return p.voice != kNoVoice || (opened && StartVoiceLocked(p)); });
}

bool SoundBoard::StartVoiceLocked(Playback& playback) {
  playback.voice = output_.Start(playback.format, playback.samples, playback.loop);
  playback.played = 0;
  playback.since = workers_.Now();
  return playback.voice != kNoVoice;
}

void SoundBoard::StopEveryVoiceLocked() {
  for (const Playback& playback : playing_) {
    if (playback.voice != kNoVoice) output_.Stop(playback.voice);
  }
  playing_.clear();
}

long long SoundBoard::LookAtVoicesLocked() {
  const long long now = workers_.Now();
  long long pause = kIdleMilliseconds;
  KeepLocked([&](Playback& p) {
    if (p.voice == kNoVoice) return true;
    const VoiceProgress progress = output_.Progress(p.voice);
    if (progress.samplesPlayed != p.played) {
      p.played = progress.samplesPlayed;
      p.since = now;
    }
    if (progress.ended || now - p.since >= kStallMilliseconds) {
      output_.Stop(p.voice);
      return false;
    }
    pause = std::min(
        {pause, static_cast<long long>(kWatchMilliseconds), p.since + kStallMilliseconds - now});
    return true;
  });
  return pause;
}

}  // namespace zv
