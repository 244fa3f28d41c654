// A scripted microphone for behaviour tests. Time passes only when the test says so: Run(ms)
// gives every open capture stream that many milliseconds of frames at its own rate, and each
// buffer that fills is handed over at once, filled with the signal as it is at that moment.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/wave_input.h"

namespace zv {

struct FakeCaptureRecord {
  PcmFormat format;
  size_t bufferBytes = 0;
  int buffers = 0;
  bool open = true;
};

class FakeWaveInput : public IWaveInput {
 public:
  FakeWaveInput();
  ~FakeWaveInput() override;

  bool present = true;  // false: no input device at all

  // Every sample of what the microphone hears from now on.
  void SetLevel(int16_t level);
  // A signal that differs within a buffer: sample value by its index in the buffer.
  void SetShape(std::function<int16_t(size_t index)> shape);
  // A signal in time, heard alike by every stream: sample value by the frame's number at the
  // stream's own rate, counted from the moment the fake was made.
  void SetSignal(std::function<int16_t(long long frame, int rate)> signal);
  // The device goes away: open streams stay open but deliver nothing more, and none opens.
  void Unplug();
  // Lets `milliseconds` of sound reach every open stream.
  void Run(int milliseconds);
  // Every stream ever opened, oldest first.
  std::vector<FakeCaptureRecord> Streams() const;
  size_t OpenStreams() const;

  std::unique_ptr<IWaveCapture> Start(const PcmFormat& format, size_t bufferBytes, int buffers,
                                      CaptureSink sink) override;

 private:
  struct Stream;
  class Capture;
  struct Shared;
  std::shared_ptr<Shared> shared_;
};

}  // namespace zv
