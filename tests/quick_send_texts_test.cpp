// Saving and loading the twelve quick-send texts on the fake platform.
#include <gtest/gtest.h>

#include "base/gbk_text.h"
#include "fake_world.h"
#include "quicksend/quick_send_texts.h"

namespace zv {
namespace {

const std::string S = kFieldSeparator;
const char* const kDirectory = "D:\\Zanvoro助手";
const char* const kQuickFile = "D:\\Zanvoro助手\\快捷键配置.txt";
const std::string kPlaceholder = "还没有设置";

using Texts = std::vector<std::string>;

std::string FileOf(const Texts& texts) {
  std::string bytes;
  for (const std::string& text : texts) bytes += text + S;
  return bytes;
}

void Fill(const Form& main, const Texts& texts) {
  for (size_t i = 0; i < texts.size(); ++i) main.SetText(QuickSendBoxName(int(i) + 1), texts[i]);
}

Texts Boxes(const Form& main) {
  Texts texts;
  for (int n = 1; n <= kQuickSendCount; ++n) texts.push_back(main.Text(QuickSendBoxName(n)));
  return texts;
}

struct SaveCase {
  std::string name;
  Texts before, after;
};

class QuickSendSaveTest : public testing::TestWithParam<SaveCase> {};

TEST_P(QuickSendSaveTest, FillsOnlyTheFirstEmptyBoxAndWritesEveryTextWithItsSeparator) {
  const SaveCase& c = GetParam();
  FakeWorld world;
  const Form main = world.Start();
  Fill(main, c.before);
  world.ui.Click(main.Id(), "保存配置按钮");
  EXPECT_EQ(Boxes(main), c.after);
  EXPECT_EQ(world.files.files[kQuickFile], FileOf(c.after));
  EXPECT_EQ(main.Text("编辑框快捷配置"), FileOf(c.after));
  EXPECT_TRUE(world.log.empty()) << "a save shows nothing";
}

const Texts kFull = {"一", "二", "三", "four", "五", "六", "七", "八", "九", "十", "十一", "12"};

INSTANTIATE_TEST_SUITE_P(
    Table, QuickSendSaveTest,
    testing::Values(
        SaveCase{"allFilled", kFull, kFull},
        SaveCase{"gapsAtThreeAndSeven",
                 {"a", "b", "", "d", "e", "f", "", "h", "i", "j", "k", "l"},
                 {"a", "b", kPlaceholder, "d", "e", "f", "", "h", "i", "j", "k", "l"}},
        SaveCase{"allEmpty",
                 Texts(12, ""),
                 {kPlaceholder, "", "", "", "", "", "", "", "", "", "", ""}},
        SaveCase{"onlyLastEmpty",
                 {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ""},
                 {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", kPlaceholder}}),
    [](const auto& info) { return info.param.name; });

TEST(QuickSendSaveTest, EachFurtherSaveFillsTheNextEmptyBox) {
  FakeWorld world;
  const Form main = world.Start();
  Fill(main, {"a", "", "c", ""});
  world.ui.Click(main.Id(), "保存配置按钮");
  world.ui.Click(main.Id(), "保存配置按钮");
  world.ui.Click(main.Id(), "保存配置按钮");
  const Texts boxes = Boxes(main);
  EXPECT_EQ(boxes[1], kPlaceholder);
  EXPECT_EQ(boxes[3], kPlaceholder);
  EXPECT_EQ(boxes[4], kPlaceholder);
  EXPECT_EQ(boxes[5], "");
}

TEST(QuickSendSaveTest, SavedTextsComeBackAfterARestartIncludingEmptySlots) {
  FakeWorld first;
  const Form main = first.Start();
  Fill(main, {"你好", "欢迎来到直播间", "", "\xA3\xA3#", "", "", "", "", "", "", "", "最后"});
  first.ui.Click(main.Id(), "保存配置按钮");
  const Texts saved = Boxes(main);

  FakeWorld second;
  second.files = first.files;
  EXPECT_EQ(Boxes(second.Start()), saved);
  EXPECT_EQ(saved[2], kPlaceholder);
  EXPECT_EQ(saved[4], "");
}

TEST(QuickSendSaveTest, AFailedWriteKeepsTheOldFileAndTheBoxes) {
  FakeWorld world;
  world.files.directories.insert(kDirectory);
  world.files.files[kQuickFile] = FileOf(kFull);
  world.files.unwritable.insert(kQuickFile);
  const Form main = world.Start();
  main.SetText("快捷编辑框2", "新的");
  world.ui.Click(main.Id(), "保存配置按钮");
  EXPECT_EQ(world.files.files[kQuickFile], FileOf(kFull));
  EXPECT_EQ(main.Text("快捷编辑框2"), "新的");
  EXPECT_TRUE(world.log.empty());
}

struct LoadCase {
  std::string name;
  std::string file;
  Texts boxes;  // the first boxes after start-up; the rest must be empty
};

class QuickSendLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(QuickSendLoadTest, FillsBoxesFromTheFile) {
  const LoadCase& c = GetParam();
  FakeWorld world;
  world.files.directories.insert(kDirectory);
  world.files.files[kQuickFile] = c.file;
  Texts expected = c.boxes;
  expected.resize(kQuickSendCount);
  EXPECT_EQ(Boxes(world.Start()), expected);
  EXPECT_EQ(world.files.writes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QuickSendLoadTest,
    testing::Values(
        LoadCase{"thirteenthFieldIgnored", FileOf(kFull) + "extra", kFull},
        LoadCase{"thirteenthFieldWithSeparatorIgnored", FileOf(kFull) + "extra" + S, kFull},
        LoadCase{"fewerFieldsFillTheFirstBoxes", FileOf({"a", "b"}), {"a", "b"}},
        LoadCase{"truncatedInsideASeparator", "a" + S + "b" + S.substr(0, 7), {"a", "b" + S.substr(0, 7)}},
        LoadCase{"onlyText", "没有分隔符", {"没有分隔符"}},
        // Full-width number sign A3 A3 right before the separator: the A3 A4 pairs must not be
        // read from its second byte on.
        LoadCase{"trailByteA3", "\xA3\xA3" + S + "b" + S, {"\xA3\xA3", "b"}},
        // Here the character boundaries run through the separator's pairs one byte off, so as
        // characters the text holds no separator at all.
        LoadCase{"trailByteA3Misaligned", "x\xA3\xA3\xA4" + S, {"x\xA3\xA3\xA4" + S}},
        // A separator typed into a text splits it on the next start-up; slots move down.
        LoadCase{"separatorInsideAText", FileOf({"a" + S + "b", "c"}), {"a", "b", "c"}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zv
