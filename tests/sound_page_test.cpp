// The MC sound page on the fake platform: each button plays its own clip, overlapping freely;
// 停止播放 silences everything; the exit clean-up leaves no playback behind.
#include <gtest/gtest.h>

#include "case_name.h"
#include "fake_world.h"
#include "sound/clip_catalogue.h"
#include "wave_maker.h"

namespace zv {
namespace {

std::string Button(int n) { return "官方音按钮" + std::to_string(n); }

struct World : FakeWorld {
  World() {
    // Every clip is told apart by its first sample.
    for (int n = 1; n <= kBoardClipCount; ++n)
      resources.files[BoardClipName(n)] = test::PcmClip(20000, n);
  }
  Form main = Start();
};

TEST(SoundPageTest, EachButtonPlaysItsOwnClipAndChangesNothingOnScreen) {
  World world;
  for (int n = 1; n <= kBoardClipCount; ++n) {
    world.ui.Click(world.main.Id(), Button(n));
    ASSERT_TRUE(world.workers.Settle());
    ASSERT_EQ(world.audio.VoiceCount(), static_cast<size_t>(n));
    ASSERT_FALSE(world.audio.Voice(n - 1).samples.empty());
    EXPECT_EQ(world.audio.Voice(n - 1).samples[0], static_cast<char>(n)) << n;
    EXPECT_EQ(world.main.Text(Button(n)), world.main.Text(Button(n)));
  }
  EXPECT_EQ(world.app.Sound().Sounding(), 50u);
  EXPECT_TRUE(world.log.empty());
}

TEST(SoundPageTest, FiveClicksGiveFiveOverlappingPlaybacksAndStopSilencesAll) {
  World world;
  world.media.Play("C:\\song.mp3");
  world.log.clear();
  for (int i = 0; i < 5; ++i) world.ui.Click(world.main.Id(), Button(16));
  world.ui.Click(world.main.Id(), Button(49));
  ASSERT_TRUE(world.workers.Settle());
  EXPECT_EQ(world.audio.VoiceCount(), 6u);
  EXPECT_EQ(world.audio.SoundingVoices(), 6u);
  world.ui.Click(world.main.Id(), Button(51));
  EXPECT_EQ(world.log, EffectLog{"media-stop"});
  for (size_t i = 0; i < world.audio.VoiceCount(); ++i) {
    EXPECT_TRUE(world.audio.Voice(i).stopped) << i;
    EXPECT_FALSE(world.audio.Voice(i).ended) << i;
  }
}

TEST(SoundPageTest, AShortClipEndsOnItsOwnWhileALongOneKeepsPlaying) {
  World world;
  world.ui.Click(world.main.Id(), Button(49));
  world.ui.Click(world.main.Id(), Button(16));
  ASSERT_TRUE(world.workers.Settle());
  ASSERT_EQ(world.audio.VoiceCount(), 2u);
  world.audio.PlayOut(1);  // the short one
  ASSERT_TRUE(world.workers.Settle());
  EXPECT_TRUE(world.audio.Voice(1).stopped);
  EXPECT_FALSE(world.audio.Voice(0).stopped);
  EXPECT_EQ(world.app.Sound().Sounding(), 1u);
}

TEST(SoundPageTest, MissingClipOrNoDeviceIsSilent) {
  World world;
  world.resources.files.erase(BoardClipName(7));
  world.ui.Click(world.main.Id(), Button(7));
  world.audio.present = false;
  world.ui.Click(world.main.Id(), Button(8));
  ASSERT_TRUE(world.workers.Settle());
  EXPECT_EQ(world.audio.VoiceCount(), 0u);
  EXPECT_EQ(world.app.Sound().Sounding(), 0u);
  EXPECT_TRUE(world.log.empty());
}

TEST(SoundPageTest, ExitCleanUpStopsAndWaitsForEveryPlayback) {
  World world;
  world.media.Play("C:\\song.mp3");
  for (int n : {3, 9, 42}) world.ui.Click(world.main.Id(), Button(n));
  world.app.CleanUp().Run();
  EXPECT_EQ(world.app.Sound().Sounding(), 0u);
  EXPECT_EQ(world.audio.SoundingVoices(), 0u);
  EXPECT_FALSE(world.audio.IsOpen());
  EXPECT_EQ(world.media.playing, "");
}

struct KeyCase {
  int virtualKey;
  std::string clip;
};

class PianoClipTest : public testing::TestWithParam<KeyCase> {};

TEST_P(PianoClipTest, NamesTheClipOfTheKey) {
  EXPECT_EQ(PianoClipName(GetParam().virtualKey), GetParam().clip);
}

INSTANTIATE_TEST_SUITE_P(Table, PianoClipTest,
                         testing::Values(KeyCase{'Q', "note_q.wav"}, KeyCase{'A', "note_a.wav"},
                                         KeyCase{'Z', "note_z.wav"}, KeyCase{0x70, "key_f1.wav"},
                                         KeyCase{0x7B, "key_f12.wav"}, KeyCase{'1', "key_1.wav"},
                                         KeyCase{'8', "key_8.wav"}, KeyCase{'9', ""},
                                         KeyCase{'0', ""}, KeyCase{0x7C, ""}, KeyCase{'a', ""}),
    test::NamedBy([](const KeyCase& c) { return "key" + std::to_string(c.virtualKey); }));

}  // namespace
}  // namespace zv
