// One waveIn handle per stream. Only the stream's worker calls wave functions once capture runs,
// so stopping never races a re-queue: the destructor asks the worker to reset the device and
// waits for it.
#include "platform/win32/wave_input_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

// A lost completion signal must not stall the stream for long.
constexpr DWORD kWaitMs = 100;

class WaveInCapture final : public IWaveCapture {
 public:
  WaveInCapture(size_t bufferBytes, int buffers, CaptureSink sink)
      : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        memory_(static_cast<size_t>(buffers), std::vector<char>(bufferBytes)),
        headers_(static_cast<size_t>(buffers)),
        sink_(std::move(sink)) {}

  WaveInCapture(const WaveInCapture&) = delete;
  WaveInCapture& operator=(const WaveInCapture&) = delete;

  ~WaveInCapture() override {
    if (worker_.joinable()) {
      stopping_ = true;
      SetEvent(event_.get());
      worker_.join();
    } else if (device_) {
      waveInReset(device_);
    }
    if (!device_) return;
    for (WAVEHDR& header : headers_) {
      if (header.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(device_, &header, sizeof(header));
    }
    waveInClose(device_);
  }

  // https://learn.microsoft.com/windows/win32/api/mmeapi/nf-mmeapi-waveinopen
  bool Open(const PcmFormat& format) {
    if (!event_) return false;
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = static_cast<WORD>(format.channels);
    wave.nSamplesPerSec = static_cast<DWORD>(format.samplesPerSecond);
    wave.wBitsPerSample = static_cast<WORD>(format.bitsPerSample);
    wave.nBlockAlign = static_cast<WORD>(format.BlockAlign());
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    if (waveInOpen(&device_, WAVE_MAPPER, &wave, reinterpret_cast<DWORD_PTR>(event_.get()), 0,
                   CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      device_ = nullptr;
      return false;
    }
    for (size_t i = 0; i < headers_.size(); ++i) {
      WAVEHDR& header = headers_[i];
      header.lpData = memory_[i].data();
      header.dwBufferLength = static_cast<DWORD>(memory_[i].size());
      if (waveInPrepareHeader(device_, &header, sizeof(header)) != MMSYSERR_NOERROR ||
          waveInAddBuffer(device_, &header, sizeof(header)) != MMSYSERR_NOERROR) {
        return false;
      }
    }
    if (waveInStart(device_) != MMSYSERR_NOERROR) return false;
    try {
      worker_ = std::thread([this] { Run(); });
    } catch (...) {
      return false;
    }
    return true;
  }

 private:
  void Run() {
    size_t next = 0;
    while (!stopping_) {
      WaitForSingleObject(event_.get(), kWaitMs);
      while (!stopping_ && (headers_[next].dwFlags & WHDR_DONE)) {
        WAVEHDR& header = headers_[next];
        Deliver(header);
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        waveInAddBuffer(device_, &header, sizeof(header));
        next = (next + 1) % headers_.size();
      }
    }
    // Reset hands back every queued buffer with what it holds; they come back in queue order.
    waveInReset(device_);
    for (size_t k = 0; k < headers_.size(); ++k) {
      WAVEHDR& header = headers_[(next + k) % headers_.size()];
      if (header.dwFlags & WHDR_DONE) Deliver(header);
    }
  }

  void Deliver(const WAVEHDR& header) {
    if (header.dwBytesRecorded == 0) return;
    try {
      sink_(header.lpData, header.dwBytesRecorded);
    } catch (...) {
      // Nothing crosses the thread's entry; the buffer is simply lost.
    }
  }

  KernelHandle event_;
  HWAVEIN device_ = nullptr;
  std::vector<std::vector<char>> memory_;
  std::vector<WAVEHDR> headers_;
  CaptureSink sink_;
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

}  // namespace

std::unique_ptr<IWaveCapture> Win32WaveInput::Start(const PcmFormat& format, size_t bufferBytes,
                                                    int buffers, CaptureSink sink) {
  if (bufferBytes == 0 || buffers <= 0 || format.BlockAlign() <= 0) return nullptr;
  try {
    auto capture = std::make_unique<WaveInCapture>(bufferBytes, buffers, std::move(sink));
    if (!capture->Open(format)) return nullptr;
    return capture;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace zv::win32
