// Walking the chunk list of a WAVE byte array, and silence in a "fmt " chunk's format.
#include "sound/wave_bytes.h"

#include <algorithm>
#include <cstdint>

#include "base/little_endian.h"

namespace zv {
namespace {

constexpr size_t kMinimumWave = 36;

// Format tags of the "fmt " chunk; an extensible format keeps the real tag in the first two
// bytes of its sub-format GUID.
constexpr uint32_t kTagPcm = 1;
constexpr uint32_t kTagFloat = 3;
constexpr uint32_t kTagALaw = 6;
constexpr uint32_t kTagMuLaw = 7;
constexpr uint32_t kTagExtensible = 0xFFFE;
constexpr size_t kPlainFormatBytes = 16;
constexpr size_t kSubFormatAt = 24;

// The byte every silent sample is made of, if there is one.
std::optional<char> SilentByte(std::string_view format) {
  uint32_t tag = ReadLittleEndian(format, 0, 2);
  if (tag == kTagExtensible && format.size() >= kSubFormatAt + 2)
    tag = ReadLittleEndian(format, kSubFormatAt, 2);
  const uint32_t bits = ReadLittleEndian(format, 14, 2);
  switch (tag) {
    case kTagPcm:
      return bits == 8 ? '\x80' : '\0';
    case kTagFloat:
      return '\0';
    case kTagALaw:
      return '\xD5';
    case kTagMuLaw:
      return '\xFF';
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<WaveChunks> FindWaveChunks(std::string_view bytes) {
  if (bytes.size() < kMinimumWave || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return std::nullopt;
  // A RIFF length larger than the bytes we hold must not lead the walk past them.
  const std::string_view riff =
      bytes.substr(0, std::min<uint64_t>(bytes.size(), uint64_t{8} + ReadLittleEndian(bytes, 4, 4)));
  std::optional<std::string_view> format, data;
  size_t at = 12;
  while (!(format && data)) {
    const std::optional<RiffChunk> chunk = ReadRiffChunk(riff, at);
    if (!chunk || chunk->body.size() < chunk->declared) break;
    if (chunk->id == "fmt " && !format) format = chunk->body;
    if (chunk->id == "data" && !data) data = chunk->body;
    // Chunks start on even offsets: an odd body is followed by one pad byte.
    at += 8 + size_t{chunk->declared} + (chunk->declared & 1);
  }
  if (!format || !data) return std::nullopt;
  return WaveChunks{*format, *data};
}

std::string SilenceIn(std::string_view format, int milliseconds, size_t limit) {
  if (format.size() < kPlainFormatBytes || milliseconds <= 0) return std::string();
  const std::optional<char> silent = SilentByte(format);
  const uint64_t rate = ReadLittleEndian(format, 4, 4);
  const uint64_t frameBytes = ReadLittleEndian(format, 12, 2);
  if (!silent || rate == 0 || frameBytes == 0) return std::string();
  const uint64_t frames = (rate * static_cast<uint64_t>(milliseconds) + 999) / 1000;
  const uint64_t bytes = std::min(frames, limit / frameBytes) * frameBytes;
  return std::string(static_cast<size_t>(bytes), *silent);
}

}  // namespace zv
