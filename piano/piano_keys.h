// The 46 keys the piano takes: the 26 letters play notes of a major scale, F1..F12 and 1..8 play
// short effects. The order of the table is the order the keys are registered in.
#pragma once

#include <array>
#include <cstddef>

namespace zv {

struct PianoKey {
  const char* name;  // "F1", "1", "Q": also names the key's clip
  unsigned virtualKey;
};

constexpr size_t kPianoKeyCount = 46;

// F1..F12, 1..8, A..Z.
const std::array<PianoKey, kPianoKeyCount>& PianoKeys();

// Indexes into PianoKeys() in the order a press is looked up: the notes from the lowest
// (Q W E A S Z X, R T D F G C V, Y U I H J B N, O P K L M), then F1..F12, then 1..8.
const std::array<size_t, kPianoKeyCount>& PianoLookupOrder();

}  // namespace zv
