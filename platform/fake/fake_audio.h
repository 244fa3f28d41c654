// An output for tests. Voices are records of what they were started with and how they were left;
// the test plays the engine's part (samples played, a voice played out, the device changed or
// lost), and each of those is told to the listener from the test's thread, as the engine's own
// thread would. Safe to use from the board's threads and the test thread at once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/audio_output.h"

namespace zv {

struct FakeVoice {
  std::string format;
  const char* at = nullptr;  // where the voice plays from: the bytes it was handed, not a copy
  std::string samples;       // what they held when it started, to look at after they are gone
  bool loop = false;
  int engine = 0;  // which Open made the engine it plays on, counting from 1
  uint64_t played = 0;
  bool ended = false;    // played out
  bool stopped = false;  // let go by Stop
};

class FakeAudioOutput : public IAudioOutput {
 public:
  bool present = true;  // whether Open finds a device
  std::set<std::string> refusedFormats;

  void SetListener(IAudioListener* listener) override;
  bool Open() override;
  void Close() override;
  VoiceId Start(std::string_view format, std::string_view samples, bool loop) override;
  void Stop(VoiceId voice) override;
  VoiceProgress Progress(VoiceId voice) override;
  DeviceNews TakeDeviceNews() override;

  // The engine's part. Voices count from 0 in the order they were started.
  void Play(size_t voice, uint64_t samples);
  void PlayOut(size_t voice);
  void ChangeDefaultDevice();
  // The device goes: the engine stops, and its voices with it.
  void LoseDevice();

  FakeVoice Voice(size_t index) const;
  size_t VoiceCount() const;
  size_t SoundingVoices() const;  // started and not stopped
  int Opens() const;              // engines made
  bool IsOpen() const;
  // Calls into the output made from inside the listener, which the engine does not allow.
  int CallsFromListener() const;

 private:
  // Caller holds lock_.
  void NoteCallLocked();
  void Tell();

  mutable std::mutex lock_;
  std::vector<FakeVoice> voices_;
  int opens_ = 0;
  int engine_ = 0;  // the engine new voices go to; 0: none
  bool open_ = false;
  DeviceNews news_ = DeviceNews::None;
  std::thread::id telling_;
  int callsFromListener_ = 0;
  std::mutex listenerLock_;  // held while the listener is told, so SetListener waits for it
  IAudioListener* listener_ = nullptr;
};

}  // namespace zv
