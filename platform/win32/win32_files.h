// The file system the program sees on Windows: GBK paths converted once, W APIs underneath.
#pragma once

// <windows.h> maps CreateDirectory to CreateDirectoryA, which would rename the method below
// in some files and not in others. Take the header first, then drop the macro for good.
#include <windows.h>
#undef CreateDirectory

#include "platform/file_system.h"

namespace zv::win32 {

class Win32Files final : public IFileSystem {
 public:
  bool DirectoryExists(const std::string& path) const override;
  // True when the directory is there afterwards, including when it already was.
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) const override;
  // Writes beside the target and then swaps it in, so a failed write never leaves a
  // half-written configuration behind.
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool RemoveFile(const std::string& path) override;
  std::string CurrentDirectory() const override;
};

}  // namespace zv::win32
