// The bundle of platform services a feature receives; the real and the fake platform fill it.
#pragma once

#include "platform/file_system.h"
#include "platform/shell.h"
#include "platform/ui_host.h"

namespace zv {

struct Platform {
  IUiHost& ui;
  IShell& shell;
  IFileSystem& files;
};

}  // namespace zv
