// One take's samples in memory: what the recorder heard from where the sound began, then every
// buffer it hands over until the take stops. A take owns its samples, so a new take can start
// while the previous one is still being saved and played.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/wave_input.h"

namespace zv {

class TakeRecording {
 public:
  static constexpr PcmFormat kFormat{1, 44100, 16};
  // Ten minutes: a microphone that never falls quiet must not eat the memory, so a take that
  // long is full and ends as if the speaker had paused.
  static constexpr size_t kMaxBytes = 600 * 88200;

  explicit TakeRecording(std::string_view heardBefore) { Append(heardBefore); }
  TakeRecording(const TakeRecording&) = delete;
  TakeRecording& operator=(const TakeRecording&) = delete;

  // Adds captured bytes while the take records; nothing once it has stopped or is full.
  void Append(std::string_view bytes);
  // From any thread, any number of times: once it returns nothing more is appended.
  void Stop();
  bool Recording() const { return recording_; }
  bool Full() const { return full_; }
  // Whole sample frames recorded so far.
  std::string Samples() const;

 private:
  std::atomic<bool> recording_{true};
  std::atomic<bool> full_{false};
  mutable std::mutex samplesLock_;
  std::string samples_;
};

}  // namespace zv
