// Whether a downloaded update may be started: the maker's own file, by the signature the
// version document publishes as its fourth field (read strictly) and the key this build trusts,
// and the release the document announced, by the version the file itself carries.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

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

// True only when `field` is a well-formed signature and `program` checks out against it under
// `key`. Blocks for as long as hashing takes.
bool UpdateIsSigned(ISignatureChecker& checker, std::string_view program, const EcPublicKey& key,
                    const std::string& field, const std::atomic<bool>& cut);

// What the version document says about the file it points to.
struct UpdateClaim {
  std::string signature;  // the fourth field
  int announced = 0;      // the published version, as the version check read it
};

// A downloaded update may be started only when it is signed with `key`, the announced version
// is above this program's own, and the file's own version resource holds exactly that release.
// A signed file announced under another number (an old release served as a new one, so that it
// would be downloaded at every start, or a known-faulty one) fails here.
bool UpdateIsGenuine(ISignatureChecker& checker, std::string_view program, const EcPublicKey& key,
                     const UpdateClaim& claim, int ownVersion, const std::atomic<bool>& cut);

}  // namespace zv
