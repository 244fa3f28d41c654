// Checks that a file's bytes are exactly those its maker signed: ECDSA on the P-256 curve over
// the SHA-256 of the whole file. Reading the file, the signature text and choosing the key are
// the caller's, so whatever else the caller reads from the file comes from the bytes checked.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

namespace zv {

using EcPublicKey = std::array<uint8_t, 64>;     // X then Y, 32 big-endian bytes each
using EcdsaSignature = std::array<uint8_t, 64>;  // r then s, 32 big-endian bytes each

class ISignatureChecker {
 public:
  virtual ~ISignatureChecker() = default;
  // True only when `signature` is valid for `bytes` under `key`. Hashes a large file for a
  // while, so it belongs on a worker; `cut` set ends the work early with false.
  virtual bool BytesAreSigned(std::string_view bytes, const EcPublicKey& key,
                              const EcdsaSignature& signature, const std::atomic<bool>& cut) = 0;
};

}  // namespace zv
