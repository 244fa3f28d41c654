// The default wave output device through waveOut: one device handle per stream, opened in the
// clip's own format through the wave mapper (so ADPCM goes through the system's codec).
#pragma once

#include "platform/audio_output.h"

namespace zv::win32 {

class WaveOutAudio final : public IAudioOutput {
 public:
  std::unique_ptr<IAudioStream> Open(const std::string& format) override;
};

}  // namespace zv::win32
