// The real file system under a temporary folder with a Chinese name, as the data directory has.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/code_page.h"
#include "platform/win32/win32_files.h"

namespace zv::win32 {
namespace {

class FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    root_ = WideToGbk(temp) + "Zanvoro测试" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(files_.CreateDirectory(root_));
  }
  void TearDown() override {
    for (const char* name : {"\\配置.txt", "\\配置.txt.zanvoro-new", "\\二\\三.txt"}) {
      DeleteFileW(GbkToWide(root_ + name).c_str());
    }
    RemoveDirectoryW(GbkToWide(root_ + "\\二").c_str());
    RemoveDirectoryW(GbkToWide(root_).c_str());
  }
  std::string Path(const char* name) const { return root_ + "\\" + name; }

  Win32Files files_;
  std::string root_;
};

TEST_F(FilesTest, WrittenBytesReadBackExactly) {
  // Zero bytes, high bytes and CR LF must all survive: configuration files are GBK with
  // separators, takes are binary WAVE data.
  const std::string bytes = std::string("A\0\xFF\r\n", 5) + "快捷键" + std::string(70000, 'x');
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), bytes));
  EXPECT_EQ(files_.ReadFile(Path("配置.txt")), bytes);
}

TEST_F(FilesTest, RewriteReplacesTheWholeFileAndLeavesNoScratchBehind) {
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), std::string(500, 'a')));
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), "short"));
  EXPECT_EQ(files_.ReadFile(Path("配置.txt")), "short");
  EXPECT_EQ(GetFileAttributesW(GbkToWide(Path("配置.txt.zanvoro-new")).c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, EmptyFileIsPresentButEmpty) {
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), ""));
  const auto read = files_.ReadFile(Path("配置.txt"));
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->empty());
}

TEST_F(FilesTest, FailuresAreReportedAsFailures) {
  EXPECT_FALSE(files_.ReadFile(Path("没有.txt")).has_value());
  EXPECT_FALSE(files_.ReadFile(root_).has_value());  // a directory is not a file
  EXPECT_FALSE(files_.WriteFile(Path("二\\三.txt"), "x"));  // parent missing
  EXPECT_FALSE(files_.CreateDirectory(Path("二\\三")));     // only one level at a time
  EXPECT_FALSE(files_.DirectoryExists(Path("二")));
  EXPECT_FALSE(files_.WriteFile("", "x"));
  EXPECT_FALSE(files_.ReadFile("").has_value());
}

TEST_F(FilesTest, ZeroByteInAPathAddressesNothing) {
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), "kept"));
  const std::string cut = Path("配置.txt") + std::string("\0.bak", 5);
  EXPECT_FALSE(files_.WriteFile(cut, "lost"));
  EXPECT_FALSE(files_.ReadFile(cut).has_value());
  EXPECT_FALSE(files_.DirectoryExists(root_ + std::string("\0", 1)));
  EXPECT_EQ(files_.ReadFile(Path("配置.txt")), "kept");
}

TEST_F(FilesTest, DirectoryCreationAndExistence) {
  EXPECT_TRUE(files_.DirectoryExists(root_));
  EXPECT_TRUE(files_.CreateDirectory(Path("二")));
  EXPECT_TRUE(files_.DirectoryExists(Path("二")));
  EXPECT_TRUE(files_.CreateDirectory(Path("二")));  // already there is still there
  ASSERT_TRUE(files_.WriteFile(Path("配置.txt"), "x"));
  EXPECT_FALSE(files_.DirectoryExists(Path("配置.txt")));
  EXPECT_FALSE(files_.CreateDirectory(Path("配置.txt")));  // a file of that name is in the way
}

TEST_F(FilesTest, CurrentDirectoryIsAnExistingDirectory) {
  const std::string current = files_.CurrentDirectory();
  ASSERT_FALSE(current.empty());
  EXPECT_TRUE(files_.DirectoryExists(current));
}

}  // namespace
}  // namespace zv::win32
