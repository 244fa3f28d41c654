// Plays one WAVE clip from memory with PlaySound. The system reads the bytes while it plays, so
// they are kept here until the next clip replaces them; a new clip cuts the previous one short.
#pragma once

#include <string>

#include "voice/clip_player.h"

namespace zv::win32 {

class PlaySoundPlayer final : public IClipPlayer {
 public:
  PlaySoundPlayer() = default;
  PlaySoundPlayer(const PlaySoundPlayer&) = delete;
  PlaySoundPlayer& operator=(const PlaySoundPlayer&) = delete;
  ~PlaySoundPlayer() override;

  bool PlayOnce(std::string_view wave) override;

 private:
  std::string playing_;
};

}  // namespace zv::win32
