// libFuzzer target for play clip's walk over a WAVE file's chunks and the part of them it hands
// the mixer. Any bytes may arrive as a clip (a custom sound, a broken built-in); what the player
// relies on is that the chunks it is handed are really there and really the ones the file names,
// and that the mixer gets whole blocks of samples under a format whose extra bytes are there.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/little_endian.h"
#include "fuzz/fuzz_check.h"
#include "sound/wave_bytes.h"

namespace {

using zv::fuzz::Check;

// The view lies inside the bytes, after an 8-byte header that names it and gives its size.
void CheckChunk(std::string_view bytes, std::string_view chunk, std::string_view id,
                size_t riffEnd) {
  const char* begin = bytes.data();
  Check(chunk.data() >= begin + 20 && chunk.data() + chunk.size() <= begin + riffEnd);
  const size_t body = static_cast<size_t>(chunk.data() - begin);
  Check(bytes.substr(body - 8, 4) == id);
  Check(zv::ReadLittleEndian(bytes, body - 4, 4) == chunk.size());
  // Chunks start on even offsets.
  Check(body % 2 == 0);
}

void CheckPlayable(const zv::WaveChunks& chunks) {
  const std::optional<zv::WaveChunks> playable = zv::PlayableChunks(chunks);
  if (!playable) return;
  const std::string_view format = playable->format;
  Check(format.data() == chunks.format.data() && format.size() == chunks.format.size());
  Check(format.size() >= 16);
  if (format.size() >= 18) Check(18 + zv::ReadLittleEndian(format, 16, 2) <= format.size());
  // Whole blocks from the start of the samples, and no whole block left out.
  const size_t block = zv::ReadLittleEndian(format, 12, 2);
  Check(block > 0 && playable->data.size() % block == 0 && !playable->data.empty());
  Check(playable->data.data() == chunks.data.data());
  Check(playable->data.size() <= chunks.data.size() &&
        chunks.data.size() - playable->data.size() < block);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<zv::WaveChunks> chunks = zv::FindWaveChunks(bytes);
  if (!chunks) return 0;
  Check(bytes.size() >= 36 && bytes.substr(0, 4) == "RIFF" && bytes.substr(8, 4) == "WAVE");
  const uint64_t declared = uint64_t{8} + zv::ReadLittleEndian(bytes, 4, 4);
  const size_t riffEnd = static_cast<size_t>(declared < bytes.size() ? declared : bytes.size());
  CheckChunk(bytes, chunks->format, "fmt ", riffEnd);
  CheckChunk(bytes, chunks->data, "data", riffEnd);
  // The same bytes give the same chunks.
  const std::optional<zv::WaveChunks> again = zv::FindWaveChunks(bytes);
  Check(again && again->format.data() == chunks->format.data() &&
        again->data.data() == chunks->data.data());
  CheckPlayable(*chunks);
  return 0;
}
