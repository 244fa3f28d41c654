// The program from start to exit on whatever platform it is handed.
#pragma once

#include "base/data_paths.h"
#include "platform/platform.h"

namespace zv {

// Loads the main window, runs the message loop until it closes, runs the exit clean-up and
// returns the process exit code. Every file the program keeps lies in `paths`.
int RunProgram(Platform& platform, const DataPaths& paths);

}  // namespace zv
