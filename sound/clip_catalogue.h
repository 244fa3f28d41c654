// Which clip each sound button and piano key plays. The clips themselves are made at build time
// and carried in the program as resources under these file names.
#pragma once

#include <string>

#include "platform/resources.h"
#include "sound/sound_board.h"

namespace zv {

constexpr int kBoardClipCount = 50;

// "mc01.wav" … "mc50.wav" for 官方音按钮1 … 50; empty for any other number.
std::string BoardClipName(int button);

// The clip of a piano key by virtual-key code: "note_q.wav" for the letter keys, "key_f1.wav" …
// "key_f12.wav" for F1..F12 and "key_1.wav" … "key_8.wav" for the digits 1..8; empty for any
// other key.
std::string PianoClipName(int virtualKey);

// The click of an effect button: one more playback of its clip, loop off.
bool PlayBoardClip(SoundBoard& board, const IResources& resources, int button);

}  // namespace zv
