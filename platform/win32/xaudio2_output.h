// The default output device through XAudio2: one engine and one mastering voice, one source voice
// per playback in the clip's own format (PCM at any rate, MS-ADPCM), mixed and converted by the
// engine. The library is loaded by name, xaudio2_9.dll (Windows 10 and 11) or else xaudio2_8.dll
// (Windows 8), so a machine without either simply has no sound.
#pragma once

#include <memory>

#include "platform/audio_output.h"

namespace zv::win32 {

class XAudio2Output final : public IAudioOutput {
 public:
  XAudio2Output();
  ~XAudio2Output() override;
  XAudio2Output(const XAudio2Output&) = delete;
  XAudio2Output& operator=(const XAudio2Output&) = delete;

  void SetListener(IAudioListener* listener) override;
  bool Open() override;
  void Close() override;
  VoiceId Start(std::string_view format, std::string_view samples, bool loop) override;
  void Stop(VoiceId voice) override;
  VoiceProgress Progress(VoiceId voice) override;
  DeviceNews TakeDeviceNews() override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace zv::win32
