// libFuzzer target for play clip's walk over a WAVE file's chunks and the silence it appends.
// Any bytes may arrive as a clip (a custom sound, a broken built-in); what the player relies on
// is that the chunks it is handed are really there and really the ones the file names, and
// that its silent tail fits one block in the clip's own frames.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/little_endian.h"
#include "fuzz/fuzz_check.h"
#include "sound/wave_bytes.h"

namespace {

using zv::fuzz::Check;

constexpr size_t kBlockBytes = 15360;  // the player's block

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

void CheckSilence(std::string_view format, int milliseconds, size_t limit) {
  const std::string silence = zv::SilenceIn(format, milliseconds, limit);
  Check(silence.size() <= limit);
  if (silence.empty()) return;
  Check(format.size() >= 16);
  const uint32_t frameBytes = zv::ReadLittleEndian(format, 12, 2);
  Check(frameBytes > 0 && silence.size() % frameBytes == 0);
  Check(silence.find_first_not_of(silence[0]) == std::string::npos);
  const char rest = silence[0];
  Check(rest == '\0' || rest == '\x80' || rest == '\xD5' || rest == '\xFF');
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
  CheckSilence(chunks->format, 150, kBlockBytes);
  CheckSilence(chunks->format, 1 + static_cast<int>(size % 5000), size % 40000);
  return 0;
}
