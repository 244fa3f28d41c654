// The custom sound page on the fake platform: choosing files, the exact bytes of the saved file,
// restoring it after a restart, and playing slots through the media player.
#include <gtest/gtest.h>

#include "base/gbk_text.h"
#include "case_name.h"
#include "fake_world.h"
#include "sound/custom_slots.h"
#include "wave_maker.h"

namespace zv {
namespace {

const std::string S = kFieldSeparator;
const std::string kDirectory = "D:\\Zanvoro助手";
const std::string kFile = "D:\\Zanvoro助手\\自定义配置.txt";
const std::string kUnchosen = "亲，你还没有选择场景音哦！点击我！选择歌曲！";

std::string Label(int slot) { return SlotLabelName(slot); }
std::string Path(int slot) { return SlotPathName(slot); }

// The file as it must be: one (label, path) pair per slot, each field followed by the separator.
std::string ExpectedFile(const std::vector<std::pair<std::string, std::string>>& slots) {
  std::string bytes;
  for (const auto& [label, path] : slots) bytes += label + S + path + S;
  return bytes;
}

struct World : FakeWorld {
  Form main = Start();
  World() { files.directories.insert(kDirectory); }
  void Choose(int slot, std::optional<std::string> answer) {
    fileDialog.answers.push_back(std::move(answer));
    ui.Press(main.Id(), Label(slot));
  }
};

TEST(CustomSlotsTest, FirstChoiceOnSlotFiveWritesTheFileByteForByte) {
  World world;
  world.Choose(5, "C:\\音乐\\开场.mp3");
  std::vector<std::pair<std::string, std::string>> slots(18, {kUnchosen, ""});
  slots[0].second = "无";
  slots[4] = {"开场.mp3", "C:\\音乐\\开场.mp3"};
  const std::string expected = ExpectedFile(slots);
  EXPECT_EQ(world.files.files[kFile], expected);
  EXPECT_EQ(world.main.Text("编辑框自定义配置"), expected);
  EXPECT_EQ(expected.size(), 18 * kUnchosen.size() - kUnchosen.size() + 8 + 16 + 2 + 36 * 19);
  EXPECT_EQ(world.main.Text(Label(5)), "开场.mp3");
}

TEST(CustomSlotsTest, EachSaveFillsInOnlyTheFirstEmptyPath) {
  World world;
  world.Choose(5, "C:\\a.wav");
  world.Choose(7, "C:\\b.wav");
  EXPECT_EQ(world.main.Text(Path(1)), "无");
  EXPECT_EQ(world.main.Text(Path(2)), "无");
  EXPECT_EQ(world.main.Text(Path(3)), "");
  const std::vector<std::string> fields = SplitText(world.files.files[kFile], S);
  ASSERT_EQ(fields.size(), 36u);
  EXPECT_EQ(fields[1], "无");
  EXPECT_EQ(fields[3], "无");
  EXPECT_EQ(fields[5], "");
  EXPECT_EQ(fields[8], "a.wav");
  EXPECT_EQ(fields[13], "C:\\b.wav");
  EXPECT_EQ(world.files.writes, 2);
}

TEST(CustomSlotsTest, OnlyTheFirstEmptyLabelGetsTheLayoutCaption) {
  FakeWorld world;
  world.files.directories.insert(kDirectory);
  world.files.files[kFile] = "a" + S + "p" + S + S + S + S + S;  // labels 2 and 3 empty
  const Form main = world.Start();
  world.fileDialog.answers.push_back("C:\\x.mp3");
  world.ui.Press(main.Id(), Label(1));
  EXPECT_EQ(main.Text(Label(2)), kUnchosen);
  EXPECT_EQ(main.Text(Label(3)), "");
  EXPECT_EQ(main.Text(Label(1)), "x.mp3");
}

TEST(CustomSlotsTest, CancellingChangesAndWritesNothing) {
  World world;
  world.Choose(2, std::nullopt);
  EXPECT_EQ(world.files.writes, 0);
  EXPECT_EQ(world.main.Text(Label(2)), kUnchosen);
  EXPECT_EQ(world.main.Text(Path(1)), "");
  EXPECT_EQ(world.log, EffectLog{"open-dialog"});
}

TEST(CustomSlotsTest, AFailedWriteIsSilentAndTheChoiceStaysOnScreen) {
  World world;
  world.files.drives.erase("D:");
  world.files.directories.clear();
  world.Choose(3, "E:\\曲\\歌.mp3");
  EXPECT_EQ(world.main.Text(Label(3)), "歌.mp3");
  EXPECT_EQ(world.main.Text(Path(3)), "E:\\曲\\歌.mp3");
  EXPECT_TRUE(world.files.files.empty());
  EXPECT_EQ(world.log, EffectLog{"open-dialog"});
}

TEST(CustomSlotsTest, AFailedSaveKeepsTheFileSavedBefore) {
  World world;
  world.Choose(1, "C:\\a.mp3");
  const std::string saved = world.files.files[kFile];
  world.files.directories.erase(kDirectory);  // the folder is gone: the next write fails
  world.Choose(2, "C:\\b.mp3");
  EXPECT_EQ(world.files.files[kFile], saved);
  EXPECT_EQ(world.main.Text(Label(2)), "b.mp3");
}

TEST(CustomSlotsTest, ARestartShowsEverySlotAsSaved) {
  World first;
  // 0x81 0x5C is one GBK character whose second byte is a backslash.
  const std::string tricky = "D:\\新歌\\\x81\x5C\xA3\xA4\xA3\xA4 混音.wav";
  first.Choose(1, "C:\\m\\a.mp3");
  first.Choose(18, tricky);
  first.Choose(9, "b.wav");

  FakeWorld second;
  second.files = first.files;
  const Form main = second.Start();
  for (int slot = 1; slot <= 18; ++slot) {
    EXPECT_EQ(main.Text(Label(slot)), first.main.Text(Label(slot))) << slot;
    EXPECT_EQ(main.Text(Path(slot)), first.main.Text(Path(slot))) << slot;
  }
  EXPECT_EQ(main.Text(Label(18)), "\x81\x5C\xA3\xA4\xA3\xA4 混音.wav");
  EXPECT_EQ(main.Text(Path(18)), tricky);
  EXPECT_EQ(main.Text(Label(9)), "b.wav");
  EXPECT_EQ(main.Text(Path(2)), "无");
}

TEST(CustomSlotsTest, SeparatorBytesInsideDoubleByteCharactersDoNotSplit) {
  // Shifted by one byte, the separator's bytes follow a lead byte: they are the tails of
  // characters, not a separator.
  const std::string label = "\xB0" + S.substr(0, 12) + "x";
  FakeWorld world;
  world.files.directories.insert(kDirectory);
  world.files.files[kFile] = label + S + "C:\\p.mp3" + S;
  const Form main = world.Start();
  EXPECT_EQ(main.Text(Label(1)), label);
  EXPECT_EQ(main.Text(Path(1)), "C:\\p.mp3");
}

struct NameCase {
  std::string path, name;
};

class FileNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(FileNameTest, IsWhatFollowsTheLastBackslash) {
  EXPECT_EQ(FileNameOf(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileNameTest,
    testing::Values(NameCase{"C:\\m\\a.mp3", "a.mp3"}, NameCase{"a.mp3", "a.mp3"},
                    NameCase{"C:\\dir\\", ""}, NameCase{"\\\\server\\share\\歌.wav", "歌.wav"},
                    NameCase{"C:\\表\\\x81\x5C.mp3", "\x81\x5C.mp3"},
                    NameCase{"C:\\\x81\x5C\x81\x5C", "\x81\x5C\x81\x5C"}),
    test::NamedBy([](const NameCase& c) { return c.path; }));

TEST(SlotPlaybackTest, PlayStopsTheFileBeforeAndStartsTheSlotsFile) {
  World world;
  world.Choose(1, "C:\\one.mp3");
  world.Choose(3, "C:\\three.mp3");
  world.log.clear();
  world.ui.Click(world.main.Id(), "自定义播放按钮1");
  world.ui.Click(world.main.Id(), "自定义播放按钮3");
  world.ui.Click(world.main.Id(), "自定义播放按钮5");  // never chosen: empty path
  world.ui.Click(world.main.Id(), "自定义播放按钮4");  // filled in with 无 by the second save
  const EffectLog expected = {"media-stop", "media-play:C:\\one.mp3",   "media-stop",
                              "media-play:C:\\three.mp3", "media-stop", "media-stop",
                              "media-play:无"};
  EXPECT_EQ(world.log, expected);
}

TEST(SlotPlaybackTest, EveryStopButtonStopsTheFileAndAllClipsButPlayLeavesClips) {
  World world;
  world.resources.files["mc01.wav"] = test::PcmClip(40000);
  world.Choose(6, "C:\\six.mp3");
  world.ui.Click(world.main.Id(), "官方音按钮1");
  world.ui.Click(world.main.Id(), "官方音按钮1");
  world.ui.Click(world.main.Id(), "自定义播放按钮6");
  ASSERT_TRUE(world.workers.Settle());  // the clips have their voices
  EXPECT_EQ(world.media.playing, "C:\\six.mp3");
  EXPECT_EQ(world.app.Sound().Sounding(), 2u);
  EXPECT_EQ(world.audio.SoundingVoices(), 2u);
  world.ui.Click(world.main.Id(), "自定义停止按钮13");
  EXPECT_EQ(world.media.playing, "");
  EXPECT_EQ(world.audio.VoiceCount(), 2u);
  EXPECT_EQ(world.audio.SoundingVoices(), 0u);
}

}  // namespace
}  // namespace zv
