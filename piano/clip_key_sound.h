// The piano's keys played through the sound board's clips.
#pragma once

#include <memory>

#include "piano/key_sound.h"

namespace zv {

std::unique_ptr<IKeySound> MakeKeySound();

}  // namespace zv
