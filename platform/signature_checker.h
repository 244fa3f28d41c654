// Checks that a file holds exactly the bytes its maker signed: ECDSA on the P-256 curve over the
// SHA-256 of the whole file. Reading the signature text and choosing the key are the caller's.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace zv {

using EcPublicKey = std::array<uint8_t, 64>;     // X then Y, 32 big-endian bytes each
using EcdsaSignature = std::array<uint8_t, 64>;  // r then s, 32 big-endian bytes each

class ISignatureChecker {
 public:
  virtual ~ISignatureChecker() = default;
  // True only when the whole file at `path` (GBK) could be read and `signature` is valid for
  // its bytes under `key`. Reads the file in pieces and may take a while on a large file, so it
  // belongs on a worker; `cut` set ends the read early with false.
  virtual bool FileIsSigned(const std::string& path, const EcPublicKey& key,
                            const EcdsaSignature& signature, const std::atomic<bool>& cut) = 0;
};

}  // namespace zv
