// Walks back from the trigger until a whole quiet stretch has passed.
#include "voice/sound_start.h"

#include <cstdlib>

#include "base/little_endian.h"

namespace zv {

size_t SoundStartFrame(std::string_view heard, int16_t threshold) {
  const size_t frames = heard.size() / 2;
  size_t quietRun = 0;
  size_t firstLoud = frames;  // nothing loud heard after the quiet stretch yet
  for (size_t frame = frames; frame-- > 0;) {
    const auto sample = static_cast<int16_t>(ReadLittleEndian(heard, frame * 2, 2));
    if (std::abs(static_cast<int>(sample)) > threshold) {
      quietRun = 0;
      firstLoud = frame;
    } else if (++quietRun == kQuietStretchFrames) {
      break;
    }
  }
  // Reaching the first frame, all before `firstLoud` was quiet too: whatever came before that
  // quiet was not heard, so the take loses nothing by starting at the lead-in.
  return firstLoud > kLeadInFrames ? firstLoud - kLeadInFrames : 0;
}

}  // namespace zv
