// Whole-file access by absolute path. Paths and names are GBK bytes; every failure is reported
// as a plain result so callers can stay silent.
#pragma once

#include <optional>
#include <string>

namespace zv {

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  virtual bool DirectoryExists(const std::string& path) const = 0;
  // Creates one directory level.
  virtual bool CreateDirectory(const std::string& path) = 0;
  // Nothing when the file is missing or unreadable.
  virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
  // Replaces the whole file, or leaves what was there untouched: a crash or a full disk in the
  // middle never leaves a half-written file behind.
  virtual bool WriteFile(const std::string& path, const std::string& bytes) = 0;
  // True when no file is there afterwards.
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual std::string CurrentDirectory() const = 0;
};

}  // namespace zv
