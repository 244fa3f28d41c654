// The piano's keys played through the sound board: every key's clip is carried in the program
// and each press starts one more playback of it, loop off.
#pragma once

#include "piano/key_sound.h"
#include "platform/resources.h"
#include "sound/sound_board.h"

namespace zv {

class ClipKeySound final : public IKeySound {
 public:
  ClipKeySound(SoundBoard& board, const IResources& resources)
      : board_(board), resources_(resources) {}

  // A clip that cannot be played (no device, refused format) stays silent.
  void Play(const PianoKey& key) override;

 private:
  SoundBoard& board_;
  const IResources& resources_;
};

}  // namespace zv
