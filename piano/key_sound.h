// What a piano key sounds like: one start of the key's clip that returns at once and stops
// nothing already sounding, so notes overlap freely.
#pragma once

#include "piano/piano_keys.h"

namespace zv {

class IKeySound {
 public:
  virtual ~IKeySound() = default;
  virtual void Play(const PianoKey& key) = 0;
};

}  // namespace zv
