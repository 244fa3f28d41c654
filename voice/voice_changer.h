// The voice-changer window's behaviour: the start/stop toggle, the level tick that starts takes,
// the take workers that save, transform and play each take, the mode words and the listen
// buttons. Controls are touched on the GUI thread only: workers post their results there, and
// read the slider and mode from a copy the GUI thread refreshes on every level tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/data_paths.h"
#include "platform/dispatcher.h"
#include "platform/file_system.h"
#include "platform/ui_host.h"
#include "platform/wave_input.h"
#include "platform/worker_threads.h"
#include "ui/form.h"
#include "voice/clip_player.h"
#include "voice/level_monitor.h"
#include "voice/listening_recorder.h"
#include "voice/take_recording.h"

namespace zv {

struct VoiceServices {
  IUiHost& ui;
  IFileSystem& files;
  IWaveInput& waveIn;
  IWorkerThreads& workers;
  IDispatcher& dispatcher;
  IClipPlayer& player;
  DataPaths paths;
};

class VoiceChanger {
 public:
  static constexpr int kLevelPeriodMs = 200;
  static constexpr int kQuietSteps = 10;
  static constexpr int kLevelBarMax = 3000;
  static constexpr unsigned kRecordingFill = 0x0000FF00;  // green
  static constexpr unsigned kIdleFill = 0x00808080;       // grey

  explicit VoiceChanger(const VoiceServices& services);
  // Ends any take without keeping it and waits for every worker.
  ~VoiceChanger();
  VoiceChanger(const VoiceChanger&) = delete;
  VoiceChanger& operator=(const VoiceChanger&) = delete;

  void Created(const Form& window);
  void Toggle(const Form& window);
  void LevelTick(const Form& window);
  void SpeedModeClicked(const Form& window);
  void VoiceModeClicked(const Form& window);
  // Replays the last voice clip; nothing before the first take.
  void Listen();
  // The window is about to go: the take in progress is dropped and every worker has ended when
  // this returns, so none touches the window afterwards.
  void Closing(const Form& window);

  // Takes whose worker has not ended yet.
  size_t TakesInFlight() const;

 private:
  struct Take;

  void Trigger(const Form& window, int16_t threshold);
  void RunTake(const std::shared_ptr<Take>& take);
  void SaveTransformAndPlay(const std::shared_ptr<Take>& take);
  void PostFill(const std::shared_ptr<Take>& take, unsigned colour);
  void MirrorControls(const Form& window);
  void StopListening();
  // Cuts every take's countdown short; `drop` also keeps them from saving and playing.
  void EndTakes(bool drop);
  void JoinEnded();
  void JoinAll();

  VoiceServices services_;
  LevelMonitor monitor_;
  ListeningRecorder recorder_;
  // Loud readings set it, the counting take lowers it; see RunTake.
  std::atomic<int> countdown_{0};
  // What the GUI thread last saw of the slider and of the voice-mode button.
  std::atomic<int> position_{5};
  std::atomic<bool> voiceMode_{true};

  // GUI thread only.
  std::shared_ptr<TakeRecording> recording_;
  std::vector<std::shared_ptr<Take>> takes_;
  unsigned latestTake_ = 0;

  // The take file, the scratch file and the last voice clip belong to one take at a time.
  std::mutex filesLock_;
  mutable std::mutex clipLock_;
  std::shared_ptr<const std::string> lastClip_;
};

}  // namespace zv
