// Signature field and key parsing. Only one spelling of a signature is accepted, so a document
// cannot pass a value through a lenient reader that the maker's tool would never write.
#include "online/update_signature.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/build_settings.h"
#include "base/gbk_text.h"
#include "online/file_version.h"

namespace zv {
namespace {

constexpr const char* kFieldMarker = "---";
constexpr size_t kSignatureField = 3;

// The order n of the P-256 group, big-endian; r and s must lie in 1..n-1.
constexpr std::array<uint8_t, 32> kGroupOrder = {
    0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17, 0x9E, 0x84, 0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::array<uint8_t, 64>> Parse64(const std::string& hex) {
  std::array<uint8_t, 64> bytes{};
  if (hex.size() != bytes.size() * 2) return std::nullopt;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigit(hex[2 * i]);
    const int low = HexDigit(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return bytes;
}

bool InScalarRange(const uint8_t* scalar) {
  const bool zero = std::all_of(scalar, scalar + 32, [](uint8_t b) { return b == 0; });
  return !zero && std::lexicographical_compare(scalar, scalar + 32, kGroupOrder.begin(),
                                               kGroupOrder.end());
}

// The file version every build of release `version` carries; nothing for a number no build can
// carry.
std::optional<FileVersion> ReleaseFileVersion(int version) {
  if (version < 0 || version > UINT16_MAX) return std::nullopt;
  return FileVersion{build::kVersionMajor, build::kVersionMinor, static_cast<uint16_t>(version), 0};
}

}  // namespace

std::string SignatureField(const std::string& document) {
  const std::vector<std::string> fields = SplitText(document, kFieldMarker);
  return fields.size() > kSignatureField ? fields[kSignatureField] : std::string();
}

std::optional<EcdsaSignature> ParseSignature(const std::string& field) {
  const std::optional<EcdsaSignature> signature = Parse64(field);
  if (!signature || !InScalarRange(signature->data()) || !InScalarRange(signature->data() + 32)) {
    return std::nullopt;
  }
  return signature;
}

std::optional<EcPublicKey> ParsePublicKey(const std::string& hex) { return Parse64(hex); }

std::optional<EcPublicKey> BuiltInUpdateKey() {
  const std::string hex = build::kUpdateKey;
  if (hex.empty()) return std::nullopt;
  // The build checked the key; should it still not read, no file can match it, which refuses
  // every update rather than letting any through.
  return ParsePublicKey(hex).value_or(EcPublicKey{});
}

bool UpdateIsSigned(ISignatureChecker& checker, std::string_view program, const EcPublicKey& key,
                    const std::string& field, const std::atomic<bool>& cut) {
  const std::optional<EcdsaSignature> signature = ParseSignature(field);
  return signature && checker.BytesAreSigned(program, key, *signature, cut);
}

bool UpdateIsGenuine(ISignatureChecker& checker, std::string_view program, const EcPublicKey& key,
                     const UpdateClaim& claim, int ownVersion, const std::atomic<bool>& cut) {
  if (claim.announced <= ownVersion) return false;
  const std::optional<FileVersion> announced = ReleaseFileVersion(claim.announced);
  // The version is read only from bytes the signature has vouched for.
  return announced && UpdateIsSigned(checker, program, key, claim.signature, cut) &&
         ReadFileVersion(program) == announced;
}

}  // namespace zv
