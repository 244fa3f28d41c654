// One press, one playback of the key's clip.
#include "piano/clip_key_sound.h"

#include "sound/clip_catalogue.h"

namespace zv {

void ClipKeySound::Play(const PianoKey& key) {
  board_.PlayClip(resources_.Bytes(PianoClipName(static_cast<int>(key.virtualKey))), false);
}

}  // namespace zv
