// Web links of the windows: a site path or one of the short links becomes a full URL.
#pragma once

#include <string>

namespace zv {

// "/" is the site root, "short:N" the Nth short link, anything else a path below the root.
std::string LinkUrl(const std::string& target);

}  // namespace zv
