// Update files with signatures the check must accept or refuse, run against OpenSSL natively and
// against Windows CNG under Wine, so both sides agree on every case. The keys are test-only:
// made for this table, their private halves were never kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

enum class SignedFile { Large, LargeMiddleByteChanged, LargeLastByteChanged, Short, Empty };

// Larger than one read block of either checker, and not a multiple of it.
constexpr size_t kLargeSignedFileBytes = 3 * 1024 * 1024 + 7;

inline std::string SignedFileBytes(SignedFile file) {
  if (file == SignedFile::Empty) return {};
  if (file == SignedFile::Short) return std::string("Zanvoro\0\xff update", 16);
  std::string bytes(kLargeSignedFileBytes, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(((i * 31 + 7) ^ (i >> 11)) & 0xFF);
  }
  if (file == SignedFile::LargeMiddleByteChanged) bytes[2 * 1024 * 1024 + 3] ^= 0x01;
  if (file == SignedFile::LargeLastByteChanged) bytes.back() ^= 0x80;
  return bytes;
}

// Public keys (X then Y) of the two test-only key pairs.
constexpr const char* kTestKeyA =
    "5e54e7a21e8deea85cd2457a5851f58f262a4011a32e8ee3fd30c5bfaf12056c"
    "37afea970d5ed6b879f29fa2ab76be02b1bae179c1d7c4af3556f0a83db0a3da";
constexpr const char* kTestKeyB =
    "168175ca519e1ab4c8f1adc36360653c4dc5c818d1afd33e11286a93a0ed632d"
    "30dc84accf345f3092a50dfacf9a3abf5b17f7e13992c0b21482547017ebd913";

// r and s of signatures made with `openssl dgst -sha256 -sign`.
constexpr const char* kLargeR = "6198a347ab0d5ff9bca4b5d1f67680a9ff3a7be8f5bb1d26298fd64fa2fa4b4e";
constexpr const char* kLargeS = "ae58161c4365d32a925859fde9fcde23b9a4801d601d289ecabdf663afd3d26f";
constexpr const char* kLargeByKeyB =
    "0898ff2bd0c1e564d97342ef0c8902b6af9ebf9cdccec8fc6b615f759eece5b9"
    "04a381e15cd4967ac796685b5388a28587bcc01193b58b6415eaedafee2ca000";
constexpr const char* kEmptyByKeyA =
    "c9c916afd0e66d4ebc94ca50b1a4859949a314fd0cb9ff76dc50b6a8d64072bd"
    "77e6c764c676307b406a31d033b6c450c80978969a80acee1b37a7de6dcc7216";
constexpr const char* kShortByKeyA =
    "43d0f82d189b7b24016deb96918fd68b8ba258d05e613bd73b819e4f4379cf23"
    "c1e02c3ec73346b74db57b85a305827e3b2cd60e3779b93ab7f38e8c9deebbb2";

// The order of the P-256 group: no valid r or s reaches it.
constexpr const char* kOrder = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551";
constexpr const char* kZero = "0000000000000000000000000000000000000000000000000000000000000000";

struct SignatureCase {
  const char* label;
  SignedFile file;
  const char* key;
  std::string field;  // as the version document carries it
  bool valid;
  // The field is 128 hex digits, so its bytes can also be handed to a checker unparsed.
  bool wellFormedHex = false;
};

inline std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

inline const std::vector<SignatureCase>& SignatureCases() {
  const std::string good = std::string(kLargeR) + kLargeS;
  static const std::vector<SignatureCase> cases = {
      {"good", SignedFile::Large, kTestKeyA, good, true, true},
      {"goodShort", SignedFile::Short, kTestKeyA, kShortByKeyA, true, true},
      {"goodEmptyFile", SignedFile::Empty, kTestKeyA, kEmptyByKeyA, true, true},
      {"middleByteChanged", SignedFile::LargeMiddleByteChanged, kTestKeyA, good, false, true},
      {"lastByteChanged", SignedFile::LargeLastByteChanged, kTestKeyA, good, false, true},
      {"signedWithAnotherKey", SignedFile::Large, kTestKeyA, kLargeByKeyB, false, true},
      {"checkedUnderAnotherKey", SignedFile::Large, kTestKeyB, good, false, true},
      {"signatureOfAnotherFile", SignedFile::Short, kTestKeyA, kEmptyByKeyA, false, true},
      {"rAndSSwapped", SignedFile::Large, kTestKeyA, std::string(kLargeS) + kLargeR, false, true},
      {"rZero", SignedFile::Large, kTestKeyA, std::string(kZero) + kLargeS, false, true},
      {"sZero", SignedFile::Large, kTestKeyA, std::string(kLargeR) + kZero, false, true},
      {"rIsTheOrder", SignedFile::Large, kTestKeyA, std::string(kOrder) + kLargeS, false, true},
      {"sIsTheOrder", SignedFile::Large, kTestKeyA, std::string(kLargeR) + kOrder, false, true},
      {"rAboveTheOrder", SignedFile::Large, kTestKeyA,
       std::string(64, 'f') + kLargeS, false, true},
      {"sAboveTheOrder", SignedFile::Large, kTestKeyA,
       std::string(kLargeR) + std::string(64, 'f'), false, true},
      {"oneDigitShort", SignedFile::Large, kTestKeyA, good.substr(0, 127), false},
      {"oneByteShort", SignedFile::Large, kTestKeyA, good.substr(0, 126), false},
      {"oneByteLong", SignedFile::Large, kTestKeyA, good + "00", false},
      {"nonHexDigit", SignedFile::Large, kTestKeyA, good.substr(0, 10) + "g" + good.substr(11),
       false},
      {"upperCaseHex", SignedFile::Large, kTestKeyA, UpperCase(good), false},
      {"lineBreakAfter", SignedFile::Large, kTestKeyA, good + "\n", false},
      {"spaceBefore", SignedFile::Large, kTestKeyA, " " + good, false},
      {"emptyField", SignedFile::Large, kTestKeyA, "", false},
  };
  return cases;
}

// The cases whose field is 64 bytes of hex, to hand to a checker directly: r and s outside the
// group must be refused by the checker itself too, not only by the reading of the field.
inline std::vector<SignatureCase> WellFormedHexCases() {
  std::vector<SignatureCase> cases;
  for (const SignatureCase& c : SignatureCases()) {
    if (c.wellFormedHex) cases.push_back(c);
  }
  return cases;
}

}  // namespace zv
