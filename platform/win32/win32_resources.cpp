// Resource bytes stay mapped with the module, so a view of them never needs freeing or copying.
#include "platform/win32/win32_resources.h"

#include "platform/win32/picture_cache.h"

namespace zv::win32 {

std::string_view ModuleResources::Bytes(const std::string& fileName) const {
  if (fileName.empty()) return {};
  const std::wstring name = ResourceNameFor(fileName);
  HRSRC resource = FindResourceW(module_, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) return {};
  const HGLOBAL loaded = LoadResource(module_, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return std::string_view(static_cast<const char*>(bytes), SizeofResource(module_, resource));
}

}  // namespace zv::win32
