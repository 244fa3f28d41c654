// libFuzzer target for the version resource of a downloaded program, read by walking the PE
// headers and the resource directories. Checked against a plain reading of the bytes: a version
// is only ever reported where a version block's key and fixed part really stand with those
// numbers, and bytes after the program (code signing appends its certificate there) never
// change what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "online/file_version.h"

namespace {

using zv::fuzz::Check;

const std::string kKey("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32);

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

// Some block in the bytes has the key at 6, the fixed part's signature at 40 and this version.
bool StandsInTheBytes(const std::string& bytes, const zv::FileVersion& v) {
  for (size_t key = bytes.find(kKey); key != std::string::npos; key = bytes.find(kKey, key + 1)) {
    if (key < 6 || bytes.size() - (key - 6) < 40 + 52) continue;
    const size_t block = key - 6;
    if (Le32(bytes, block + 40) == 0xFEEF04BD &&
        Le32(bytes, block + 48) == (uint32_t{v.major} << 16 | v.minor) &&
        Le32(bytes, block + 52) == (uint32_t{v.build} << 16 | v.revision)) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::optional<zv::FileVersion> version = zv::ReadFileVersion(input);
  if (!version) return 0;
  Check(StandsInTheBytes(input, *version));
  Check(zv::ReadFileVersion(input + std::string(4096, '\xA5')) == version);
  return 0;
}
