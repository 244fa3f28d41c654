// Program start and end on any platform.
#include "app/program.h"

#include "app/application.h"
#include "online/update_signature.h"

namespace zv {

int RunProgram(Platform& platform) {
  Application application(platform, BuiltInUpdateKey());
  return application.Run();
}

}  // namespace zv
