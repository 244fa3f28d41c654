// The microphone level the voice changer compares with its threshold: one instantaneous sample
// of the latest full capture buffer, not a peak or an average. Capture runs on the input
// stream's own thread; the level is read on the GUI thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "platform/wave_input.h"

namespace zv {

class LevelMonitor {
 public:
  static constexpr PcmFormat kFormat{1, 11025, 16};
  static constexpr size_t kBufferSamples = 2048;
  static constexpr size_t kLevelSample = 1111;  // counted from 1
  // Readings in a row without a new full buffer after which the device counts as gone. A buffer
  // lasts 186 ms and the level is read every 200 ms, so five is a second of nothing.
  static constexpr int kStaleReadings = 5;

  explicit LevelMonitor(IWaveInput& input) : input_(input) {}
  LevelMonitor(const LevelMonitor&) = delete;
  LevelMonitor& operator=(const LevelMonitor&) = delete;
  ~LevelMonitor() { Stop(); }

  // Starts watching from level 0. False without an input device: the level then stays 0.
  bool Start();
  void Stop();
  bool Running() const { return capture_ != nullptr; }
  // One reading, on the GUI thread. A device that stops delivering (pulled out) reads 0 rather
  // than its last sample, which could be loud and would then hold a take open for good.
  int ReadLevel();

 private:
  void OnBuffer(const char* bytes, size_t size);

  IWaveInput& input_;
  std::atomic<int> level_{0};
  std::atomic<unsigned> fullBuffers_{0};
  unsigned buffersAtLastReading_ = 0;
  int readingsWithoutBuffer_ = 0;
  std::unique_ptr<IWaveCapture> capture_;
};

}  // namespace zv
