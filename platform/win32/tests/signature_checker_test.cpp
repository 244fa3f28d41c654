// The update signature cases through Windows CNG, against the table OpenSSL passes natively.
#include <gtest/gtest.h>
#include <windows.h>

#include "online/update_signature.h"
#include "platform/win32/cng_signature_checker.h"
#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"
#include "tests/case_name.h"
#include "tests/signature_cases.h"

namespace zv::win32 {
namespace {

class CaseFile {
 public:
  explicit CaseFile(SignedFile file) {
    wchar_t directory[MAX_PATH] = {};
    wchar_t name[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    GetTempFileNameW(directory, L"zvs", 0, name);
    path_ = name;
    const std::string bytes = SignedFileBytes(file);
    const KernelHandle handle(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (handle)
      WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  ~CaseFile() { DeleteFileW(path_.c_str()); }
  std::string path() const { return WideToGbk(path_); }

 private:
  std::wstring path_;
};

std::atomic<bool> kNotCut{false};

class CngSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(CngSignatureCaseTest, AgreesWithTheTable) {
  const SignatureCase& c = GetParam();
  const CaseFile file(c.file);
  CngSignatureChecker checker;
  EXPECT_EQ(UpdateFileIsSigned(checker, file.path(), *ParsePublicKey(c.key), c.field, kNotCut),
            c.valid);
}

class CngRawSignatureCaseTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(CngRawSignatureCaseTest, GivenTheRawBytesAgrees) {
  const SignatureCase& c = GetParam();
  const CaseFile file(c.file);
  CngSignatureChecker checker;
  EXPECT_EQ(checker.FileIsSigned(file.path(), *ParsePublicKey(c.key), *ParsePublicKey(c.field),
                                 kNotCut),
            c.valid);
}

const auto kByLabel = test::NamedBy([](const SignatureCase& c) { return c.label; });
INSTANTIATE_TEST_SUITE_P(Table, CngSignatureCaseTest, testing::ValuesIn(SignatureCases()),
                         kByLabel);
INSTANTIATE_TEST_SUITE_P(Table, CngRawSignatureCaseTest, testing::ValuesIn(WellFormedHexCases()),
                         kByLabel);

TEST(CngSignatureCheckerTest, CutShortOrMissingFileIsNoSignature) {
  const CaseFile file(SignedFile::Large);
  CngSignatureChecker checker;
  const std::string good = std::string(kLargeR) + kLargeS;
  std::atomic<bool> cut{true};
  EXPECT_FALSE(UpdateFileIsSigned(checker, file.path(), *ParsePublicKey(kTestKeyA), good, cut));
  EXPECT_FALSE(UpdateFileIsSigned(checker, file.path() + ".gone", *ParsePublicKey(kTestKeyA), good,
                                  kNotCut));
}

TEST(CngSignatureCheckerTest, PointOffTheCurveIsNoKey) {
  const CaseFile file(SignedFile::Large);
  CngSignatureChecker checker;
  EcPublicKey key = *ParsePublicKey(kTestKeyA);
  key[63] ^= 0x01;
  EXPECT_FALSE(UpdateFileIsSigned(checker, file.path(), key, std::string(kLargeR) + kLargeS,
                                  kNotCut));
}

}  // namespace
}  // namespace zv::win32
