// The default output device as one mixer: every playback is a voice of one engine, in the clip's
// own format, mixed by the system. No decoding or resampling happens on our side. The engine
// tells what happened through a listener that may only take note; everything else (starting,
// stopping, looking at voices) is done by the caller on its own threads.
#pragma once

#include <cstdint>
#include <string_view>

namespace zv {

using VoiceId = uint64_t;
constexpr VoiceId kNoVoice = 0;

struct VoiceProgress {
  bool ended = false;          // played out, or failed; the voice still has to be stopped
  uint64_t samplesPlayed = 0;  // sample frames played so far
};

// What happened to the output device since the last look.
enum class DeviceNews {
  None,
  Changed,  // another device became the default: voices started from now on belong there
  Lost,     // the engine failed (device unplugged): its voices make no more sound
};

class IAudioListener {
 public:
  virtual ~IAudioListener() = default;
  // A voice ended or there is device news. Called on the engine's own threads, possibly while
  // a voice is being destroyed elsewhere: must not call back into the output.
  virtual void OutputChanged() = 0;
};

class IAudioOutput {
 public:
  virtual ~IAudioOutput() = default;

  // Who hears of ended voices and device news; nullptr stops the calls. Returns after any call
  // in progress has finished.
  virtual void SetListener(IAudioListener* listener) = 0;

  // Makes an engine on the current default output device, for the voices started from now on;
  // voices already sounding keep theirs until they are stopped. Slow (tens of milliseconds), so
  // never on the GUI thread. False when there is no device or no engine can be made. Open and
  // Close are always called from the same thread.
  virtual bool Open() = 0;
  // Lets go of every engine; every voice has been stopped before.
  virtual void Close() = 0;

  // Starts a voice playing `samples` (the body of a "data" chunk) in the format of a "fmt " chunk
  // body, once or over and over. The samples are played where they lie and must stay valid
  // until Stop for this voice has returned. kNoVoice without an engine or when the format is
  // refused.
  virtual VoiceId Start(std::string_view format, std::string_view samples, bool loop) = 0;
  // Silences the voice at once and lets go of it and of its samples. Never from the listener.
  virtual void Stop(VoiceId voice) = 0;
  virtual VoiceProgress Progress(VoiceId voice) = 0;
  // Takes the news: Lost outweighs Changed, and what is taken is not told again.
  virtual DeviceNews TakeDeviceNews() = 0;
};

}  // namespace zv
