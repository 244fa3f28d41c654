// The voice changer's transformation: blocks of 1000 sample frames written three times or
// dropped as the slider says, then, in voice mode, the sample rate rewritten so the changed
// length plays in the take's own duration. The block pattern is a pure function of the samples
// and the slider readings; the scratch file only sees the result.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace zv {

inline constexpr int kFramesPerBlock = 1000;
inline constexpr int kSliderMin = 1;
inline constexpr int kSliderMax = 22;

// The new samples: every full block of `samples` once, three times or not at all. `position`
// is asked again before every block, so a slider moved meanwhile changes the blocks still to
// come. Frames after the last full block are left out.
std::string StretchBlocks(std::string_view samples, int blockAlign,
                          const std::function<int()>& position);

// The rate that plays `outputFrames` in the take's duration of `takeFrames` at `takeRate`,
// integer part only. With nothing to play or no duration the take's own rate is kept.
unsigned VoiceModeRate(size_t outputFrames, size_t takeFrames, unsigned takeRate);

struct TransformControls {
  std::function<int()> position;    // the slider, read once per block
  std::function<bool()> voiceMode;  // read once, after the blocks
};

// The whole transformation of a take file's bytes into the WAVE bytes to play. The scratch file
// is emptied first and holds the new raw samples afterwards; when it cannot be written the
// result has no samples. Bytes that are no take give nothing at all.
std::string TransformTake(std::string_view take, const TransformControls& controls,
                          IFileSystem& files, const std::string& scratchPath);

}  // namespace zv
