// In-memory files and directories for behaviour tests. Drives are the first two characters of
// a path ("D:"); a directory can only be made inside a drive that exists.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace zv {

class FakeFileSystem : public IFileSystem {
 public:
  std::set<std::string> drives{"C:", "D:"};
  std::set<std::string> directories;
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;  // paths whose read fails although the file exists
  std::set<std::string> unwritable;  // paths whose write fails and leaves the old content
  int writes = 0;

  bool DirectoryExists(const std::string& path) const override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) const override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool RemoveFile(const std::string& path) override {
    files.erase(path);
    return true;
  }
  std::string CurrentDirectory() const override { return "C:\\Program Files\\Zanvoro"; }

 private:
  bool ParentExists(const std::string& path) const;
};

}  // namespace zv
