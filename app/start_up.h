// What the main window does from its creation until it stands filled with the user's saved
// settings, and the heartbeat that keeps the online count fresh afterwards.
#pragma once

#include "base/data_paths.h"
#include "platform/file_system.h"
#include "ui/form.h"

namespace zv {

constexpr int kHeartbeatMilliseconds = 3000;
constexpr int kHeartbeatsPerOnlineRefresh = 100;

// No step depends on an earlier one succeeding and nothing is reported: a missing drive or
// file just leaves the holders empty and the layout captions in place.
void RunStartUpSequence(const Form& main, IFileSystem& files, const DataPaths& paths);

// Asks for one online-count refresh on the next timer tick.
void ArmOnlineCount(const Form& main);

void HeartbeatTick(const Form& main);

}  // namespace zv
