// Appends and the stop share one lock, so no buffer slips in after the take has stopped.
#include "voice/take_recording.h"

namespace zv {

void TakeRecording::Append(std::string_view bytes) {
  std::lock_guard<std::mutex> guard(samplesLock_);
  if (!recording_) return;
  const size_t room = kMaxBytes - samples_.size();
  if (bytes.size() >= room) full_ = true;
  samples_.append(bytes.substr(0, room));
}

void TakeRecording::Stop() {
  std::lock_guard<std::mutex> guard(samplesLock_);
  recording_ = false;
}

std::string TakeRecording::Samples() const {
  std::lock_guard<std::mutex> guard(samplesLock_);
  const size_t align = static_cast<size_t>(kFormat.BlockAlign());
  return samples_.substr(0, samples_.size() - samples_.size() % align);
}

}  // namespace zv
