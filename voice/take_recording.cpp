// Captured buffers are appended as the input stream returns them.
#include "voice/take_recording.h"

namespace zv {

std::shared_ptr<TakeRecording> TakeRecording::Start(IWaveInput& input) {
  auto take = std::make_shared<TakeRecording>();
  TakeRecording* self = take.get();
  // The capture is stopped in Stop() or the destructor, before `self` goes away.
  std::unique_ptr<IWaveCapture> capture =
      input.Start(kFormat, kBufferBytes, kQueuedBuffers,
                  [self](const char* bytes, size_t size) { self->Append(bytes, size); });
  if (!capture) return nullptr;
  std::lock_guard<std::mutex> guard(take->stopLock_);
  take->capture_ = std::move(capture);
  take->recording_ = true;
  return take;
}

void TakeRecording::Stop() {
  std::lock_guard<std::mutex> guard(stopLock_);
  recording_ = false;
  capture_.reset();
}

std::string TakeRecording::Samples() const {
  std::lock_guard<std::mutex> guard(samplesLock_);
  const size_t align = static_cast<size_t>(kFormat.BlockAlign());
  return samples_.substr(0, samples_.size() - samples_.size() % align);
}

void TakeRecording::Append(const char* bytes, size_t size) {
  std::lock_guard<std::mutex> guard(samplesLock_);
  const size_t room = kMaxBytes - samples_.size();
  if (size >= room) full_ = true;
  samples_.append(bytes, size < room ? size : room);
}

}  // namespace zv
