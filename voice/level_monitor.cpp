// One buffer, handed back to the device by the input stream each time it is full.
#include "voice/level_monitor.h"

#include <cstdint>
#include <string_view>

#include "base/little_endian.h"

namespace zv {

bool LevelMonitor::Start() {
  if (capture_) return true;
  level_ = 0;
  readingsWithoutBuffer_ = 0;
  capture_ = input_.Start(kFormat, kBufferSamples * kFormat.BlockAlign(), 1,
                          [this](const char* bytes, size_t size) { OnBuffer(bytes, size); });
  return capture_ != nullptr;
}

void LevelMonitor::Stop() { capture_.reset(); }

int LevelMonitor::ReadLevel() {
  const unsigned buffers = fullBuffers_;
  if (buffers != buffersAtLastReading_) {
    buffersAtLastReading_ = buffers;
    readingsWithoutBuffer_ = 0;
  } else if (readingsWithoutBuffer_ < kStaleReadings) {
    ++readingsWithoutBuffer_;
  }
  return readingsWithoutBuffer_ >= kStaleReadings ? 0 : level_.load();
}

void LevelMonitor::OnBuffer(const char* bytes, size_t size) {
  // The part-filled buffer that a stop returns is no full buffer and says nothing.
  if (size != kBufferSamples * kFormat.BlockAlign()) return;
  const size_t at = (kLevelSample - 1) * kFormat.BlockAlign();
  level_ = static_cast<int16_t>(ReadLittleEndian(std::string_view(bytes, size), at, 2));
  ++fullBuffers_;
}

}  // namespace zv
