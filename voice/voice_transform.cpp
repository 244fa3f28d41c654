// Block stretching with the repeat counter; see voice_transform.h for the contract.
#include "voice/voice_transform.h"

#include <cmath>
#include <limits>

#include "voice/take_wave.h"

namespace zv {
namespace {

constexpr int kLastSlowPosition = 11;  // positions up to here lengthen, from 12 on shorten
constexpr int kDropBase = 23;          // at p >= 12 a block is dropped after 23 - p kept ones

}  // namespace

std::string StretchBlocks(std::string_view samples, int blockAlign,
                          const std::function<int()>& position) {
  if (blockAlign <= 0) return {};
  const size_t blockBytes = static_cast<size_t>(blockAlign) * kFramesPerBlock;
  const size_t blocks = samples.size() / blockBytes;
  std::string out;
  // At most every second block is written three times: never more than twice the input.
  out.reserve(2 * blocks * blockBytes + blockBytes);
  int counter = 0;
  for (size_t n = 0; n < blocks; ++n) {
    const std::string_view block = samples.substr(n * blockBytes, blockBytes);
    const int p = position();
    if (p <= kLastSlowPosition) {
      if (p < counter) {
        out.append(block).append(block).append(block);
        counter = 0;
      } else {
        out.append(block);
      }
    } else if (counter <= kDropBase - p) {
      out.append(block);
    } else {
      counter = 0;
    }
    ++counter;
  }
  return out;
}

unsigned VoiceModeRate(size_t outputFrames, size_t takeFrames, unsigned takeRate) {
  if (outputFrames == 0 || takeFrames == 0 || takeRate == 0) return takeRate;
  const double duration = static_cast<double>(takeFrames) / takeRate;
  const double rate = std::floor(static_cast<double>(outputFrames) / duration);
  if (rate < 1 || rate > std::numeric_limits<unsigned>::max()) return takeRate;
  return static_cast<unsigned>(rate);
}

std::string TransformTake(std::string_view take, const TransformControls& controls,
                          IFileSystem& files, const std::string& scratchPath) {
  const std::optional<WaveView> wave = ReadWave(take);
  if (!wave) return {};
  const bool scratchEmptied = files.WriteFile(scratchPath, "");
  std::string samples = StretchBlocks(wave->samples, wave->format.blockAlign, controls.position);
  if (!scratchEmptied || !files.WriteFile(scratchPath, samples)) samples.clear();

  WaveFormatFields format = wave->format;
  if (controls.voiceMode() && format.blockAlign > 0) {
    const size_t align = static_cast<size_t>(format.blockAlign);
    format.samplesPerSecond = VoiceModeRate(samples.size() / align,
                                            wave->samples.size() / align, format.samplesPerSecond);
    format.bytesPerSecond = format.samplesPerSecond * align;
  }
  return BuildWave(format, samples);
}

}  // namespace zv
