// Small WAVE files built byte by byte, for tests that need clips with a known layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

inline std::string Le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le(static_cast<uint32_t>(body.size()), 4) + body + std::string(body.size() % 2, '\0');
}

inline std::string PcmFormat(int channels, int rate, int bits) {
  const int align = channels * bits / 8;
  return Le(1, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
         Le(bits, 2);
}

// RIFF container around the chunks; `riffLength` overrides the honest length.
inline std::string Riff(const std::vector<std::string>& chunks, int64_t riffLength = -1) {
  std::string body = "WAVE";
  for (const std::string& chunk : chunks) body += chunk;
  const uint32_t length = riffLength < 0 ? static_cast<uint32_t>(body.size())
                                         : static_cast<uint32_t>(riffLength);
  return "RIFF" + Le(length, 4) + body;
}

// A canonical 44-byte-header clip of mono 8-bit samples counting up from `first`.
inline std::string PcmClip(size_t dataBytes, int first = 0) {
  std::string data(dataBytes, '\0');
  for (size_t i = 0; i < dataBytes; ++i) data[i] = static_cast<char>((first + i * 7) & 0xFF);
  return Riff({Chunk("fmt ", PcmFormat(1, 11025, 8)), Chunk("data", data)});
}

}  // namespace zv::test
