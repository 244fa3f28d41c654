// Every test gets the whole fake platform with one call; a test changes only what it needs
// (a file on drive D:, a missing drive) before starting the program.
#pragma once

#include "app/application.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_ui_host.h"
#include "platform/platform.h"

namespace zv {

struct FakeWorld {
  EffectLog log;
  FakeUiHost ui{log};
  FakeShell shell{log};
  FakeFileSystem files;
  Platform platform{ui, shell, files};
  Application app{platform};

  // Starts the program: the main window loads and its start-up sequence runs.
  Form Start() {
    app.Start();
    return app.Main();
  }
};

}  // namespace zv
