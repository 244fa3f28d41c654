// waveOut streams. The device reports finished blocks through an event (CALLBACK_EVENT) and
// nothing else: wave functions must not be called from a wave callback, so all the work stays
// on the playback worker that waits on that event.
#include "platform/win32/win32_audio.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <vector>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

constexpr size_t kPcmFormatBytes = 16;  // a "fmt " body without cbSize
constexpr size_t kLargestFormatBytes = 1024;  // far beyond any real codec's extra bytes

struct WaveOutTraits : NullIsNone<HWAVEOUT> {
  static void Close(HWAVEOUT device) { waveOutClose(device); }
};
using WaveOutDevice = UniqueHandle<WaveOutTraits>;

class WaveOutStream final : public IAudioStream {
 public:
  WaveOutStream(WaveOutDevice device, KernelHandle event)
      : event_(std::move(event)), device_(std::move(device)) {}
  WaveOutStream(const WaveOutStream&) = delete;
  WaveOutStream& operator=(const WaveOutStream&) = delete;

  ~WaveOutStream() override {
    // After Reset every block is done already: a second reset would only cost another round
    // trip to the sound server, which stop all pays once per playback.
    if (!queued_.empty() && !reset_) waveOutReset(device_.get());
    Reap();
    // A header the device still holds cannot be freed; leak it rather than corrupt memory.
    for (auto& header : queued_) header.release();
  }

  bool Queue(const char* bytes, size_t size) override {
    auto header = std::make_unique<WAVEHDR>();
    header->lpData = const_cast<char*>(bytes);
    header->dwBufferLength = static_cast<DWORD>(size);
    if (waveOutPrepareHeader(device_.get(), header.get(), sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
      return false;
    if (waveOutWrite(device_.get(), header.get(), sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(device_.get(), header.get(), sizeof(WAVEHDR));
      return false;
    }
    queued_.push_back(std::move(header));
    reset_ = false;
    return true;
  }

  int Reap() override {
    int done = 0;
    // The device finishes blocks in the order they were written.
    while (!queued_.empty() && (ReadFlags(*queued_.front()) & WHDR_DONE)) {
      waveOutUnprepareHeader(device_.get(), queued_.front().get(), sizeof(WAVEHDR));
      queued_.pop_front();
      ++done;
    }
    return done;
  }

  bool Wait(int milliseconds) override {
    return WaitForSingleObject(event_.get(), static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
  }

  void Wake() override { SetEvent(event_.get()); }

  void Reset() override {
    waveOutPause(device_.get());
    // Marks every queued block done at once; Reap then releases them.
    waveOutReset(device_.get());
    reset_ = true;
  }

 private:
  // The driver sets the flag from its own thread.
  static DWORD ReadFlags(const WAVEHDR& header) {
    return *static_cast<const volatile DWORD*>(&header.dwFlags);
  }

  KernelHandle event_;
  WaveOutDevice device_;  // declared after the event it signals, so closed before it
  std::deque<std::unique_ptr<WAVEHDR>> queued_;
  bool reset_ = false;  // every queued block is marked done by a reset since the last Queue
};

}  // namespace

std::unique_ptr<IAudioStream> WaveOutAudio::Open(const std::string& format) {
  if (format.size() < kPcmFormatBytes || format.size() > kLargestFormatBytes) return nullptr;
  try {
    // WAVEFORMATEX wants cbSize even when the chunk has none, and must be suitably aligned.
    std::vector<WAVEFORMATEX> storage((std::max(format.size(), sizeof(WAVEFORMATEX)) +
                                       sizeof(WAVEFORMATEX) - 1) / sizeof(WAVEFORMATEX));
    memcpy(storage.data(), format.data(), format.size());
    WAVEFORMATEX* waveFormat = storage.data();
    if (format.size() < sizeof(WAVEFORMATEX)) waveFormat->cbSize = 0;
    // A cbSize that claims more than the chunk holds would send the driver past the bytes.
    if (format.size() >= sizeof(WAVEFORMATEX) &&
        sizeof(WAVEFORMATEX) + waveFormat->cbSize > format.size())
      return nullptr;

    KernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event) return nullptr;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, waveFormat, reinterpret_cast<DWORD_PTR>(event.get()), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR)
      return nullptr;
    return std::make_unique<WaveOutStream>(WaveOutDevice(device), std::move(event));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace zv::win32
