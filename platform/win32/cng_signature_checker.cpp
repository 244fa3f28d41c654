// Hashing goes through BCryptCreateHash / BCryptHashData / BCryptFinishHash rather than the
// one-call BCryptHash, which only Windows 10 has. The key is imported from a public blob, so
// no private key material ever exists on the user's machine.
// https://learn.microsoft.com/windows/win32/api/bcrypt/nf-bcrypt-bcryptverifysignature
// https://learn.microsoft.com/windows/win32/api/bcrypt/ns-bcrypt-bcrypt_ecckey_blob
#include "platform/win32/cng_signature_checker.h"

#include <windows.h>
// After <windows.h>, whose types it uses.
#include <bcrypt.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

// Hashed in blocks so that a cut is noticed within one block's time.
constexpr size_t kHashBlockBytes = 1 << 20;
constexpr ULONG kDigestBytes = 32;

struct AlgorithmTraits : NullIsNone<BCRYPT_ALG_HANDLE> {
  static void Close(BCRYPT_ALG_HANDLE handle) { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct HashTraits : NullIsNone<BCRYPT_HASH_HANDLE> {
  static void Close(BCRYPT_HASH_HANDLE handle) { BCryptDestroyHash(handle); }
};
struct KeyTraits : NullIsNone<BCRYPT_KEY_HANDLE> {
  static void Close(BCRYPT_KEY_HANDLE handle) { BCryptDestroyKey(handle); }
};

UniqueHandle<AlgorithmTraits> OpenAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0))) return {};
  return UniqueHandle<AlgorithmTraits>(handle);
}

bool Hash(std::string_view bytes, const std::atomic<bool>& cut, UCHAR* digest) {
  const UniqueHandle<AlgorithmTraits> sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE created = nullptr;
  if (!sha256 ||
      !BCRYPT_SUCCESS(BCryptCreateHash(sha256.get(), &created, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  const UniqueHandle<HashTraits> hash(created);
  for (size_t done = 0; done < bytes.size();) {
    if (cut) return false;
    const size_t block = std::min(bytes.size() - done, kHashBlockBytes);
    // BCryptHashData only reads its input, though it takes it as non-const.
    auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done));
    if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), data, static_cast<ULONG>(block), 0))) {
      return false;
    }
    done += block;
  }
  return !cut && BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, kDigestBytes, 0));
}

}  // namespace

bool CngSignatureChecker::BytesAreSigned(std::string_view bytes, const EcPublicKey& key,
                                         const EcdsaSignature& signature,
                                         const std::atomic<bool>& cut) {
  try {
    UCHAR digest[kDigestBytes];
    if (!Hash(bytes, cut, digest)) return false;

    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.size());
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, key.data(), key.size());

    const UniqueHandle<AlgorithmTraits> ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    BCRYPT_KEY_HANDLE keyHandle = nullptr;
    if (!ecdsa ||
        !BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &keyHandle,
                                            blob.data(), static_cast<ULONG>(blob.size()), 0))) {
      return false;
    }
    const UniqueHandle<KeyTraits> imported(keyHandle);
    // The API takes its inputs as non-const buffers; it does not write them.
    EcdsaSignature rs = signature;
    return BCryptVerifySignature(imported.get(), nullptr, digest, kDigestBytes, rs.data(),
                                 static_cast<ULONG>(rs.size()), 0) == 0;
  } catch (...) {
    return false;  // no memory for the key blob: nothing is proven
  }
}

}  // namespace zv::win32
