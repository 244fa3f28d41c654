// Walking the chunk list of a WAVE byte array.
#include "sound/wave_bytes.h"

#include <algorithm>
#include <cstdint>

namespace zv {
namespace {

constexpr size_t kMinimumWave = 36;
constexpr size_t kChunkHeader = 8;

uint32_t ReadLittle32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

std::optional<WaveChunks> FindWaveChunks(std::string_view bytes) {
  if (bytes.size() < kMinimumWave || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return std::nullopt;
  // A RIFF length larger than the bytes we hold must not lead the walk past them.
  const size_t end = std::min<uint64_t>(bytes.size(), uint64_t{8} + ReadLittle32(bytes, 4));
  std::optional<std::string_view> format, data;
  size_t at = 12;
  while (at + kChunkHeader <= end && !(format && data)) {
    const std::string_view id = bytes.substr(at, 4);
    const uint64_t size = ReadLittle32(bytes, at + 4);
    const size_t body = at + kChunkHeader;
    if (body + size > end) break;
    if (id == "fmt " && !format) format = bytes.substr(body, size);
    if (id == "data" && !data) data = bytes.substr(body, size);
    // Chunks start on even offsets: an odd body is followed by one pad byte.
    at = body + size + (size & 1);
  }
  if (!format || !data) return std::nullopt;
  return WaveChunks{*format, *data};
}

}  // namespace zv
