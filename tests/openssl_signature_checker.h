// The native tests' signature checker, on OpenSSL: the same job as the Windows one, done by an
// independent implementation, so the shared case table is known to hold real signatures.
#pragma once

#include <openssl/bn.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/signature_checker.h"

namespace zv {

class OpenSslSignatureChecker : public ISignatureChecker {
 public:
  bool BytesAreSigned(std::string_view bytes, const EcPublicKey& key,
                      const EcdsaSignature& signature, const std::atomic<bool>& cut) override {
    unsigned char digest[32];
    if (!Hash(bytes, cut, digest)) return false;
    // SubjectPublicKeyInfo of an uncompressed P-256 point, the point itself appended.
    std::vector<unsigned char> info = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                       0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                       0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
    info.insert(info.end(), key.begin(), key.end());
    const unsigned char* at = info.data();
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
        d2i_PUBKEY(nullptr, &at, static_cast<long>(info.size())), EVP_PKEY_free);
    if (!pkey) return false;

    std::unique_ptr<ECDSA_SIG, decltype(&ECDSA_SIG_free)> sig(ECDSA_SIG_new(), ECDSA_SIG_free);
    BIGNUM* r = BN_bin2bn(signature.data(), 32, nullptr);
    BIGNUM* s = BN_bin2bn(signature.data() + 32, 32, nullptr);
    if (!sig || !r || !s || !ECDSA_SIG_set0(sig.get(), r, s)) {
      BN_free(r);
      BN_free(s);
      return false;
    }
    unsigned char* der = nullptr;
    const int derLength = i2d_ECDSA_SIG(sig.get(), &der);
    if (derLength <= 0) return false;
    std::unique_ptr<unsigned char, void (*)(unsigned char*)> derOwner(
        der, [](unsigned char* p) { OPENSSL_free(p); });

    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
        EVP_PKEY_CTX_new(pkey.get(), nullptr), EVP_PKEY_CTX_free);
    return context && EVP_PKEY_verify_init(context.get()) == 1 &&
           EVP_PKEY_verify(context.get(), der, static_cast<size_t>(derLength), digest,
                           sizeof digest) == 1;
  }

 private:
  static bool Hash(std::string_view bytes, const std::atomic<bool>& cut, unsigned char* digest) {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> hash(EVP_MD_CTX_new(),
                                                                 EVP_MD_CTX_free);
    if (!hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1) return false;
    constexpr size_t kBlock = 1 << 20;
    for (size_t done = 0; done < bytes.size(); done += kBlock) {
      if (cut) return false;
      const size_t block = std::min(kBlock, bytes.size() - done);
      if (EVP_DigestUpdate(hash.get(), bytes.data() + done, block) != 1) return false;
    }
    unsigned int length = 0;
    return !cut && EVP_DigestFinal_ex(hash.get(), digest, &length) == 1 && length == 32;
  }
};

}  // namespace zv
