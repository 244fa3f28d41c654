// The update signature as the program reads it and checks it: the shared case table through
// OpenSSL, the document's fourth field, and a check that is cut short.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "case_name.h"
#include "online/update_signature.h"
#include "openssl_signature_checker.h"
#include "signature_cases.h"

namespace zv {
namespace {

// A file holding the case's bytes for the length of one test.
class CaseFile {
 public:
  explicit CaseFile(SignedFile file) {
    char name[] = "/tmp/zanvoro-signed-XXXXXX";
    const int handle = mkstemp(name);
    path_ = name;
    if (handle >= 0) close(handle);
    std::ofstream(path_, std::ios::binary) << SignedFileBytes(file);
  }
  ~CaseFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::atomic<bool> kNotCut{false};

class SignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(SignatureCaseTest, OpenSslAgreesWithTheTable) {
  const SignatureCase& c = GetParam();
  const CaseFile file(c.file);
  OpenSslSignatureChecker checker;
  EXPECT_EQ(UpdateFileIsSigned(checker, file.path(), *ParsePublicKey(c.key), c.field, kNotCut),
            c.valid);
}

class RawSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(RawSignatureCaseTest, CheckerGivenTheRawBytesAgrees) {
  const SignatureCase& c = GetParam();
  const CaseFile file(c.file);
  OpenSslSignatureChecker checker;
  EXPECT_EQ(checker.FileIsSigned(file.path(), *ParsePublicKey(c.key), *ParsePublicKey(c.field),
                                 kNotCut),
            c.valid);
}

INSTANTIATE_TEST_SUITE_P(Table, SignatureCaseTest, testing::ValuesIn(SignatureCases()),
                         [](const auto& info) { return std::string(info.param.label); });
INSTANTIATE_TEST_SUITE_P(Table, RawSignatureCaseTest,
                         testing::ValuesIn(WellFormedHexCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(UpdateSignatureTest, CheckCutShortIsNoSignature) {
  const CaseFile file(SignedFile::Large);
  OpenSslSignatureChecker checker;
  std::atomic<bool> cut{true};
  EXPECT_FALSE(UpdateFileIsSigned(checker, file.path(), *ParsePublicKey(kTestKeyA),
                                  std::string(kLargeR) + kLargeS, cut));
}

TEST(UpdateSignatureTest, MissingFileIsNoSignature) {
  OpenSslSignatureChecker checker;
  EXPECT_FALSE(UpdateFileIsSigned(checker, "/tmp/zanvoro-no-such-file", *ParsePublicKey(kTestKeyA),
                                  std::string(kLargeR) + kLargeS, kNotCut));
}

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
