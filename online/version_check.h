// Ticks of the main window's 时钟1 that lead up to the version check.
#pragma once

#include "ui/form.h"

namespace zv {

constexpr int kVersionCheckTicks = 100;

// Counts the tick in 进度条1; the hundredth tick stops 时钟1 and resets the count.
// Returns true on that tick, when the check is due.
bool VersionCheckTick(const Form& main);

}  // namespace zv
