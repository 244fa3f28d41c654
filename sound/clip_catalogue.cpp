// Clip names are derived from the button number or key so the generator and the program cannot
// drift apart over a table typed twice.
#include "sound/clip_catalogue.h"

#include <cctype>
#include <cstdio>

namespace zv {

std::string BoardClipName(int button) {
  if (button < 1 || button > kBoardClipCount) return {};
  char name[16];
  std::snprintf(name, sizeof name, "mc%02d.wav", button);
  return name;
}

std::string PianoClipName(int virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z')
    return std::string("note_") + static_cast<char>(std::tolower(virtualKey)) + ".wav";
  if (virtualKey >= 0x70 && virtualKey <= 0x7B)
    return "key_f" + std::to_string(virtualKey - 0x70 + 1) + ".wav";
  if (virtualKey >= '1' && virtualKey <= '8')
    return std::string("key_") + static_cast<char>(virtualKey) + ".wav";
  return {};
}

bool PlayBoardClip(SoundBoard& board, const IResources& resources, int button) {
  const std::string name = BoardClipName(button);
  return !name.empty() && board.PlayClip(ClipBytes::Lasting(resources.Bytes(name)), false);
}

}  // namespace zv
