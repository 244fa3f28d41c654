// The update signature check on Windows CNG (bcrypt.dll), which every Windows from 7 on has:
// SHA-256 of the bytes, then ECDSA P-256 verification of r and s against the maker's point.
#pragma once

#include "platform/signature_checker.h"

namespace zv::win32 {

class CngSignatureChecker final : public ISignatureChecker {
 public:
  bool BytesAreSigned(std::string_view bytes, const EcPublicKey& key,
                      const EcdsaSignature& signature, const std::atomic<bool>& cut) override;
};

}  // namespace zv::win32
