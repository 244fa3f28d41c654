// Takes from trigger to playback. One worker per take counts the quiet steps down; the GUI
// thread only starts takes and cuts them short, and every control change a worker wants is
// posted back to it.
#include "voice/voice_changer.h"

#include <algorithm>
#include <cstdint>

#include "base/number_text.h"
#include "voice/take_wave.h"
#include "voice/voice_transform.h"

namespace zv {
namespace {

constexpr const char* kToggle = "保存配置按钮1";
constexpr const char* kLevelTimer = "时钟1";
constexpr const char* kLevelBar = "进度条1";
constexpr const char* kThreshold = "编辑框2";
constexpr const char* kIndicator = "外形框1";
constexpr const char* kSlider = "滑块条1";
constexpr const char* kVoiceModeButton = "单选框1";
constexpr const char* kSpeedModeButton = "单选框2";
constexpr const char* kLeftWord = "标签4";
constexpr const char* kRightWord = "标签3";

// The threshold box read like every number the user types, kept as a signed 16-bit value.
int16_t Threshold(const Form& window) {
  const auto value = static_cast<unsigned>(TextToInteger(window.Text(kThreshold)));
  return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFFu));
}

}  // namespace

struct VoiceChanger::Take {
  unsigned number = 0;
  WindowId window = kNoWindow;
  std::shared_ptr<TakeRecording> recording;
  std::atomic<bool> cut{false};      // the toggle or the closing window ended the countdown
  std::atomic<bool> dropped{false};  // the window closed: nothing is saved or played
  std::atomic<bool> ended{false};
  std::thread worker;
};

VoiceChanger::VoiceChanger(const VoiceServices& services)
    : services_(services), monitor_(services.waveIn), recorder_(services.waveIn) {}

VoiceChanger::~VoiceChanger() {
  StopListening();
  EndTakes(true);
  JoinAll();
}

void VoiceChanger::Created(const Form& window) {
  window.SetChecked(kVoiceModeButton, true);
  VoiceModeClicked(window);
}

void VoiceChanger::Toggle(const Form& window) {
  if (window.Interval(kLevelTimer) == 0) {
    window.SetText(kToggle, "对着话筒咆哮吧");
    monitor_.Start();
    // The recorder listens from now on, so a take can begin before its trigger.
    recorder_.Start();
    window.SetInterval(kLevelTimer, kLevelPeriodMs);
    MirrorControls(window);
  } else {
    window.SetInterval(kLevelTimer, 0);
    window.SetText(kToggle, "开始");
    StopListening();
    // The take in progress ends here and is still saved and played.
    MirrorControls(window);
    EndTakes(false);
  }
}

void VoiceChanger::LevelTick(const Form& window) {
  JoinEnded();
  MirrorControls(window);
  const int level = monitor_.ReadLevel();
  const int16_t threshold = Threshold(window);
  if (threshold < level) Trigger(window, threshold);
  window.SetPosition(kLevelBar, std::clamp(level, 0, kLevelBarMax));
}

void VoiceChanger::SpeedModeClicked(const Form& window) {
  if (window.IsChecked(kSpeedModeButton)) {
    window.SetText(kLeftWord, "慢");
    window.SetText(kRightWord, "快");
  }
  MirrorControls(window);
}

void VoiceChanger::VoiceModeClicked(const Form& window) {
  if (window.IsChecked(kVoiceModeButton)) {
    window.SetText(kLeftWord, "高");
    window.SetText(kRightWord, "低");
  }
  MirrorControls(window);
}

void VoiceChanger::Listen() {
  std::shared_ptr<const std::string> clip;
  {
    std::lock_guard<std::mutex> guard(clipLock_);
    clip = lastClip_;
  }
  if (clip) services_.player.PlayOnce(clip);
}

void VoiceChanger::Closing(const Form& window) {
  window.SetInterval(kLevelTimer, 0);
  StopListening();
  EndTakes(true);
  JoinAll();
}

size_t VoiceChanger::TakesInFlight() const {
  return static_cast<size_t>(std::count_if(takes_.begin(), takes_.end(),
                                           [](const auto& take) { return !take->ended; }));
}

void VoiceChanger::Trigger(const Form& window, int16_t threshold) {
  countdown_ = kQuietSteps;
  if (recording_ && recording_->Recording()) return;
  // Without a microphone there is nothing to record, and no worker is started for it. One that
  // was missing when listening began may be there now.
  if (!recorder_.Start()) return;
  std::shared_ptr<TakeRecording> recording = recorder_.BeginTake(threshold);
  if (!recording) return;
  auto take = std::make_shared<Take>();
  take->number = latestTake_ + 1;
  take->window = window.Id();
  take->recording = recording;
  try {
    take->worker = services_.workers.Start([this, take] { RunTake(take); });
  } catch (...) {
    recording->Stop();
    return;
  }
  recording_ = std::move(recording);
  latestTake_ = take->number;
  takes_.push_back(std::move(take));
}

void VoiceChanger::RunTake(const std::shared_ptr<Take>& take) {
  try {
    PostFill(take, kRecordingFill);
    // Eleven quiet steps end the take: the countdown runs from 10 through 0. A loud reading
    // on the GUI thread sets it back to 10 meanwhile; losing one of those races only moves the
    // end by a step.
    while (countdown_ >= 0 && !take->recording->Full()) {
      if (!services_.workers.Pause(kLevelPeriodMs, take->cut)) break;
      --countdown_;
    }
    PostFill(take, kIdleFill);
    take->recording->Stop();
    if (!take->dropped) SaveTransformAndPlay(take);
  } catch (...) {
    // A take that fails (no memory for its copy) is lost alone; the worker still ends cleanly.
  }
  take->ended = true;
}

void VoiceChanger::SaveTransformAndPlay(const std::shared_ptr<Take>& take) {
  // A take that ended while the previous one is still being saved waits here for its turn.
  std::lock_guard<std::mutex> files(filesLock_);
  IFileSystem& disk = services_.files;
  disk.WriteFile(services_.paths.takeFile, BuildWave(kTakeFormat, take->recording->Samples()));
  // What is played is what the take file holds: unwritable or unreadable gives an empty take.
  const std::string takeBytes = disk.ReadFile(services_.paths.takeFile).value_or(std::string());
  const TransformControls controls{[this] { return position_.load(); },
                                   [this] { return voiceMode_.load(); }};
  auto clip = std::make_shared<const std::string>(
      TransformTake(takeBytes, controls, disk, services_.paths.scratchFile));
  {
    std::lock_guard<std::mutex> guard(clipLock_);
    lastClip_ = clip;
  }
  services_.dispatcher.Post([this, take, clip] {
    if (!take->dropped) services_.player.PlayOnce(clip);
  });
}

void VoiceChanger::PostFill(const std::shared_ptr<Take>& take, unsigned colour) {
  services_.dispatcher.Post([this, take, colour] {
    // A newer take owns the indicator once it has started.
    if (take->number != latestTake_ || !services_.ui.Exists(take->window)) return;
    services_.ui.SetFill(take->window, kIndicator, colour);
  });
}

void VoiceChanger::MirrorControls(const Form& window) {
  position_ = std::clamp(window.Position(kSlider), kSliderMin, kSliderMax);
  voiceMode_ = window.IsChecked(kVoiceModeButton);
}

void VoiceChanger::StopListening() {
  monitor_.Stop();
  // The take in progress receives the recorder's last part-filled buffer before it stops.
  recorder_.Stop();
}

void VoiceChanger::EndTakes(bool drop) {
  if (recording_) recording_->Stop();
  for (const std::shared_ptr<Take>& take : takes_) {
    if (drop) take->dropped = true;
    take->cut = true;
  }
  services_.workers.WakeAll();
}

void VoiceChanger::JoinEnded() {
  for (auto it = takes_.begin(); it != takes_.end();) {
    if ((*it)->ended) {
      if ((*it)->worker.joinable()) (*it)->worker.join();
      it = takes_.erase(it);
    } else {
      ++it;
    }
  }
}

void VoiceChanger::JoinAll() {
  for (const std::shared_ptr<Take>& take : takes_) {
    if (take->worker.joinable()) take->worker.join();
  }
  takes_.clear();
  recording_.reset();
}

}  // namespace zv
