// Little-endian fields of the canonical WAVE header.
#include "voice/take_wave.h"

#include <algorithm>
#include <cstdint>

#include "base/little_endian.h"

namespace zv {
namespace {

constexpr size_t kFormatFieldsEnd = 36;
constexpr size_t kDataSearchBytes = 100;

}  // namespace

std::optional<WaveView> ReadWave(std::string_view bytes) {
  if (bytes.size() < kFormatFieldsEnd) return std::nullopt;
  WaveView wave;
  wave.format.channels = static_cast<int>(ReadLittleEndian(bytes, 22, 2));
  wave.format.samplesPerSecond = ReadLittleEndian(bytes, 24, 4);
  wave.format.bytesPerSecond = ReadLittleEndian(bytes, 28, 4);
  wave.format.blockAlign = static_cast<int>(ReadLittleEndian(bytes, 32, 2));
  wave.format.bitsPerSample = static_cast<int>(ReadLittleEndian(bytes, 34, 2));

  const std::string_view window =
      bytes.substr(kFormatFieldsEnd, std::min(kDataSearchBytes, bytes.size() - kFormatFieldsEnd));
  const size_t found = window.find("data");
  if (found == std::string_view::npos) return std::nullopt;
  const std::optional<RiffChunk> data = ReadRiffChunk(bytes, kFormatFieldsEnd + found);
  if (!data) return std::nullopt;
  // A cut-off file declares more than it holds: only what is there is used.
  wave.samples = data->body;
  return wave;
}

std::string BuildWave(const WaveFormatFields& format, std::string_view samples) {
  const uint32_t dataSize = static_cast<uint32_t>(samples.size());
  std::string out;
  out.reserve(kWaveHeaderBytes + samples.size());
  out += "RIFF";
  AppendLittleEndian(out, dataSize + 36, 4);
  out += "WAVEfmt ";
  AppendLittleEndian(out, 16, 4);
  AppendLittleEndian(out, 1, 2);
  AppendLittleEndian(out, static_cast<uint32_t>(format.channels), 2);
  AppendLittleEndian(out, format.samplesPerSecond, 4);
  AppendLittleEndian(out, format.bytesPerSecond, 4);
  AppendLittleEndian(out, static_cast<uint32_t>(format.blockAlign), 2);
  AppendLittleEndian(out, static_cast<uint32_t>(format.bitsPerSample), 2);
  out += "data";
  AppendLittleEndian(out, dataSize, 4);
  out.append(samples);
  return out;
}

}  // namespace zv
