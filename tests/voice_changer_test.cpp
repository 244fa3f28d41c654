// The voice-changer window on the fake platform with a scripted microphone: the toggle, the
// level tick against the threshold, takes and their length, the take file, playback, listen,
// the mode words, and closing the window in the middle of a take.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "base/data_paths.h"
#include "case_name.h"
#include "fake_world.h"
#include "base/little_endian.h"
#include "voice/take_wave.h"

namespace zv {
namespace {

constexpr unsigned kGreen = 0x0000FF00;
constexpr unsigned kGrey = 0x00808080;
constexpr unsigned kLayoutGrey = 0x00C0C0C0;

class VoiceChangerTest : public testing::Test {
 protected:
  void SetUp() override {
    const Form main = world.Start();
    world.ui.Click(main.Id(), "特定按钮5");
    voice = world.ui.Find("voice");
    ASSERT_NE(voice, kNoWindow);
  }

  Form Window() { return Form(world.ui, voice); }

  // Time passes for everyone alike: the microphone hears `ms` more, the take workers' pauses
  // that fall due end, then the window's timers tick, and what the workers posted runs.
  void Step(int ms = 200) {
    world.waveIn.Run(ms);
    ASSERT_TRUE(world.workers.AdvanceTo(world.ui.Now() + ms));
    world.ui.Advance(ms);
    ASSERT_TRUE(world.workers.Settle());
    world.dispatcher.RunPosted();
  }

  void Steps(int count) {
    for (int i = 0; i < count; ++i) Step();
  }

  void Toggle() { world.ui.Click(voice, "保存配置按钮1"); }

  // One loud reading, which starts a take or keeps it going, then `quiet` quiet steps.
  void LoudThenQuiet(int quiet) {
    world.waveIn.SetLevel(1000);
    Step();
    world.waveIn.SetLevel(0);
    Steps(quiet);
  }

  // Every take has a worker of its own; the only other worker is the sound board's housekeeper,
  // which has made the engine once it has run.
  size_t TakesStarted() {
    EXPECT_TRUE(world.workers.Settle());
    return world.workers.Started() - (world.audio.Opens() > 0 ? 1 : 0);
  }

  // Capture streams open at `rate`.
  std::vector<FakeCaptureRecord> OpenAt(int rate) const {
    std::vector<FakeCaptureRecord> open;
    for (const FakeCaptureRecord& s : world.waveIn.Streams()) {
      if (s.open && s.format.samplesPerSecond == rate) open.push_back(s);
    }
    return open;
  }

  // What the sound board played, oldest first, as WAVE files made again from each voice's
  // format and samples. Every voice plays out first, so none is left sounding.
  std::vector<std::string> Played() {
    EXPECT_TRUE(world.workers.Settle());
    for (size_t i = 0; i < world.audio.VoiceCount(); ++i) world.audio.PlayOut(i);
    EXPECT_TRUE(world.workers.Settle());
    EXPECT_EQ(world.app.Sound().Sounding(), 0u);
    std::vector<std::string> clips;
    for (size_t i = 0; i < world.audio.VoiceCount(); ++i) {
      const FakeVoice voice = world.audio.Voice(i);
      // The "fmt " body stands at offset 20 of a canonical header.
      const std::optional<WaveView> header =
          ReadWave(std::string(20, '\0') + voice.format + "data" + std::string(4, '\0'));
      clips.push_back(BuildWave(header ? header->format : WaveFormatFields{}, voice.samples));
    }
    return clips;
  }

  std::optional<WaveView> TakeFile() const {
    auto it = world.files.files.find(DataPaths().takeFile);
    if (it == world.files.files.end()) return std::nullopt;
    takeFileBytes_ = it->second;
    return ReadWave(takeFileBytes_);
  }

  FakeWorld world;
  WindowId voice = kNoWindow;

 private:
  mutable std::string takeFileBytes_;
};

TEST_F(VoiceChangerTest, OpensInVoiceModeWithHighAndLowAtTheSliderEnds) {
  const Form w = Window();
  EXPECT_TRUE(w.IsChecked("单选框1"));
  EXPECT_FALSE(w.IsChecked("单选框2"));
  EXPECT_EQ(w.Text("标签4"), "高");
  EXPECT_EQ(w.Text("标签3"), "低");
  EXPECT_EQ(w.Position("滑块条1"), 5);
  EXPECT_EQ(w.Interval("时钟1"), 0);
  EXPECT_EQ(world.waveIn.OpenStreams(), 0u);  // nothing listens before the start button
}

TEST_F(VoiceChangerTest, ModeButtonsChangeOnlyTheTwoWords) {
  const Form w = Window();
  world.ui.SetPosition(voice, "滑块条1", 17);
  world.ui.Click(voice, "单选框2");
  EXPECT_EQ(w.Text("标签4"), "慢");
  EXPECT_EQ(w.Text("标签3"), "快");
  world.ui.Click(voice, "单选框1");
  EXPECT_EQ(w.Text("标签4"), "高");
  EXPECT_EQ(w.Text("标签3"), "低");
  EXPECT_EQ(w.Position("滑块条1"), 17);
}

TEST_F(VoiceChangerTest, ToggleAlternatesCaptionTimerAndMonitor) {
  const Form w = Window();
  for (int press = 0; press < 2; ++press) {
    Toggle();
    EXPECT_EQ(w.Text("保存配置按钮1"), "对着话筒咆哮吧");
    EXPECT_EQ(w.Interval("时钟1"), 200);
    // The level monitor and the recorder both listen from the start button on.
    ASSERT_EQ(world.waveIn.OpenStreams(), 2u);
    // The monitor's one buffer at 11025 Hz; the recorder's eight at 44100 Hz.
    for (const auto& [rate, buffers] : {std::pair{11025, 1}, std::pair{44100, 8}}) {
      const std::vector<FakeCaptureRecord> stream = OpenAt(rate);
      ASSERT_EQ(stream.size(), 1u) << rate;
      EXPECT_EQ(stream[0].format.channels, 1);
      EXPECT_EQ(stream[0].format.bitsPerSample, 16);
      EXPECT_EQ(stream[0].bufferBytes, 4096u);
      EXPECT_EQ(stream[0].buffers, buffers);
    }
    Toggle();
    EXPECT_EQ(w.Text("保存配置按钮1"), "开始");
    EXPECT_EQ(w.Interval("时钟1"), 0);
    EXPECT_EQ(world.waveIn.OpenStreams(), 0u);
  }
}

TEST_F(VoiceChangerTest, TheHiddenStartButtonDoesNothing) {
  world.ui.Click(voice, "按钮1");
  EXPECT_EQ(Window().Text("保存配置按钮1"), "开始");
  EXPECT_EQ(Window().Interval("时钟1"), 0);
  EXPECT_EQ(world.waveIn.OpenStreams(), 0u);
}

TEST_F(VoiceChangerTest, LevelIsSample1111OfTheLatestBufferAndTheBarClampsIt) {
  Toggle();
  // A loud spike everywhere but at sample 1111: the level is that one sample.
  world.waveIn.SetShape([](size_t i) { return static_cast<int16_t>(i == 1110 ? 150 : 30000); });
  Step();
  EXPECT_EQ(Window().Position("进度条1"), 150);
  EXPECT_EQ(TakesStarted(), 0u);
  world.waveIn.SetLevel(-400);
  Step();
  EXPECT_EQ(Window().Position("进度条1"), 0);
  world.ui.SetText(voice, "编辑框2", "32000");
  world.waveIn.SetLevel(32767);
  Step();
  EXPECT_EQ(Window().Position("进度条1"), 3000);
}

struct ThresholdCase {
  std::string threshold;
  int16_t level;
  bool takes;
};

class ThresholdTest : public VoiceChangerTest,
                      public testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdTest, ALevelAboveTheThresholdStartsATake) {
  world.ui.SetText(voice, "编辑框2", GetParam().threshold);
  Toggle();
  world.waveIn.SetLevel(GetParam().level);
  Step();
  EXPECT_EQ(TakesStarted(), GetParam().takes ? 1u : 0u);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), GetParam().takes ? kGreen : kLayoutGrey);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ThresholdTest,
    testing::Values(ThresholdCase{"200", 200, false}, ThresholdCase{"200", 201, true},
                    ThresholdCase{"  +200xyz", 201, true}, ThresholdCase{"abc", 1, true},
                    ThresholdCase{"abc", 0, false}, ThresholdCase{"-5", -4, true},
                    ThresholdCase{"-5", -5, false},
                    // Only the low 16 bits count: 65737 is 201, 65535 is -1.
                    ThresholdCase{"65737", 201, false}, ThresholdCase{"65535", 0, true}),
    test::NamedBy([](const ThresholdCase& c) { return c.threshold + "_level" + std::to_string(c.level); }));

TEST_F(VoiceChangerTest, TakeLasts2Point2SecondsAfterTheLastLoudReading) {
  Toggle();
  world.waveIn.SetLevel(1000);
  Step();  // the take starts on this tick
  world.waveIn.SetLevel(0);
  Steps(10);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGreen);
  EXPECT_FALSE(world.files.files.count(DataPaths().takeFile));
  Step();  // the eleventh quiet step ends it
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGrey);
  const std::optional<WaveView> take = TakeFile();
  ASSERT_TRUE(take);
  // The 0.2 s heard before the trigger, then 2.2 s, up to the last whole capture buffer.
  EXPECT_NEAR(take->samples.size() / 2.0, 2.4 * 44100, 2048);
  EXPECT_EQ(Played().size(), 1u);
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
}

TEST_F(VoiceChangerTest, SpeakingAgainWithinTheQuietTimeExtendsTheTake) {
  Toggle();
  LoudThenQuiet(8);  // 1.6 s of quiet
  world.waveIn.SetLevel(1000);
  Step();  // loud again: the countdown starts over
  world.waveIn.SetLevel(0);
  Steps(10);
  EXPECT_FALSE(world.files.files.count(DataPaths().takeFile));
  Step();
  const std::optional<WaveView> take = TakeFile();
  ASSERT_TRUE(take);
  // 0.2 s before the first loud tick, 1.8 s to the second, then 2.2 s.
  EXPECT_NEAR(take->samples.size() / 2.0, 4.2 * 44100, 2048);
  EXPECT_EQ(TakesStarted(), 1u);
  EXPECT_EQ(Played().size(), 1u);
}

TEST_F(VoiceChangerTest, TakeFileHoldsTheRecordingAndTheTransformedCopyIsPlayed) {
  world.ui.Click(voice, "单选框2");  // speed mode: same rate, 4/3 as long at position 5
  Toggle();
  world.waveIn.SetLevel(1000);
  Step();
  Steps(20);  // four more seconds of loud readings
  world.waveIn.SetLevel(0);
  Steps(11);
  const std::string bytes = world.files.files.at(DataPaths().takeFile);
  const size_t frames = (bytes.size() - 44) / 2;
  EXPECT_TRUE(bytes == BuildWave(kTakeFormat, bytes.substr(44)));
  EXPECT_EQ(bytes.substr(44, 2), std::string("\xE8\x03", 2));  // the level the microphone heard
  const std::vector<std::string> clips = Played();
  ASSERT_EQ(clips.size(), 1u);
  const std::optional<WaveView> played = ReadWave(clips[0]);
  ASSERT_TRUE(played);
  EXPECT_EQ(played->format.samplesPerSecond, 44100u);
  const size_t blocks = frames / 1000;
  EXPECT_NEAR(played->samples.size() / 2000.0, blocks * 4.0 / 3.0, 2.0);
  // The scratch file keeps the raw samples of the result.
  EXPECT_TRUE(world.files.files.at(DataPaths().scratchFile) == played->samples);
}

TEST_F(VoiceChangerTest, VoiceModeRaisesTheRateAndTheSliderIsReadWhenTheTakeEnds) {
  Toggle();
  LoudThenQuiet(5);
  world.ui.SetPosition(voice, "滑块条1", 22);  // moved during the take: the result follows it
  Steps(6);
  const std::vector<std::string> clips = Played();
  ASSERT_EQ(clips.size(), 1u);
  const std::optional<WaveView> played = ReadWave(clips[0]);
  ASSERT_TRUE(played);
  // A take of 104,448 frames (0.2 s before the trigger, 2.2 s after, in whole capture buffers)
  // has 104 blocks; 22 keeps 53 of them, played in the take's 2.37 s: about 22050 a second.
  ASSERT_TRUE(TakeFile());
  EXPECT_EQ(TakeFile()->samples.size(), 2 * 104448u);
  EXPECT_EQ(played->samples.size(), 2 * 53000u);
  EXPECT_EQ(played->format.samplesPerSecond, 22377u);
}

TEST_F(VoiceChangerTest, ListenPlaysNothingBeforeTheFirstTakeThenTheLatestResult) {
  world.ui.Click(voice, "保存配置按钮2");
  world.ui.Click(voice, "按钮2");
  EXPECT_TRUE(Played().empty());
  Toggle();
  for (size_t take = 1; take <= 2; ++take) {
    world.waveIn.SetLevel(static_cast<int16_t>(1000 * take));
    Steps(3);
    world.waveIn.SetLevel(0);
    Steps(11);
    ASSERT_EQ(Played().size(), take);
  }
  EXPECT_EQ(TakesStarted(), 2u);
  world.ui.Click(voice, "保存配置按钮2");
  world.ui.Click(voice, "按钮2");
  const std::vector<std::string> played = Played();
  ASSERT_EQ(played.size(), 4u);
  EXPECT_TRUE(played[2] == played[1]);
  EXPECT_TRUE(played[3] == played[1]);
  EXPECT_FALSE(played[1] == played[0]);
}

TEST_F(VoiceChangerTest, TheClipOutlivesTheWindowAndListenInANewWindowReplaysIt) {
  Toggle();
  LoudThenQuiet(11);
  world.ui.Close(voice);
  world.ui.Click(world.app.Main().Id(), "特定按钮5");
  world.ui.Click(world.ui.Find("voice"), "保存配置按钮2");
  const std::vector<std::string> played = Played();
  ASSERT_EQ(played.size(), 2u);
  EXPECT_TRUE(played[1] == played[0]);
}

TEST_F(VoiceChangerTest, PressingStopDuringATakeEndsItAndStillPlaysIt) {
  Toggle();
  world.waveIn.SetLevel(1000);
  Step();
  Steps(4);
  Toggle();
  ASSERT_TRUE(world.workers.Settle());
  world.dispatcher.RunPosted();
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
  EXPECT_EQ(world.waveIn.OpenStreams(), 0u);
  const std::optional<WaveView> take = TakeFile();
  ASSERT_TRUE(take);
  // The 0.2 s before the trigger and the 0.8 s it ran, with the recorder's last part buffer.
  EXPECT_EQ(take->samples.size(), 2 * 44100u);
  EXPECT_EQ(Played().size(), 1u);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGrey);
}

TEST_F(VoiceChangerTest, ClosingTheWindowDuringATakeEndsItWithoutSavingOrPlaying) {
  Toggle();
  world.waveIn.SetLevel(1000);
  Step();
  Steps(3);
  world.ui.Close(voice);
  // Every worker has ended by the time the window is gone; what they posted finds no window.
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
  EXPECT_EQ(world.waveIn.OpenStreams(), 0u);
  world.dispatcher.RunPosted();
  EXPECT_FALSE(world.files.files.count(DataPaths().takeFile));
  EXPECT_TRUE(Played().empty());
  EXPECT_TRUE(world.ui.IsWindowShown(world.app.Main().Id()));
  EXPECT_FALSE(world.ui.Exists(voice));
}

TEST_F(VoiceChangerTest, ATriggerAfterATakeEndedStartsTheNextOneAndLosesNeither) {
  Toggle();
  LoudThenQuiet(10);
  // The first take ends on the same step as the next loud reading arrives.
  LoudThenQuiet(11);
  EXPECT_EQ(TakesStarted(), 2u);
  EXPECT_EQ(Played().size(), 2u);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGrey);
}

TEST_F(VoiceChangerTest, WithoutAMicrophoneNothingStartsAndNothingIsShown) {
  world.waveIn.present = false;
  Toggle();
  EXPECT_EQ(Window().Text("保存配置按钮1"), "对着话筒咆哮吧");
  world.ui.SetText(voice, "编辑框2", "-1");  // even a threshold below silence starts no take
  Steps(20);
  EXPECT_EQ(Window().Position("进度条1"), 0);
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
  EXPECT_FALSE(world.files.files.count(DataPaths().takeFile));
  EXPECT_TRUE(world.log.empty());
}

TEST_F(VoiceChangerTest, AMicrophonePulledOutWhileLoudEndsTheTakeInsteadOfHoldingItOpen) {
  Toggle();
  world.waveIn.SetLevel(1000);
  Steps(3);
  world.waveIn.Unplug();
  // The last full buffer stays loud; a second of readings without a new one counts as silence.
  Steps(4);
  EXPECT_EQ(Window().Position("进度条1"), 1000);
  Step();
  EXPECT_EQ(Window().Position("进度条1"), 0);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGreen);
  Steps(11);
  EXPECT_EQ(world.ui.Fill(voice, "外形框1"), kGrey);
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
  EXPECT_EQ(Played().size(), 1u);
}

TEST_F(VoiceChangerTest, AnUnwritableTakeFileGivesNothingToPlay) {
  world.files.drives.erase("D:");
  world.files.directories.clear();
  Toggle();
  LoudThenQuiet(11);
  EXPECT_EQ(world.app.Voice().TakesInFlight(), 0u);
  EXPECT_TRUE(Played().empty());
  EXPECT_TRUE(world.log.empty());
}

// Takes that begin where the sound began. The recorder's signal counts frames, so the take
// file shows where each of its samples was heard and any frame lost or repeated.
class TakeStartTest : public VoiceChangerTest {
 protected:
  static constexpr int kRate = 44100;

  // Samples of the take file, or none.
  std::vector<int16_t> TakeSamples() const {
    std::vector<int16_t> samples;
    const std::optional<WaveView> take = TakeFile();
    if (!take) return samples;
    for (size_t at = 0; at + 1 < take->samples.size(); at += 2) {
      samples.push_back(static_cast<int16_t>(ReadLittleEndian(take->samples, at, 2)));
    }
    return samples;
  }

  // The index of the first sample above the threshold of 200, or the size when none is.
  static size_t FirstLoud(const std::vector<int16_t>& samples) {
    size_t i = 0;
    while (i < samples.size() && std::abs(samples[i]) <= 200) ++i;
    return i;
  }

  // Loud samples count up by one from 1000 (wrapping at 21000): the number of loud frames in a
  // row at which a run of such samples stops counting, or the size when it never does.
  static size_t CountsUntil(const std::vector<int16_t>& samples, size_t from) {
    for (size_t i = from + 1; i < samples.size(); ++i) {
      if (samples[i] < 1000) return i;
      if ((samples[i] - 1000) != (samples[i - 1] - 1000 + 1) % 20000) return i;
    }
    return samples.size();
  }
};

TEST_F(TakeStartTest, APhraseHeardBeforeItsFirstLoudReadingIsKeptWhole) {
  // The phrase runs from 1.0 s to 3.0 s. For its first 0.5 s every level reading falls on a
  // negative sample, as in speech, so the first loud reading comes on the fourth tick into it.
  constexpr long long kOnsetMs = 1000, kEndMs = 3000, kUnreadMs = 500;
  world.waveIn.SetSignal([&](long long frame, int rate) -> int16_t {
    const long long ms = frame * 1000 / rate;
    if (ms < kOnsetMs || ms >= kEndMs) return static_cast<int16_t>(frame % 100);  // quiet
    if (rate != kRate) return ms < kOnsetMs + kUnreadMs ? -1000 : 1000;
    return static_cast<int16_t>(1000 + (frame - kOnsetMs * kRate / 1000) % 20000);
  });
  Toggle();
  Steps(8);
  EXPECT_EQ(TakesStarted(), 0u) << "three readings into the phrase are not loud";
  Step();
  EXPECT_EQ(TakesStarted(), 1u);
  Steps(30);
  const std::vector<int16_t> take = TakeSamples();
  ASSERT_FALSE(take.empty());
  // 100 ms of the quiet before the phrase, then the phrase from its first frame to its last.
  const size_t first = FirstLoud(take);
  EXPECT_EQ(first, 4410u);
  ASSERT_LT(first, take.size());
  EXPECT_EQ(take[first], 1000) << "the phrase's first sample";
  const size_t phraseFrames = (kEndMs - kOnsetMs) * kRate / 1000;
  EXPECT_EQ(CountsUntil(take, first) - first, phraseFrames);
  // The take file's header describes the longer take.
  const std::string bytes = world.files.files.at(DataPaths().takeFile);
  EXPECT_TRUE(bytes == BuildWave(kTakeFormat, bytes.substr(44)));
  EXPECT_EQ(ReadLittleEndian(bytes, 40, 4), 2 * take.size());
  EXPECT_EQ(Played().size(), 1u);
}

TEST_F(TakeStartTest, ATriggerSoonAfterListeningBeganTakesAllThatWasHeard) {
  world.waveIn.SetSignal([](long long frame, int rate) -> int16_t {
    return rate == kRate ? static_cast<int16_t>(1000 + frame % 20000) : 1000;
  });
  Toggle();
  world.waveIn.Run(100);
  Step();  // the first reading comes with 0.3 s heard
  ASSERT_EQ(TakesStarted(), 1u);
  world.waveIn.SetLevel(0);
  Steps(11);
  const std::vector<int16_t> take = TakeSamples();
  ASSERT_FALSE(take.empty());
  EXPECT_EQ(take[0], 1000) << "from the first frame the recorder heard, and nothing before it";
  // What had filled whole buffers before the sound stopped, counted through without a gap.
  EXPECT_GE(CountsUntil(take, 0), static_cast<size_t>(3 * kRate / 10 - 2048));
}

TEST_F(TakeStartTest, BufferedAndLiveSamplesMeetWithoutALostOrRepeatedFrame) {
  // A long sound that starts no take until the threshold comes down: by then the recorder has
  // kept its last 4 s, and the take carries on from them with the live buffers.
  world.waveIn.SetSignal([](long long frame, int rate) -> int16_t {
    return rate == kRate ? static_cast<int16_t>(1000 + frame % 20000) : 1000;
  });
  world.ui.SetText(voice, "编辑框2", "32767");
  Toggle();
  Steps(25);
  ASSERT_EQ(TakesStarted(), 0u);
  world.ui.SetText(voice, "编辑框2", "200");
  Step();  // 5.2 s heard
  ASSERT_EQ(TakesStarted(), 1u);
  Steps(5);
  world.waveIn.SetLevel(0);
  Steps(11);
  const std::vector<int16_t> take = TakeSamples();
  ASSERT_GT(take.size(), 5u * kRate);
  // The ring wrapped: the take keeps the last 4 s heard in whole buffers, no more.
  const long long heardAtTrigger = 52 * kRate / 10;
  const long long latestFirst = heardAtTrigger - 4 * kRate;
  EXPECT_GE(take[0], 1000 + (latestFirst - 2048) % 20000);
  EXPECT_LE(take[0], 1000 + latestFirst % 20000);
  // With 1.0 s more of sound after the trigger the counting runs through the seam unbroken.
  EXPECT_GE(CountsUntil(take, 0), static_cast<size_t>(kRate * 5 - 2048));
}

}  // namespace
}  // namespace zv
