// The WAVE layout of takes and their transformed copies: a canonical 44-byte header before the
// samples. The reader is lenient about what follows the format fields but never reads past the
// bytes it is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv {

struct WaveFormatFields {
  int channels = 0;
  unsigned samplesPerSecond = 0;
  unsigned bytesPerSecond = 0;
  int blockAlign = 0;
  int bitsPerSample = 0;
};

// What every take is recorded in: mono, 44100 samples per second, 16 bits.
inline constexpr WaveFormatFields kTakeFormat{1, 44100, 88200, 2, 16};
inline constexpr size_t kWaveHeaderBytes = 44;

struct WaveView {
  WaveFormatFields format;
  std::string_view samples;  // the data chunk as far as the bytes reach
};

// Format fields at their fixed offsets (22 to 35), then the "data" identifier looked for within
// the 100 bytes from offset 36; the four bytes after it give the data size. Nothing when the
// bytes are too short for the format fields or no "data" identifier is there.
std::optional<WaveView> ReadWave(std::string_view bytes);

// A 44-byte header in `format` with the RIFF and data sizes of `samples`, then the samples.
std::string BuildWave(const WaveFormatFields& format, std::string_view samples);

}  // namespace zv
