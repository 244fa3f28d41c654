// https://learn.microsoft.com/previous-versions/dd743680(v=vs.85) (PlaySound, SND_MEMORY)
#include "platform/win32/play_sound_player.h"

#include <windows.h>
#include <mmsystem.h>

namespace zv::win32 {

PlaySoundPlayer::~PlaySoundPlayer() { PlaySoundW(nullptr, nullptr, 0); }

bool PlaySoundPlayer::PlayOnce(std::string_view wave) {
  if (wave.size() <= 44) return false;
  // Stop the clip still reading the old bytes before they are replaced.
  PlaySoundW(nullptr, nullptr, 0);
  try {
    playing_.assign(wave);
  } catch (...) {
    return false;
  }
  return PlaySoundW(reinterpret_cast<LPCWSTR>(playing_.data()), nullptr,
                    SND_MEMORY | SND_ASYNC | SND_NODEFAULT) != FALSE;
}

}  // namespace zv::win32
