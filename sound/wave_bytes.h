// Finding the "fmt " and "data" chunks of a RIFF/WAVE byte array without trusting any size it
// declares: every read is checked against the bytes that are really there. Also what part of a
// clip a mixer can be handed.
#pragma once

#include <optional>
#include <string_view>

namespace zv {

struct WaveChunks {
  std::string_view format;  // body of the "fmt " chunk
  std::string_view data;    // body of the "data" chunk
};

// Nothing unless the bytes are at least 36 long, start with "RIFF", carry "WAVE" at byte 8, and
// hold a "fmt " and a "data" chunk that lie wholly inside both the RIFF length and the bytes.
std::optional<WaveChunks> FindWaveChunks(std::string_view bytes);

// The chunks as a mixer takes them: the samples cut to whole blocks (a PCM frame, a compressed
// block), since a mixer refuses a buffer that ends inside one. Nothing when the format is shorter
// than its 16 fixed bytes, names no block size, claims more extra bytes (cbSize) than it holds,
// or the samples do not fill one block.
std::optional<WaveChunks> PlayableChunks(const WaveChunks& chunks);

}  // namespace zv
