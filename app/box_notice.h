// The BOX tab: the turntable is not built yet, so the tab says so and opens the feedback board.
#pragma once

#include "platform/shell.h"
#include "platform/ui_host.h"

namespace zv {

void ShowBoxNotice(IUiHost& ui, IShell& shell);

}  // namespace zv
