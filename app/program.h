// The program from start to exit on whatever platform it is handed.
#pragma once

#include "platform/platform.h"

namespace zv {

// Loads the main window, runs the message loop until it closes, runs the exit clean-up and
// returns the process exit code.
int RunProgram(Platform& platform);

}  // namespace zv
