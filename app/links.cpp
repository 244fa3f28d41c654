// Builds link URLs from the official site host and the short links chosen at build time.
#include "app/links.h"

#include "base/build_settings.h"

namespace zv {

std::string LinkUrl(const std::string& target) {
  if (target == "short:1") return build::kShortLink1;
  if (target == "short:2") return build::kShortLink2;
  if (target == "short:3") return build::kShortLink3;
  const std::string root = std::string("http://") + build::kSiteHost + "/";
  return target == "/" ? root : root + target;
}

}  // namespace zv
