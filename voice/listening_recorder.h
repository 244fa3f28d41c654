// The wave recorder while the voice changer listens: one capture stream from "开始" until the
// toggle stops it or the window closes. It keeps the latest 4 s in a ring, so a take can begin
// where the sound began rather than at the trigger, and hands every later buffer to the take in
// progress. Nothing is written to disk here.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/wave_input.h"
#include "voice/take_recording.h"

namespace zv {

// The last `capacity` bytes appended, oldest first.
class ByteRing {
 public:
  explicit ByteRing(size_t capacity) : bytes_(capacity, '\0') {}
  void Append(std::string_view more);
  std::string Contents() const;
  void Clear() { size_ = 0; }

 private:
  std::string bytes_;
  size_t end_ = 0;  // where the next byte goes
  size_t size_ = 0;
};

class ListeningRecorder {
 public:
  static constexpr size_t kBufferBytes = 4096;
  // Eight buffers are 370 ms of sound: a capture thread that a busy machine (the streaming
  // software, a game) keeps waiting that long still finds a buffer queued, where two (93 ms)
  // let the device drop what it heard meanwhile.
  static constexpr int kQueuedBuffers = 8;
  // The level is one instantaneous sample every 200 ms, and in speech about half of them are
  // negative or near zero. Over a spoken phrase read at random moments, the first loud reading
  // came later than 1.4 s after the first sound once in 27 takes, later than 2.9 s once in
  // 2500, later than 3.9 s once in 100,000: four seconds keep the start of nearly every one.
  static constexpr size_t kKeptBytes =
      4 * TakeRecording::kFormat.samplesPerSecond * TakeRecording::kFormat.BlockAlign();

  explicit ListeningRecorder(IWaveInput& input) : input_(input), recent_(kKeptBytes) {}
  ListeningRecorder(const ListeningRecorder&) = delete;
  ListeningRecorder& operator=(const ListeningRecorder&) = delete;
  ~ListeningRecorder() { Stop(); }

  // GUI thread. False without an input device.
  bool Start();
  // Ends the capture: the take in progress still gets the part-filled last buffer, and what
  // was kept is forgotten.
  void Stop();
  bool Running() const { return capture_ != nullptr; }

  // A take holding what was heard from where the sound began (judged against `threshold`),
  // then every buffer that follows, with no frame lost or repeated between the two. Nothing
  // when the recorder is not running.
  std::shared_ptr<TakeRecording> BeginTake(int16_t threshold);

 private:
  void OnBuffer(std::string_view bytes);

  IWaveInput& input_;
  std::unique_ptr<IWaveCapture> capture_;  // GUI thread only
  std::mutex lock_;  // the ring and the take, between the capture thread and BeginTake
  ByteRing recent_;
  std::shared_ptr<TakeRecording> take_;
};

}  // namespace zv
