// Walking the chunk list of a WAVE byte array, and the whole blocks of its samples.
#include "sound/wave_bytes.h"

#include <algorithm>
#include <cstdint>

#include "base/little_endian.h"

namespace zv {
namespace {

constexpr size_t kMinimumWave = 36;
constexpr size_t kPlainFormatBytes = 16;     // up to wBitsPerSample
constexpr size_t kExtendedFormatBytes = 18;  // with cbSize, which counts the bytes after it
constexpr size_t kBlockAlignAt = 12;
constexpr size_t kExtraSizeAt = 16;

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

std::optional<WaveChunks> PlayableChunks(const WaveChunks& chunks) {
  const std::string_view format = chunks.format;
  if (format.size() < kPlainFormatBytes) return std::nullopt;
  if (format.size() >= kExtendedFormatBytes &&
      ReadLittleEndian(format, kExtraSizeAt, 2) > format.size() - kExtendedFormatBytes)
    return std::nullopt;
  const size_t block = ReadLittleEndian(format, kBlockAlignAt, 2);
  if (block == 0 || chunks.data.size() < block) return std::nullopt;
  return WaveChunks{format, chunks.data.substr(0, chunks.data.size() - chunks.data.size() % block)};
}

}  // namespace zv
