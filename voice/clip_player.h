// "Play these WAVE bytes once": all the voice changer needs of the sound board. The bytes are
// copied before the call returns, so the caller may release them at once.
#pragma once

#include <string_view>

namespace zv {

class IClipPlayer {
 public:
  virtual ~IClipPlayer() = default;
  // False when nothing sounds (no valid clip, no samples, no output device).
  virtual bool PlayOnce(std::string_view wave) = 0;
};

}  // namespace zv
