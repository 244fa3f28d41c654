// Program start and end on any platform.
#include "app/program.h"

#include "app/application.h"

namespace zv {

int RunProgram(Platform& platform) {
  Application application(platform);
  return application.Run();
}

}  // namespace zv
