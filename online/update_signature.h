// Whether a downloaded update is the maker's own: the signature the version document publishes
// as its fourth field, read strictly, and the key this build trusts.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "platform/signature_checker.h"

namespace zv {

// The version document's fourth field; empty when it has none (an older document).
std::string SignatureField(const std::string& document);

// Exactly 128 lowercase hex digits, r then s, each from 1 to the curve's order less one;
// anything else is no signature at all.
std::optional<EcdsaSignature> ParseSignature(const std::string& field);

// Exactly 128 lowercase hex digits, X then Y.
std::optional<EcPublicKey> ParsePublicKey(const std::string& hex);

// The key the build was given; nothing when the build checks no signatures.
std::optional<EcPublicKey> BuiltInUpdateKey();

// True only when `field` is a well-formed signature and the file at `path` checks out against
// it under `key`. Blocks for as long as reading the file takes.
bool UpdateFileIsSigned(ISignatureChecker& checker, const std::string& path,
                        const EcPublicKey& key, const std::string& field,
                        const std::atomic<bool>& cut);

}  // namespace zv
