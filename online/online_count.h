// The number of users online on the forum, cut from the viewer's page and shown in the banner.
#pragma once

#include <string>

#include "online/page_viewer.h"
#include "ui/form.h"

namespace zv {

// Whatever stands between the first start marker and the first end marker after it; empty
// when either is missing.
std::string CutOnlineCount(const std::string& page);

// 时钟3's tick: waits while the viewer is busy, then reads once and stops the timer.
void OnlineCountTick(const Form& main, const PageViewer& viewer);

}  // namespace zv
