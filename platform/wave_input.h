// The default wave input device as the voice changer sees it: a capture stream in a fixed PCM
// format that hands every filled buffer to the caller. Buffers are refilled by the stream itself,
// so the caller never calls back into the device.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace zv {

struct PcmFormat {
  int channels = 1;
  int samplesPerSecond = 44100;
  int bitsPerSample = 16;

  constexpr int BlockAlign() const { return channels * bitsPerSample / 8; }
};

// Called on the stream's own thread with the bytes one buffer recorded: a full buffer while
// capture runs, the part-filled rest when it stops.
using CaptureSink = std::function<void(const char* bytes, size_t size)>;

class IWaveCapture {
 public:
  // Stops the capture and closes the device; once it returns the sink is never called again.
  virtual ~IWaveCapture() = default;
};

class IWaveInput {
 public:
  virtual ~IWaveInput() = default;
  // Opens the default input device in `format` with `buffers` buffers of `bufferBytes` each
  // and starts capturing. Nothing when there is no device or it refuses the format.
  virtual std::unique_ptr<IWaveCapture> Start(const PcmFormat& format, size_t bufferBytes,
                                              int buffers, CaptureSink sink) = 0;
};

}  // namespace zv
