// Capture from the default wave input device (waveIn through the wave mapper). Each stream has
// a worker that waits on the device's completion event, hands filled buffers to the sink and
// queues them again; the device callback itself does nothing but signal that event.
#pragma once

#include "platform/wave_input.h"

namespace zv::win32 {

class Win32WaveInput final : public IWaveInput {
 public:
  std::unique_ptr<IWaveCapture> Start(const PcmFormat& format, size_t bufferBytes, int buffers,
                                      CaptureSink sink) override;
};

}  // namespace zv::win32
