// Streams keep a running count of frames owed; whole buffers go out as they fill.
#include "platform/fake/fake_wave_input.h"

#include <algorithm>
#include <string>

namespace zv {

struct FakeWaveInput::Stream {
  FakeCaptureRecord record;
  CaptureSink sink;
  long long openedAtMs = 0;
  long long elapsedMs = 0;
  long long framesGiven = 0;
  long long framesFilled = 0;
  size_t pendingFrames = 0;  // frames of the buffer being filled
};

struct FakeWaveInput::Shared {
  mutable std::mutex lock;
  // Sample value by index in the buffer, absolute frame number and rate.
  std::function<int16_t(size_t, long long, int)> signal = [](size_t, long long, int) {
    return int16_t{0};
  };
  long long nowMs = 0;
  bool unplugged = false;
  std::vector<std::shared_ptr<Stream>> streams;

  // Caller holds the lock.
  std::string Fill(Stream& stream, size_t frames) const {
    std::string bytes;
    const size_t align = static_cast<size_t>(stream.record.format.BlockAlign());
    const int rate = stream.record.format.samplesPerSecond;
    const long long first = stream.openedAtMs * rate / 1000 + stream.framesFilled;
    stream.framesFilled += static_cast<long long>(frames);
    bytes.reserve(frames * align);
    for (size_t i = 0; i < frames; ++i) {
      const auto value = static_cast<uint16_t>(signal(i, first + static_cast<long long>(i), rate));
      for (size_t channel = 0; channel * 2 < align; ++channel) {
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>(value >> 8));
      }
    }
    return bytes;
  }
};

class FakeWaveInput::Capture : public IWaveCapture {
 public:
  Capture(std::shared_ptr<Shared> shared, std::shared_ptr<Stream> stream)
      : shared_(std::move(shared)), stream_(std::move(stream)) {}

  ~Capture() override {
    std::lock_guard<std::mutex> guard(shared_->lock);
    // Like a device reset: the part-filled buffer comes back with what it holds.
    if (stream_->pendingFrames > 0) {
      const std::string rest = shared_->Fill(*stream_, stream_->pendingFrames);
      stream_->sink(rest.data(), rest.size());
    }
    stream_->record.open = false;
  }

 private:
  std::shared_ptr<Shared> shared_;
  std::shared_ptr<Stream> stream_;
};

FakeWaveInput::FakeWaveInput() : shared_(std::make_shared<Shared>()) {}
FakeWaveInput::~FakeWaveInput() = default;

void FakeWaveInput::SetLevel(int16_t level) {
  SetShape([level](size_t) { return level; });
}

void FakeWaveInput::SetShape(std::function<int16_t(size_t index)> shape) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->signal = [shape = std::move(shape)](size_t index, long long, int) {
    return shape(index);
  };
}

void FakeWaveInput::SetSignal(std::function<int16_t(long long frame, int rate)> signal) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->signal = [signal = std::move(signal)](size_t, long long frame, int rate) {
    return signal(frame, rate);
  };
}

void FakeWaveInput::Unplug() {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->unplugged = true;
}

void FakeWaveInput::Run(int milliseconds) {
  std::lock_guard<std::mutex> guard(shared_->lock);
  shared_->nowMs += milliseconds;
  if (shared_->unplugged) return;
  for (const std::shared_ptr<Stream>& stream : shared_->streams) {
    if (!stream->record.open) continue;
    stream->elapsedMs += milliseconds;
    const long long owed =
        stream->elapsedMs * stream->record.format.samplesPerSecond / 1000 - stream->framesGiven;
    stream->framesGiven += owed;
    stream->pendingFrames += static_cast<size_t>(owed);
    const size_t bufferFrames =
        stream->record.bufferBytes / static_cast<size_t>(stream->record.format.BlockAlign());
    while (stream->pendingFrames >= bufferFrames) {
      const std::string full = shared_->Fill(*stream, bufferFrames);
      stream->pendingFrames -= bufferFrames;
      stream->sink(full.data(), full.size());
    }
  }
}

std::vector<FakeCaptureRecord> FakeWaveInput::Streams() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  std::vector<FakeCaptureRecord> records;
  for (const auto& stream : shared_->streams) records.push_back(stream->record);
  return records;
}

size_t FakeWaveInput::OpenStreams() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return static_cast<size_t>(std::count_if(shared_->streams.begin(), shared_->streams.end(),
                                           [](const auto& s) { return s->record.open; }));
}

std::unique_ptr<IWaveCapture> FakeWaveInput::Start(const PcmFormat& format, size_t bufferBytes,
                                                   int buffers, CaptureSink sink) {
  if (!present || bufferBytes == 0 || format.BlockAlign() <= 0) return nullptr;
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    if (shared_->unplugged) return nullptr;
  }
  auto stream = std::make_shared<Stream>();
  stream->record = FakeCaptureRecord{format, bufferBytes, buffers, true};
  stream->sink = std::move(sink);
  std::lock_guard<std::mutex> guard(shared_->lock);
  stream->openedAtMs = shared_->nowMs;
  shared_->streams.push_back(stream);
  return std::make_unique<Capture>(shared_, stream);
}

}  // namespace zv
