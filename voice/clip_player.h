// "Play these WAVE bytes once": all the voice changer needs of the sound board. The bytes are
// handed over, not copied: the playback keeps them alive for as long as it sounds, so the caller
// may drop its own hold on them at once.
#pragma once

#include <memory>
#include <string>

namespace zv {

class IClipPlayer {
 public:
  virtual ~IClipPlayer() = default;
  // False when the bytes are no WAVE clip with samples.
  virtual bool PlayOnce(std::shared_ptr<const std::string> wave) = 0;
};

}  // namespace zv
