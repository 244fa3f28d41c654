// The fake mixer: one list of voice records under one lock. A voice id is its index plus one.
#include "platform/fake/fake_audio.h"

namespace zv {

void FakeAudioOutput::SetListener(IAudioListener* listener) {
  std::lock_guard<std::mutex> guard(listenerLock_);
  listener_ = listener;
}

bool FakeAudioOutput::Open() {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  open_ = true;
  // A failed attempt leaves no engine for new voices, not the one of the old device.
  engine_ = present ? ++opens_ : 0;
  return present;
}

void FakeAudioOutput::Close() {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  open_ = false;
  engine_ = 0;
}

VoiceId FakeAudioOutput::Start(std::string_view format, std::string_view samples, bool loop) {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  if (engine_ == 0 || refusedFormats.count(std::string(format))) return kNoVoice;
  FakeVoice voice;
  voice.format.assign(format);
  voice.at = samples.data();
  voice.samples.assign(samples);
  voice.loop = loop;
  voice.engine = engine_;
  voices_.push_back(voice);
  return voices_.size();
}

void FakeAudioOutput::Stop(VoiceId voice) {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  if (voice != kNoVoice && voice <= voices_.size()) voices_[voice - 1].stopped = true;
}

VoiceProgress FakeAudioOutput::Progress(VoiceId voice) {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  if (voice == kNoVoice || voice > voices_.size()) return VoiceProgress{true, 0};
  return VoiceProgress{voices_[voice - 1].ended, voices_[voice - 1].played};
}

DeviceNews FakeAudioOutput::TakeDeviceNews() {
  std::lock_guard<std::mutex> guard(lock_);
  NoteCallLocked();
  const DeviceNews news = news_;
  news_ = DeviceNews::None;
  return news;
}

void FakeAudioOutput::Play(size_t voice, uint64_t samples) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (voice >= voices_.size()) return;
    voices_[voice].played += samples;
  }
  // The engine tells of ended voices only; progress is looked at.
}

void FakeAudioOutput::PlayOut(size_t voice) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (voice >= voices_.size()) return;
    voices_[voice].ended = true;
  }
  Tell();
}

void FakeAudioOutput::ChangeDefaultDevice() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (news_ == DeviceNews::None) news_ = DeviceNews::Changed;
  }
  Tell();
}

void FakeAudioOutput::LoseDevice() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    news_ = DeviceNews::Lost;
    engine_ = 0;
  }
  Tell();
}

FakeVoice FakeAudioOutput::Voice(size_t index) const {
  std::lock_guard<std::mutex> guard(lock_);
  return index < voices_.size() ? voices_[index] : FakeVoice{};
}

size_t FakeAudioOutput::VoiceCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return voices_.size();
}

size_t FakeAudioOutput::SoundingVoices() const {
  std::lock_guard<std::mutex> guard(lock_);
  size_t sounding = 0;
  for (const FakeVoice& voice : voices_) sounding += voice.stopped ? 0 : 1;
  return sounding;
}

int FakeAudioOutput::Opens() const {
  std::lock_guard<std::mutex> guard(lock_);
  return opens_;
}

bool FakeAudioOutput::IsOpen() const {
  std::lock_guard<std::mutex> guard(lock_);
  return open_;
}

int FakeAudioOutput::CallsFromListener() const {
  std::lock_guard<std::mutex> guard(lock_);
  return callsFromListener_;
}

void FakeAudioOutput::NoteCallLocked() {
  if (telling_ == std::this_thread::get_id()) ++callsFromListener_;
}

void FakeAudioOutput::Tell() {
  std::lock_guard<std::mutex> listening(listenerLock_);
  if (!listener_) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    telling_ = std::this_thread::get_id();
  }
  listener_->OutputChanged();
  std::lock_guard<std::mutex> guard(lock_);
  telling_ = std::thread::id();
}

}  // namespace zv
