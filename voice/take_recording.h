// One take's capture from the microphone into memory. A take owns its recording, so a new take
// can start recording while the previous one is still being saved and played.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/wave_input.h"

namespace zv {

class TakeRecording {
 public:
  static constexpr PcmFormat kFormat{1, 44100, 16};
  static constexpr size_t kBufferBytes = 4096;
  static constexpr int kQueuedBuffers = 2;
  // Ten minutes: a microphone that never falls quiet must not eat the memory, so a take that
  // long is full and ends as if the speaker had paused.
  static constexpr size_t kMaxBytes = 600 * 88200;

  // Starts capturing; nothing when there is no input device.
  static std::shared_ptr<TakeRecording> Start(IWaveInput& input);

  TakeRecording() = default;
  TakeRecording(const TakeRecording&) = delete;
  TakeRecording& operator=(const TakeRecording&) = delete;
  ~TakeRecording() { Stop(); }

  // Ends the capture; the samples recorded so far stay. From any thread, any number of times:
  // once it returns nothing more is appended.
  void Stop();
  bool Recording() const { return recording_; }
  bool Full() const { return full_; }
  // Whole sample frames recorded so far.
  std::string Samples() const;

 private:
  void Append(const char* bytes, size_t size);

  std::atomic<bool> recording_{false};
  std::atomic<bool> full_{false};
  std::mutex stopLock_;
  std::unique_ptr<IWaveCapture> capture_;
  mutable std::mutex samplesLock_;
  std::string samples_;
};

}  // namespace zv
