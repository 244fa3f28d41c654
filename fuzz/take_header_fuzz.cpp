// libFuzzer target for the take header reader. A take on disk may be cut off or written by
// anything; the voice changer relies on the samples view lying inside the bytes right after a
// "data" identifier and its size, never longer than either, and on a header it built itself
// reading back to what it wrote.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/little_endian.h"
#include "fuzz/fuzz_check.h"
#include "voice/take_wave.h"

namespace {

using zv::fuzz::Check;

void CheckRead(std::string_view bytes) {
  const std::optional<zv::WaveView> wave = zv::ReadWave(bytes);
  if (!wave) return;
  Check(bytes.size() >= 36);
  Check(wave->format.channels == static_cast<int>(zv::ReadLittleEndian(bytes, 22, 2)));
  Check(wave->format.samplesPerSecond == zv::ReadLittleEndian(bytes, 24, 4));
  Check(wave->format.blockAlign == static_cast<int>(zv::ReadLittleEndian(bytes, 32, 2)));
  Check(wave->format.bitsPerSample == static_cast<int>(zv::ReadLittleEndian(bytes, 34, 2)));
  const char* begin = bytes.data();
  const size_t at = static_cast<size_t>(wave->samples.data() - begin);
  Check(at >= 44 && at <= bytes.size() && at + wave->samples.size() <= bytes.size());
  Check(at <= 36 + 100 + 4);
  Check(bytes.substr(at - 8, 4) == "data");
  Check(wave->samples.size() <= zv::ReadLittleEndian(bytes, at - 4, 4));
  // The first "data" in the search window is the one taken.
  Check(bytes.substr(36, at - 8 - 36).find("data") == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckRead(bytes);
  // Whatever the format fields, a built take reads back whole. The samples are the input after
  // the format's 16 bytes.
  if (size >= 16) {
    zv::WaveFormatFields format;
    format.channels = static_cast<int>(zv::ReadLittleEndian(bytes, 0, 2));
    format.samplesPerSecond = zv::ReadLittleEndian(bytes, 2, 4);
    format.bytesPerSecond = zv::ReadLittleEndian(bytes, 6, 4);
    format.blockAlign = static_cast<int>(zv::ReadLittleEndian(bytes, 10, 2));
    format.bitsPerSample = static_cast<int>(zv::ReadLittleEndian(bytes, 12, 2));
    const std::string_view samples = bytes.substr(16);
    const std::string built = zv::BuildWave(format, samples);
    Check(built.size() == zv::kWaveHeaderBytes + samples.size());
    const std::optional<zv::WaveView> back = zv::ReadWave(built);
    Check(back.has_value());
    Check(back->format.channels == format.channels &&
          back->format.samplesPerSecond == format.samplesPerSecond &&
          back->format.bytesPerSecond == format.bytesPerSecond &&
          back->format.blockAlign == format.blockAlign &&
          back->format.bitsPerSample == format.bitsPerSample);
    Check(back->samples == samples);
  }
  return 0;
}
