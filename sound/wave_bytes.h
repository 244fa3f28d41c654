// Finding the "fmt " and "data" chunks of a RIFF/WAVE byte array without trusting any size it
// declares: every read is checked against the bytes that are really there.
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

}  // namespace zv
