// Program start and end on any platform.
#include "app/program.h"

#include "app/application.h"
#include "online/update_signature.h"

namespace zv {

int RunProgram(Platform& platform, const DataPaths& paths) {
  Application application(platform, BuiltInUpdateKey(), paths);
  return application.Run();
}

}  // namespace zv
