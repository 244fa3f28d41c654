// The clips and other data the exe carries as RCDATA resources, found by file name.
#pragma once

#include <windows.h>

#include "platform/resources.h"

namespace zv::win32 {

class ModuleResources final : public IResources {
 public:
  explicit ModuleResources(HMODULE module) : module_(module) {}
  std::string_view Bytes(const std::string& fileName) const override;

 private:
  HMODULE module_;
};

}  // namespace zv::win32
