// XAudio2 calls its callbacks on its own processing thread, and a voice must not be destroyed from
// there (DestroyVoice waits for that thread). So the callbacks only raise flags and tell the
// listener; voices and engines are destroyed by Stop, Open and Close on the caller's threads.
// An engine lives as long as the newest engine is it or a voice plays on it: after a change of
// the default device the old one plays out what it holds while new voices go to the new one.
// https://learn.microsoft.com/windows/win32/xaudio2/xaudio2-callbacks
#include "platform/win32/xaudio2_output.h"

#include <objbase.h>
#include <windows.h>
#include <xaudio2.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/win32/default_device_watch.h"

namespace zv::win32 {
namespace {

// Microsoft's value of XAUDIO2_DEFAULT_PROCESSOR; mingw-w64's header gives that name every
// processor instead, which would make one mixing thread per processor.
constexpr XAUDIO2_PROCESSOR kDefaultProcessor = Processor1;
using CreateFunction = HRESULT(WINAPI*)(IXAudio2**, UINT32, XAUDIO2_PROCESSOR);
// mingw-w64 ships a header and an import library for 2.8 only; 2.9 keeps the same calls and
// interfaces, so both are reached by name.
constexpr const wchar_t* kLibraries[] = {L"xaudio2_9.dll", L"xaudio2_8.dll"};
constexpr size_t kLargestFormatBytes = 1024;  // far beyond any real codec's extra bytes

// What the callbacks report, shared with everything that may still call back.
struct News {
  std::atomic<bool> lost{false};
  std::atomic<bool> changed{false};
  std::mutex lock;  // held while the listener is told, so SetListener waits for it
  IAudioListener* listener = nullptr;

  void Tell() {
    std::lock_guard<std::mutex> guard(lock);
    if (listener) listener->OutputChanged();
  }
};

class Engine final : public IXAudio2EngineCallback {
 public:
  explicit Engine(std::shared_ptr<News> news) : news_(std::move(news)) {}
  ~Engine() {
    if (master) master->DestroyVoice();
    if (xaudio) {
      xaudio->UnregisterForCallbacks(this);
      xaudio->Release();
    }
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  bool Make(CreateFunction create) {
    if (FAILED(create(&xaudio, 0, kDefaultProcessor))) {
      xaudio = nullptr;
      return false;
    }
    if (FAILED(xaudio->RegisterForCallbacks(this))) return false;
    // The default device, in its own channels and rate: the engine converts every voice to it.
    return SUCCEEDED(xaudio->CreateMasteringVoice(&master));
  }

  void STDMETHODCALLTYPE OnProcessingPassStart() override {}
  void STDMETHODCALLTYPE OnProcessingPassEnd() override {}
  // The device is gone (unplugged, driver reset): this engine will not make a sound again.
  void STDMETHODCALLTYPE OnCriticalError(HRESULT) override {
    news_->lost = true;
    news_->Tell();
  }

  IXAudio2* xaudio = nullptr;
  IXAudio2MasteringVoice* master = nullptr;

 private:
  std::shared_ptr<News> news_;
};

struct Voice {
  IXAudio2SourceVoice* source = nullptr;
  std::shared_ptr<Engine> engine;  // kept for as long as the voice plays on it
  std::atomic<bool> ended{false};
};

// One for all voices; each buffer's context is its voice.
class VoiceCallback final : public IXAudio2VoiceCallback {
 public:
  explicit VoiceCallback(std::shared_ptr<News> news) : news_(std::move(news)) {}

  void STDMETHODCALLTYPE OnBufferEnd(void* context) override { End(context); }
  void STDMETHODCALLTYPE OnVoiceError(void* context, HRESULT) override { End(context); }
  void STDMETHODCALLTYPE OnVoiceProcessingPassStart(UINT32) override {}
  void STDMETHODCALLTYPE OnVoiceProcessingPassEnd() override {}
  void STDMETHODCALLTYPE OnStreamEnd() override {}
  void STDMETHODCALLTYPE OnBufferStart(void*) override {}
  void STDMETHODCALLTYPE OnLoopEnd(void*) override {}

 private:
  void End(void* context) {
    static_cast<Voice*>(context)->ended = true;
    news_->Tell();
  }
  std::shared_ptr<News> news_;
};

// WAVEFORMATEX wants cbSize even when the chunk has none, and must be suitably aligned.
std::vector<WAVEFORMATEX> WaveFormat(std::string_view format) {
  std::vector<WAVEFORMATEX> storage(
      (std::max(format.size(), sizeof(WAVEFORMATEX)) + sizeof(WAVEFORMATEX) - 1) /
      sizeof(WAVEFORMATEX));
  std::memcpy(storage.data(), format.data(), format.size());
  if (format.size() < sizeof(WAVEFORMATEX)) storage[0].cbSize = 0;
  return storage;
}

}  // namespace

struct XAudio2Output::State {
  std::shared_ptr<News> news = std::make_shared<News>();
  VoiceCallback voiceCallback{news};
  HMODULE library = nullptr;
  CreateFunction create = nullptr;
  bool com = false;  // COM was started by Open on its thread
  std::unique_ptr<DefaultDeviceWatch> watch;

  std::mutex lock;                 // guards what follows
  std::shared_ptr<Engine> engine;  // where new voices go; none without a device
  std::unordered_map<VoiceId, std::unique_ptr<Voice>> voices;
  VoiceId lastVoice = kNoVoice;

  // The library and its one entry point, loaded once.
  bool Load() {
    for (const wchar_t* name : kLibraries) {
      if (library) break;
      library = LoadLibraryW(name);
    }
    if (library && !create) {
      create = reinterpret_cast<CreateFunction>(
          reinterpret_cast<void*>(GetProcAddress(library, "XAudio2Create")));
    }
    return create != nullptr;
  }

  std::unique_ptr<Voice> Take(VoiceId id) {
    std::lock_guard<std::mutex> guard(lock);
    auto it = voices.find(id);
    if (it == voices.end()) return nullptr;
    std::unique_ptr<Voice> voice = std::move(it->second);
    voices.erase(it);
    return voice;
  }
};

XAudio2Output::XAudio2Output() : state_(std::make_unique<State>()) {}

XAudio2Output::~XAudio2Output() {
  SetListener(nullptr);
  // Close belongs to the thread that opened, and only that one may end its COM.
  state_->com = false;
  Close();
}

void XAudio2Output::SetListener(IAudioListener* listener) {
  std::lock_guard<std::mutex> guard(state_->news->lock);
  state_->news->listener = listener;
}

bool XAudio2Output::Open() {
  State& s = *state_;
  if (!s.com) {
    // The device enumerator needs COM on this thread; XAudio2 itself does not mind either way.
    const HRESULT started = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    s.com = SUCCEEDED(started);
  }
  if (!s.watch) {
    std::shared_ptr<News> news = s.news;
    s.watch = std::make_unique<DefaultDeviceWatch>([news] {
      news->changed = true;
      news->Tell();
    });
  }
  // Without a device there is nothing to make and no library to load (and Wine's engine
  // crashes making a mastering voice for no device instead of failing).
  std::shared_ptr<Engine> engine;
  if (s.watch->Present() && s.Load()) {
    engine = std::make_shared<Engine>(s.news);
    if (!engine->Make(s.create)) engine.reset();
  }
  std::shared_ptr<Engine> previous;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    previous = std::exchange(s.engine, engine);
  }
  // An engine without voices goes here, outside the lock: releasing it waits for its thread.
  previous.reset();
  return engine != nullptr;
}

void XAudio2Output::Close() {
  State& s = *state_;
  std::vector<std::unique_ptr<Voice>> left;
  std::shared_ptr<Engine> engine;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto& entry : s.voices) left.push_back(std::move(entry.second));
    s.voices.clear();
    engine = std::move(s.engine);
  }
  for (auto& voice : left) voice->source->DestroyVoice();
  left.clear();
  engine.reset();
  s.watch.reset();
  if (s.library) {
    FreeLibrary(s.library);
    s.library = nullptr;
    s.create = nullptr;
  }
  if (s.com) {
    CoUninitialize();
    s.com = false;
  }
}

VoiceId XAudio2Output::Start(std::string_view format, std::string_view samples, bool loop) {
  State& s = *state_;
  if (format.size() > kLargestFormatBytes) return kNoVoice;
  std::shared_ptr<Engine> engine;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    engine = s.engine;
  }
  if (!engine) return kNoVoice;
  try {
    const std::vector<WAVEFORMATEX> waveFormat = WaveFormat(format);
    auto voice = std::make_unique<Voice>();
    voice->engine = engine;
    // Clips play at their own pitch, so the voice needs no room for another.
    if (FAILED(engine->xaudio->CreateSourceVoice(&voice->source, waveFormat.data(),
                                                 XAUDIO2_VOICE_NOPITCH, 1.0f, &s.voiceCallback)))
      return kNoVoice;
    XAUDIO2_BUFFER buffer{};
    buffer.Flags = XAUDIO2_END_OF_STREAM;
    buffer.AudioBytes = static_cast<UINT32>(samples.size());
    buffer.pAudioData = reinterpret_cast<const BYTE*>(samples.data());
    buffer.LoopCount = loop ? XAUDIO2_LOOP_INFINITE : 0;
    buffer.pContext = voice.get();
    if (FAILED(voice->source->SubmitSourceBuffer(&buffer)) || FAILED(voice->source->Start(0))) {
      voice->source->DestroyVoice();
      return kNoVoice;
    }
    std::lock_guard<std::mutex> guard(s.lock);
    const VoiceId id = ++s.lastVoice;
    s.voices.emplace(id, std::move(voice));
    return id;
  } catch (const std::bad_alloc&) {
    return kNoVoice;
  }
}

void XAudio2Output::Stop(VoiceId id) {
  std::unique_ptr<Voice> voice = state_->Take(id);
  if (!voice) return;
  // Silences it at once; afterwards no callback refers to it, so it can go, and with it perhaps
  // the engine of a device that is no longer the default.
  voice->source->DestroyVoice();
}

VoiceProgress XAudio2Output::Progress(VoiceId id) {
  State& s = *state_;
  std::lock_guard<std::mutex> guard(s.lock);
  auto it = s.voices.find(id);
  if (it == s.voices.end()) return VoiceProgress{true, 0};
  Voice& voice = *it->second;
  XAUDIO2_VOICE_STATE state{};
  voice.source->GetState(&state, 0);
  return VoiceProgress{voice.ended || state.BuffersQueued == 0, state.SamplesPlayed};
}

DeviceNews XAudio2Output::TakeDeviceNews() {
  News& news = *state_->news;
  if (news.lost.exchange(false)) {
    news.changed = false;
    return DeviceNews::Lost;
  }
  return news.changed.exchange(false) ? DeviceNews::Changed : DeviceNews::None;
}

}  // namespace zv::win32
