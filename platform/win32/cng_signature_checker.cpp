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

struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  explicit Algorithm(const wchar_t* name) {
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0))) handle = nullptr;
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  ~Algorithm() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct Hash {
  BCRYPT_HASH_HANDLE handle = nullptr;
  Hash() = default;
  Hash(const Hash&) = delete;
  Hash& operator=(const Hash&) = delete;
  ~Hash() {
    if (handle) BCryptDestroyHash(handle);
  }
};

struct Key {
  BCRYPT_KEY_HANDLE handle = nullptr;
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (handle) BCryptDestroyKey(handle);
  }
};

bool HashFile(const std::wstring& path, const std::atomic<bool>& cut, UCHAR* digest) {
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return false;
  Algorithm sha256(BCRYPT_SHA256_ALGORITHM);
  Hash hash;
  if (!sha256.handle ||
      !BCRYPT_SUCCESS(BCryptCreateHash(sha256.handle, &hash.handle, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  std::vector<UCHAR> block(kReadBlockBytes);
  for (;;) {
    if (cut) return false;
    DWORD read = 0;
    if (!ReadFile(file.get(), block.data(), kReadBlockBytes, &read, nullptr)) return false;
    if (read == 0) break;
    if (!BCRYPT_SUCCESS(BCryptHashData(hash.handle, block.data(), read, 0))) return false;
  }
  return BCRYPT_SUCCESS(BCryptFinishHash(hash.handle, digest, kDigestBytes, 0));
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

    Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
    Key imported;
    if (!ecdsa.handle ||
        !BCRYPT_SUCCESS(BCryptImportKeyPair(ecdsa.handle, nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                            &imported.handle, blob.data(),
                                            static_cast<ULONG>(blob.size()), 0))) {
      return false;
    }
    // The API takes its inputs as non-const buffers; it does not write them.
    EcdsaSignature rs = signature;
    return BCryptVerifySignature(imported.handle, nullptr, digest, kDigestBytes, rs.data(),
                                 static_cast<ULONG>(rs.size()), 0) == 0;
  } catch (...) {
    return false;  // no memory for the read block: nothing is proven
  }
}

}  // namespace zv::win32
