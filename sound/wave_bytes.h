// Finding the "fmt " and "data" chunks of a RIFF/WAVE byte array without trusting any size it
// declares: every read is checked against the bytes that are really there. Also what silence
// looks like in a clip's format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct WaveChunks {
  std::string_view format;  // body of the "fmt " chunk
  std::string_view data;    // body of the "data" chunk
};

// Nothing unless the bytes are at least 36 long, start with "RIFF", carry "WAVE" at byte 8, and
// hold a "fmt " and a "data" chunk that lie wholly inside both the RIFF length and the bytes.
std::optional<WaveChunks> FindWaveChunks(std::string_view bytes);

// `milliseconds` of silence in the format of a "fmt " chunk body, rounded up to whole frames but
// never more than the whole frames that fit in `limit` bytes. Silence is not always zero bytes:
// unsigned 8-bit PCM rests at 0x80, A-law at 0xD5, mu-law at 0xFF. Empty for compressed formats,
// whose silence is no repeated byte, and for fields that describe no usable frame.
std::string SilenceIn(std::string_view format, int milliseconds, size_t limit);

}  // namespace zv
