// Little-endian fields of binary files (WAVE headers, captured samples), and the one reader of
// RIFF chunk headers. ReadLittleEndian's caller checks that the bytes are there; ReadRiffChunk
// checks for itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
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

struct RiffChunk {
  std::string_view id;
  uint32_t declared = 0;  // the size the header claims
  std::string_view body;  // as much of it as the bytes hold
};

// The chunk whose 8-byte header starts at `at`; nothing when the header itself is cut off. A
// body shorter than `declared` means the bytes end inside it.
inline std::optional<RiffChunk> ReadRiffChunk(std::string_view bytes, size_t at) {
  constexpr size_t kHeader = 8;
  if (at > bytes.size() || bytes.size() - at < kHeader) return std::nullopt;
  RiffChunk chunk{bytes.substr(at, 4), ReadLittleEndian(bytes, at + 4, 4), {}};
  const size_t held = bytes.size() - at - kHeader;
  chunk.body = bytes.substr(at + kHeader, std::min<size_t>(chunk.declared, held));
  return chunk;
}

}  // namespace zv
