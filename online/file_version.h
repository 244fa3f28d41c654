// The file version a Windows program declares in its version resource, read from the program's
// bytes alone. The headers lead to the resource; nothing is searched for, since the fixed part's
// signature also turns up by chance inside the sound clips a program carries. Every read is
// bounded by the bytes given, and nothing is copied: a program file is tens of megabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zv {

struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  uint16_t revision = 0;

  bool operator==(const FileVersion& other) const {
    return major == other.major && minor == other.minor && build == other.build &&
           revision == other.revision;
  }
};

// FILEVERSION of the fixed part of version resource 1, the one Windows shows in a file's
// properties, of a 64-bit program. Nothing when the bytes are no such program, when the
// resource is missing, held in more than one language (which one counts would be a guess) or
// malformed, or when any part of the way to it lies outside the bytes.
std::optional<FileVersion> ReadFileVersion(std::string_view program);

}  // namespace zv
