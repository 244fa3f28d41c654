// One press, one playback of the key's clip.
#include "piano/clip_key_sound.h"

#include "sound/clip_catalogue.h"

namespace zv {

void ClipKeySound::Play(const PianoKey& key) {
  const std::string_view clip = resources_.Bytes(PianoClipName(static_cast<int>(key.virtualKey)));
  board_.PlayClip(ClipBytes::Lasting(clip), false);
}

}  // namespace zv
