// Counting the version-check ticks.
#include "online/version_check.h"

namespace zv {

bool VersionCheckTick(const Form& main) {
  const int ticks = main.Position("进度条1") + 1;
  main.SetPosition("进度条1", ticks);
  if (ticks < kVersionCheckTicks) return false;
  main.SetPosition("进度条1", 0);
  main.SetInterval("时钟1", 0);
  return true;
}

}  // namespace zv
