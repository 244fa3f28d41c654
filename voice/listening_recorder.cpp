// The capture thread appends to the ring and to the take under one lock; BeginTake copies the
// ring under the same lock, which is what makes the seam exact.
#include "voice/listening_recorder.h"

#include <algorithm>

#include "voice/sound_start.h"

namespace zv {

void ByteRing::Append(std::string_view more) {
  const size_t capacity = bytes_.size();
  if (more.size() >= capacity) more = more.substr(more.size() - capacity);
  const size_t first = std::min(more.size(), capacity - end_);
  bytes_.replace(end_, first, more.substr(0, first));
  bytes_.replace(0, more.size() - first, more.substr(first));
  end_ = (end_ + more.size()) % capacity;
  size_ = std::min(capacity, size_ + more.size());
}

std::string ByteRing::Contents() const {
  const size_t capacity = bytes_.size();
  const size_t start = (end_ + capacity - size_) % capacity;
  if (start + size_ <= capacity) return bytes_.substr(start, size_);
  return bytes_.substr(start) + bytes_.substr(0, end_);
}

bool ListeningRecorder::Start() {
  if (capture_) return true;
  capture_ = input_.Start(TakeRecording::kFormat, kBufferBytes, kQueuedBuffers,
                          [this](const char* bytes, size_t size) { OnBuffer({bytes, size}); });
  return capture_ != nullptr;
}

void ListeningRecorder::Stop() {
  // Not under the lock: closing the stream hands its last buffer to OnBuffer.
  capture_.reset();
  std::lock_guard<std::mutex> guard(lock_);
  take_.reset();
  recent_.Clear();
}

std::shared_ptr<TakeRecording> ListeningRecorder::BeginTake(int16_t threshold) {
  if (!capture_) return nullptr;
  std::lock_guard<std::mutex> guard(lock_);
  std::string heard = recent_.Contents();
  const size_t align = static_cast<size_t>(TakeRecording::kFormat.BlockAlign());
  heard.resize(heard.size() - heard.size() % align);
  const size_t start = SoundStartFrame(heard, threshold) * align;
  take_ = std::make_shared<TakeRecording>(std::string_view(heard).substr(start));
  return take_;
}

void ListeningRecorder::OnBuffer(std::string_view bytes) {
  std::lock_guard<std::mutex> guard(lock_);
  recent_.Append(bytes);
  if (!take_) return;
  take_->Append(bytes);
  if (!take_->Recording() || take_->Full()) take_.reset();
}

}  // namespace zv
