// The update signature as the program reads it and checks it (the shared case table through
// OpenSSL, the document's fourth field, a check cut short), and the rule that decides whether a
// downloaded file may be started.
#include "online/update_signature.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "openssl_signature_checker.h"
#include "platform/fake/fake_signature_checker.h"
#include "signature_cases.h"
#include "test_programs.h"

namespace zv {
namespace {

std::atomic<bool> kNotCut{false};

class SignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(SignatureCaseTest, OpenSslAgreesWithTheTable) {
  const SignatureCase& c = GetParam();
  OpenSslSignatureChecker checker;
  EXPECT_EQ(
      UpdateIsSigned(checker, SignedFileBytes(c.file), *ParsePublicKey(c.key), c.field, kNotCut),
      c.valid);
}

class RawSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(RawSignatureCaseTest, CheckerGivenTheRawBytesAgrees) {
  const SignatureCase& c = GetParam();
  OpenSslSignatureChecker checker;
  EXPECT_EQ(checker.BytesAreSigned(SignedFileBytes(c.file), *ParsePublicKey(c.key),
                                   *ParsePublicKey(c.field), kNotCut),
            c.valid);
}

INSTANTIATE_TEST_SUITE_P(Table, SignatureCaseTest, testing::ValuesIn(SignatureCases()),
                         [](const auto& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Table, RawSignatureCaseTest,
                         testing::ValuesIn(WellFormedHexCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(UpdateSignatureTest, CheckCutShortIsNoSignature) {
  OpenSslSignatureChecker checker;
  std::atomic<bool> cut{true};
  EXPECT_FALSE(UpdateIsSigned(checker, SignedFileBytes(SignedFile::Large),
                              *ParsePublicKey(kTestKeyA), std::string(kLargeR) + kLargeS, cut));
}

// Whether a downloaded file may be started: the signature (decided here by the fake checker)
// and the release the file's own version resource names, against the announced and own version.
struct GenuineCase {
  std::string name;
  std::string program;  // a test program, or none: bytes that are no program
  int announced;
  int own;
  bool signatureValid;
  bool genuine;
};

class GenuineUpdateTest : public testing::TestWithParam<GenuineCase> {};

TEST_P(GenuineUpdateTest, OnlyTheAnnouncedReleaseAboveOwnSignedByTheMaker) {
  const GenuineCase& c = GetParam();
  const std::string program = c.program.empty() ? "MZ downloaded" : test::TestProgram(c.program);
  ASSERT_FALSE(program.empty());
  FakeSignatureChecker checker;
  checker.valid = c.signatureValid;
  const UpdateClaim claim{std::string(64, '1') + std::string(64, '2'), c.announced};
  EXPECT_EQ(UpdateIsGenuine(checker, program, *ParsePublicKey(kTestKeyA), claim, c.own, kNotCut),
            c.genuine);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GenuineUpdateTest,
    testing::Values(GenuineCase{"announcedReleaseAboveOwn", "release_7", 7, 1, true, true},
                    GenuineCase{"announcedJustAboveOwn", "release_7", 7, 6, true, true},
                    GenuineCase{"fileIsTheRunningRelease", "release_7", 7, 7, true, false},
                    GenuineCase{"announcedBelowOwn", "release_7", 7, 8, true, false},
                    GenuineCase{"olderFileAnnouncedHigher", "release_7", 8, 1, true, false},
                    GenuineCase{"newerFileAnnouncedLower", "release_7", 6, 1, true, false},
                    // 65543 has the low 16 bits of 7.
                    GenuineCase{"announcedPastSixteenBits", "release_7", 65543, 1, true, false},
                    GenuineCase{"signatureFails", "release_7", 7, 1, false, false},
                    // 1.2.65535.4: the announced number, but not in the release's form.
                    GenuineCase{"otherFirstNumbers", "numbers", 65535, 1, true, false},
                    GenuineCase{"noVersionResource", "no_version", 7, 1, true, false},
                    GenuineCase{"notAProgram", "", 7, 1, true, false}),
    [](const auto& info) { return info.param.name; });

struct FieldCase {
  std::string document, field;
};

class SignatureFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(SignatureFieldTest, IsTheFourthFieldOfTheDocument) {
  EXPECT_EQ(SignatureField(GetParam().document), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SignatureFieldTest,
    testing::Values(FieldCase{"2---http://a/b.exe---名字---ab12", "ab12"},
                    FieldCase{"2---http://a/b.exe---名字---ab12---", "ab12"},
                    FieldCase{"2---http://a/b.exe---名字---ab12---more", "ab12"},
                    FieldCase{"2---http://a/b.exe---名字", ""},
                    FieldCase{"2---http://a/b.exe---名字---", ""},
                    FieldCase{"2---http://a/b.exe---名字------", ""},
                    FieldCase{"2---a", ""}, FieldCase{"", ""}),
    test::NamedBy([](const FieldCase& c) { return c.document; }));

TEST(UpdateSignatureTest, KeyIsReadOnlyFromLowerCaseHexOfTheRightLength) {
  EXPECT_TRUE(ParsePublicKey(kTestKeyA));
  EXPECT_FALSE(ParsePublicKey(UpperCase(kTestKeyA)));
  EXPECT_FALSE(ParsePublicKey(std::string(kTestKeyA).substr(2)));
  EXPECT_FALSE(ParsePublicKey(""));
  EXPECT_EQ((*ParsePublicKey(kTestKeyA))[0], 0x5e);
  EXPECT_EQ((*ParsePublicKey(kTestKeyA))[63], 0xda);
}

}  // namespace
}  // namespace zv
