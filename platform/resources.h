// Read-only data carried inside the program (clips, pictures), found by file name.
#pragma once

#include <string>
#include <string_view>

namespace zv {

class IResources {
 public:
  virtual ~IResources() = default;
  // The bytes stay valid for the life of the program; empty when there is no such resource.
  virtual std::string_view Bytes(const std::string& fileName) const = 0;
};

}  // namespace zv
