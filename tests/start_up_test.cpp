// The shell on the fake platform: start-up sequence, heartbeat and version-check ticks on the
// virtual clock.
#include <gtest/gtest.h>

#include "base/gbk_text.h"
#include "fake_world.h"

namespace zv {
namespace {

const std::string S = kFieldSeparator;
const char* const kCustomFile = "D:\\Zanvoro助手\\自定义配置.txt";
const char* const kQuickFile = "D:\\Zanvoro助手\\快捷键配置.txt";
const std::string kUnchosen = "亲，你还没有选择场景音哦！点击我！选择歌曲！";

std::string QuickSendFile(const std::vector<std::string>& texts) {
  std::string bytes;
  for (const std::string& text : texts) bytes += text + S;
  return bytes;
}

TEST(StartUpTest, FirstRunCreatesTheDirectoryAndWritesNothing) {
  FakeWorld world;
  const Form main = world.Start();
  EXPECT_TRUE(world.files.DirectoryExists("D:\\Zanvoro助手"));
  EXPECT_EQ(world.files.writes, 0);
  EXPECT_TRUE(world.files.files.empty());
  EXPECT_EQ(main.Text("编辑框自定义配置"), "");
  EXPECT_EQ(main.Text("编辑框快捷配置"), "");
  EXPECT_EQ(main.Text("自定义歌曲名字1"), kUnchosen);
  EXPECT_EQ(main.Text("透明标签状态"), "正在获取在线人数");
  EXPECT_TRUE(world.log.empty());
}

struct FilesCase {
  std::string name;
  bool customFile, quickFile;
  bool slotsLoaded, textsLoaded;
};

class StartUpFilesTest : public testing::TestWithParam<FilesCase> {};

TEST_P(StartUpFilesTest, LoadsOnlyTheFilesThatHaveText) {
  const FilesCase& c = GetParam();
  FakeWorld world;
  world.files.directories.insert("D:\\Zanvoro助手");
  if (c.customFile) world.files.files[kCustomFile] = "a.mp3" + S + "C:\\m\\a.mp3" + S;
  if (c.quickFile) world.files.files[kQuickFile] = QuickSendFile({"你好", "", "欢迎"});
  const Form main = world.Start();

  EXPECT_EQ(main.Text("自定义歌曲名字1"), c.slotsLoaded ? "a.mp3" : kUnchosen);
  EXPECT_EQ(main.Text("编辑框自定义地址1"), c.slotsLoaded ? "C:\\m\\a.mp3" : "");
  EXPECT_EQ(main.Text("快捷编辑框1"), c.textsLoaded ? "你好" : "");
  EXPECT_EQ(main.Text("快捷编辑框3"), c.textsLoaded ? "欢迎" : "");
  EXPECT_EQ(main.Text("透明标签状态"), "正在获取在线人数");
  EXPECT_EQ(world.files.writes, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, StartUpFilesTest,
                         testing::Values(FilesCase{"none", false, false, false, false},
                                         FilesCase{"customOnly", true, false, true, false},
                                         FilesCase{"quickOnly", false, true, false, true},
                                         FilesCase{"both", true, true, true, true}),
                         [](const auto& info) { return info.param.name; });

TEST(StartUpTest, StatusTextsFollowTheStepsAndTimersAreStarted) {
  FakeWorld world;
  world.files.directories.insert("D:\\Zanvoro助手");
  world.files.files[kCustomFile] = "x" + S;
  world.files.files[kQuickFile] = "y" + S;
  const Form main = world.Start();
  const std::vector<std::string> expected = {"正在检测配置文件是否正确", "正在获取音效自定义配置",
                                             "正在获取快捷键配置", "正在获取在线人数"};
  EXPECT_EQ(world.ui.TextHistory(main.Id(), "透明标签状态"), expected);
  EXPECT_EQ(main.Interval("时钟2"), 3000);
  EXPECT_EQ(main.Interval("时钟3"), 1);
}

TEST(StartUpTest, HolderTakesTheFileUpToItsFirstZeroByte) {
  FakeWorld world;
  world.files.directories.insert("D:\\Zanvoro助手");
  world.files.files[kQuickFile] = std::string("甲") + S + std::string("\0乙", 3) + S;
  const Form main = world.Start();
  EXPECT_EQ(main.Text("编辑框快捷配置"), "甲" + S);
  EXPECT_EQ(main.Text("快捷编辑框1"), "甲");
  EXPECT_EQ(main.Text("快捷编辑框2"), "");
}

TEST(StartUpTest, MissingDriveLeavesLayoutCaptionsAndSaysNothing) {
  FakeWorld world;
  world.files.drives.erase("D:");
  const Form main = world.Start();
  EXPECT_FALSE(world.files.DirectoryExists("D:\\Zanvoro助手"));
  EXPECT_EQ(main.Text("自定义歌曲名字18"), kUnchosen);
  EXPECT_EQ(main.Text("透明标签状态"), "正在获取在线人数");
  EXPECT_TRUE(world.log.empty());
}

TEST(StartUpTest, UnreadableFileCountsAsEmpty) {
  FakeWorld world;
  world.files.directories.insert("D:\\Zanvoro助手");
  world.files.files[kQuickFile] = QuickSendFile({"秘密"});
  world.files.unreadable.insert(kQuickFile);
  const Form main = world.Start();
  EXPECT_EQ(main.Text("快捷编辑框1"), "");
  EXPECT_EQ(world.files.files[kQuickFile], QuickSendFile({"秘密"}));
}

TEST(StartUpTest, SlotFileWithExtraAndMissingFieldsLoadsWhatItHas) {
  FakeWorld world;
  world.files.directories.insert("D:\\Zanvoro助手");
  std::string bytes;
  for (int n = 1; n <= 18; ++n) bytes += "n" + std::to_string(n) + S + "p" + std::to_string(n) + S;
  bytes += "extra" + S;
  world.files.files[kCustomFile] = bytes;
  const Form main = world.Start();
  EXPECT_EQ(main.Text("自定义歌曲名字18"), "n18");
  EXPECT_EQ(main.Text("编辑框自定义地址18"), "p18");
  EXPECT_EQ(main.Text("编辑框自定义地址19"), "");

  FakeWorld shortFile;
  shortFile.files.directories.insert("D:\\Zanvoro助手");
  shortFile.files.files[kCustomFile] = "只有名字";
  const Form other = shortFile.Start();
  EXPECT_EQ(other.Text("自定义歌曲名字1"), "只有名字");
  EXPECT_EQ(other.Text("编辑框自定义地址1"), "");
  EXPECT_EQ(other.Text("自定义歌曲名字2"), kUnchosen);
}

TEST(StartUpTest, MainWindowIsShownWithNoPageAndTheOverlayUp) {
  FakeWorld world;
  const Form main = world.Start();
  EXPECT_TRUE(world.ui.IsWindowShown(main.Id()));
  EXPECT_FALSE(main.IsShown("图片框1"));
  EXPECT_FALSE(main.IsShown("图片框3"));
  EXPECT_FALSE(main.IsShown("图片框4"));
  EXPECT_TRUE(main.IsShown("图片框9"));
}

TEST(HeartbeatTest, OnlineCountIsArmedAtStartAndEveryHundredBeats) {
  FakeWorld world;
  const Form main = world.Start();
  // One refresh right after start-up: 时钟3 fires once and stops itself.
  world.ui.Advance(1);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟3"), 1);
  EXPECT_EQ(main.Interval("时钟3"), 0);

  world.ui.Advance(99 * 3000 - 1);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟2"), 99);
  EXPECT_EQ(main.Position("进度条2"), 99);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟3"), 1);

  world.ui.Advance(3000);  // the hundredth beat
  EXPECT_EQ(main.Position("进度条2"), 0);
  EXPECT_EQ(main.Interval("时钟3"), 1);
  world.ui.Advance(1);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟3"), 2);

  world.ui.Advance(100 * 3000);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟3"), 3);
  EXPECT_EQ(main.Interval("时钟2"), 3000);
}

TEST(VersionTicksTest, HundredthTickStopsTheTimer) {
  FakeWorld world;
  const Form main = world.Start();
  world.ui.Advance(99);
  EXPECT_EQ(main.Position("进度条1"), 99);
  EXPECT_EQ(main.Interval("时钟1"), 1);
  world.ui.Advance(1);
  EXPECT_EQ(main.Position("进度条1"), 0);
  EXPECT_EQ(main.Interval("时钟1"), 0);
  world.ui.Advance(1000);
  EXPECT_EQ(world.ui.TickCount(main.Id(), "时钟1"), 100);
}

}  // namespace
}  // namespace zv
