// Hashing goes through BCryptCreateHash / BCryptHashData / BCryptFinishHash rather than the
// one-call BCryptHash, which only Windows 10 has. The key is imported from a public blob, so
// no private key material ever exists on the user's machine.
// https://learn.microsoft.com/windows/win32/api/bcrypt/nf-bcrypt-bcryptverifysignature
// https://learn.microsoft.com/windows/win32/api/bcrypt/ns-bcrypt-bcrypt_ecckey_blob
#include "platform/win32/cng_signature_checker.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

constexpr DWORD kReadBlockBytes = 1 << 20;
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

bool HashFile(const std::wstring& path, const std::atomic<bool>& cut, UCHAR* digest) {
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  const UniqueHandle<AlgorithmTraits> sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE created = nullptr;
  if (!sha256 ||
      !BCRYPT_SUCCESS(BCryptCreateHash(sha256.get(), &created, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  const UniqueHandle<HashTraits> hash(created);
  std::vector<UCHAR> block(kReadBlockBytes);
  for (;;) {
    if (cut) return false;
    DWORD read = 0;
    if (!ReadFile(file.get(), block.data(), kReadBlockBytes, &read, nullptr)) return false;
    if (read == 0) break;
    if (!BCRYPT_SUCCESS(BCryptHashData(hash.get(), block.data(), read, 0))) return false;
  }
  return BCRYPT_SUCCESS(BCryptFinishHash(hash.get(), digest, kDigestBytes, 0));
}

}  // namespace

bool CngSignatureChecker::FileIsSigned(const std::string& path, const EcPublicKey& key,
                                       const EcdsaSignature& signature,
                                       const std::atomic<bool>& cut) {
  try {
    UCHAR digest[kDigestBytes];
    if (!HashFile(GbkToWide(path), cut, digest)) return false;

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
    return false;  // no memory for the read block: nothing is proven
  }
}

}  // namespace zv::win32
