// In-memory file system.
#include "platform/fake/fake_file_system.h"

namespace zv {

bool FakeFileSystem::ParentExists(const std::string& path) const {
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return false;
  const std::string parent = path.substr(0, slash);
  return parent.size() == 2 ? drives.count(parent) != 0 : directories.count(parent) != 0;
}

bool FakeFileSystem::DirectoryExists(const std::string& path) const {
  return directories.count(path) != 0;
}

bool FakeFileSystem::CreateDirectory(const std::string& path) {
  if (DirectoryExists(path) || !ParentExists(path)) return false;
  directories.insert(path);
  return true;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) const {
  auto it = files.find(path);
  if (it == files.end() || unreadable.count(path)) return std::nullopt;
  return it->second;
}

bool FakeFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  if (!ParentExists(path) || unwritable.count(path)) return false;
  files[path] = bytes;
  ++writes;
  return true;
}

}  // namespace zv
