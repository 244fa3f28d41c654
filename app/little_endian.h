// Little-endian fields of binary files (WAVE headers, captured samples). The caller checks that
// the bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

// The unsigned value of `size` bytes (at most 4) from `at`.
inline uint32_t ReadLittleEndian(std::string_view bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline void AppendLittleEndian(std::string& out, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace zv
