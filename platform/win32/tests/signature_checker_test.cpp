// The update signature cases through Windows CNG, against the table OpenSSL passes natively.
#include <gtest/gtest.h>

#include "online/update_signature.h"
#include "platform/win32/cng_signature_checker.h"
#include "tests/case_name.h"
#include "tests/signature_cases.h"

namespace zv::win32 {
namespace {

std::atomic<bool> kNotCut{false};

class CngSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(CngSignatureCaseTest, AgreesWithTheTable) {
  const SignatureCase& c = GetParam();
  CngSignatureChecker checker;
  EXPECT_EQ(
      UpdateIsSigned(checker, SignedFileBytes(c.file), *ParsePublicKey(c.key), c.field, kNotCut),
      c.valid);
}

class CngRawSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(CngRawSignatureCaseTest, GivenTheRawBytesAgrees) {
  const SignatureCase& c = GetParam();
  CngSignatureChecker checker;
  EXPECT_EQ(checker.BytesAreSigned(SignedFileBytes(c.file), *ParsePublicKey(c.key),
                                   *ParsePublicKey(c.field), kNotCut),
            c.valid);
}

const auto kByLabel = test::NamedBy([](const SignatureCase& c) { return c.label; });
INSTANTIATE_TEST_SUITE_P(Table, CngSignatureCaseTest, testing::ValuesIn(SignatureCases()),
                         kByLabel);
INSTANTIATE_TEST_SUITE_P(Table, CngRawSignatureCaseTest, testing::ValuesIn(WellFormedHexCases()),
                         kByLabel);

TEST(CngSignatureCheckerTest, CutShortIsNoSignature) {
  CngSignatureChecker checker;
  std::atomic<bool> cut{true};
  EXPECT_FALSE(UpdateIsSigned(checker, SignedFileBytes(SignedFile::Large),
                              *ParsePublicKey(kTestKeyA), std::string(kLargeR) + kLargeS, cut));
}

TEST(CngSignatureCheckerTest, PointOffTheCurveIsNoKey) {
  CngSignatureChecker checker;
  EcPublicKey key = *ParsePublicKey(kTestKeyA);
  key[63] ^= 0x01;
  EXPECT_FALSE(UpdateIsSigned(checker, SignedFileBytes(SignedFile::Large), key,
                              std::string(kLargeR) + kLargeS, kNotCut));
}

}  // namespace
}  // namespace zv::win32
