// Play clip and stop all over the fake mixer: which bytes reach a voice and in which format, how
// every playback ends (played out, stopped, stalled, device lost), and how the engine is made
// again when the device goes or the default one changes.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "case_name.h"
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_media_player.h"
#include "platform/fake/fake_worker_threads.h"
#include "sound/sound_board.h"
#include "sound/wave_bytes.h"
#include "wave_maker.h"

namespace zv {
namespace {

using test::Chunk;
using test::Le;
using test::PcmClip;
using test::PcmFormat;
using test::Riff;

const std::string kFormat = PcmFormat(1, 11025, 8);
constexpr int kStall = SoundBoard::kStallMilliseconds;

ClipBytes Shared(const std::string& wave) {
  return ClipBytes::Shared(std::make_shared<const std::string>(wave));
}

// The housekeeper runs on fake worker threads, on their clock: a test lets it come to rest, or
// moves the clock, and then looks. The engine's callbacks never call back into the mixer.
struct Rig {
  EffectLog log;
  FakeWorkerThreads workers;
  FakeAudioOutput output;
  FakeMediaPlayer media{log};
  SoundBoard board{output, media, workers};

  ~Rig() { EXPECT_EQ(output.CallsFromListener(), 0); }
  bool Settle() { return workers.Settle(); }
  bool Play(const std::string& wave, bool loop = false) {
    const bool started = board.PlayClip(Shared(wave), loop);
    EXPECT_TRUE(Settle());
    return started;
  }
};

struct BadWave {
  std::string name;
  std::string bytes;
};

class BadWaveTest : public testing::TestWithParam<BadWave> {};

TEST_P(BadWaveTest, IsRefusedAndStartsNoVoice) {
  EXPECT_FALSE(FindWaveChunks(GetParam().bytes));
  Rig rig;
  EXPECT_FALSE(rig.Play(GetParam().bytes));
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

const std::string kFmt = Chunk("fmt ", kFormat);
const std::string kData = Chunk("data", std::string(40, 'x'));

INSTANTIATE_TEST_SUITE_P(
    Table, BadWaveTest,
    testing::Values(
        BadWave{"empty", ""},
        BadWave{"shorterThan36", PcmClip(64).substr(0, 35)},
        BadWave{"notRiff", "RIFX" + PcmClip(64).substr(4)},
        BadWave{"notWave", PcmClip(64).replace(8, 4, "AVI ")},
        BadWave{"noFormat", Riff({Chunk("junk", std::string(20, 'j')), kData})},
        BadWave{"noData", Riff({kFmt, Chunk("LIST", std::string(30, 'l'))})},
        BadWave{"dataPastTheBytes", Riff({kFmt, kData}).substr(0, 60)},
        BadWave{"dataPastTheRiffLength", Riff({kFmt, kData}, 4 + 24 + 20)},
        BadWave{"hugeChunkSize", Riff({kFmt, "data" + Le(0xFFFFFFFF, 4) + "abcd"})},
        BadWave{"formatAfterHugeChunk",
                Riff({"junk" + Le(0xFFFFFFF0, 4) + std::string(8, 'j'), kFmt, kData})}),
    [](const auto& info) { return info.param.name; });

TEST(WaveChunksTest, WalksPastOtherChunksAndTheirPadBytes) {
  const std::string data = "0123456789";
  const std::string wave =
      Riff({Chunk("LIST", "odd"), Chunk("fact", Le(10, 4)), kFmt, Chunk("data", data)});
  const auto chunks = FindWaveChunks(wave);
  ASSERT_TRUE(chunks);
  EXPECT_EQ(chunks->format, kFormat);
  EXPECT_EQ(chunks->data, data);
  // A RIFF length beyond the bytes held is clamped, not trusted.
  EXPECT_TRUE(FindWaveChunks(Riff({kFmt, Chunk("data", data)}, 1 << 30)));
}

// A "fmt " body with the block size `align`, and `extra` bytes after cbSize, which claims `claim`.
std::string Format(int tag, int align, int bits, size_t extra = 0, int claim = -1) {
  std::string format = Le(tag, 2) + Le(1, 2) + Le(22050, 4) + Le(22050 * align, 4) +
                       Le(align, 2) + Le(bits, 2);
  if (claim < 0 && extra == 0) return format;
  return format + Le(claim < 0 ? static_cast<int>(extra) : claim, 2) + std::string(extra, 'e');
}

struct PlayableCase {
  std::string name;
  std::string format;
  size_t dataBytes;
  std::optional<size_t> playable;  // samples handed to the mixer; nothing: refused
};

class PlayableTest : public testing::TestWithParam<PlayableCase> {};

// A mixer takes whole blocks only; what is cut is less than one block, from the end.
TEST_P(PlayableTest, HandsTheMixerWholeBlocksUnderAFormatThatHoldsWhatItClaims) {
  const PlayableCase& c = GetParam();
  const std::string data(c.dataBytes, 'd');
  const std::optional<WaveChunks> playable = PlayableChunks(WaveChunks{c.format, data});
  ASSERT_EQ(playable.has_value(), c.playable.has_value());
  if (!playable) return;
  EXPECT_EQ(playable->data.data(), data.data());
  EXPECT_EQ(playable->data.size(), *c.playable);
  EXPECT_EQ(playable->format, c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayableTest,
    testing::Values(
        PlayableCase{"eightBitWhole", PcmFormat(1, 11025, 8), 7, 7},
        PlayableCase{"sixteenBitOddByteCut", PcmFormat(1, 8000, 16), 101, 100},
        PlayableCase{"stereoCutToFrames", PcmFormat(2, 44100, 16), 4 * 10 + 3, 40},
        PlayableCase{"oneFrameExactly", PcmFormat(2, 44100, 16), 4, 4},
        PlayableCase{"lessThanOneFrame", PcmFormat(2, 44100, 16), 3, std::nullopt},
        // MS-ADPCM in 256-byte blocks: the short block at the end is left out.
        PlayableCase{"adpcmWholeBlocks", Format(2, 256, 4, 32), 35 * 256 + 137, 35 * 256},
        PlayableCase{"noBlockSize", Format(1, 0, 16), 100, std::nullopt},
        PlayableCase{"formatShorterThanItsFixedPart", PcmFormat(1, 8000, 16).substr(0, 14), 100,
                     std::nullopt},
        PlayableCase{"extraBytesAsClaimed", Format(1, 2, 16, 2), 100, 100},
        PlayableCase{"noExtraBytesClaimedNone", Format(1, 2, 16, 0, 0), 100, 100},
        PlayableCase{"extraBytesClaimedButMissing", Format(1, 2, 16, 1, 2), 100, std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(PlayClipTest, PlaysTheSamplesWhereTheyLieAndLetsGoOfThemOncePlayedOut) {
  Rig rig;
  const std::string wave = PcmClip(1000);
  EXPECT_TRUE(rig.board.PlayClip(ClipBytes::Lasting(wave), false));
  ASSERT_TRUE(rig.Settle());
  ASSERT_EQ(rig.output.VoiceCount(), 1u);
  const FakeVoice voice = rig.output.Voice(0);
  EXPECT_EQ(voice.format, kFormat);
  EXPECT_EQ(voice.at, wave.data() + 44) << "the clip is not copied";
  EXPECT_EQ(voice.samples.size(), 1000u);
  EXPECT_FALSE(voice.loop);
  EXPECT_EQ(rig.board.Sounding(), 1u);
  rig.output.PlayOut(0);
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.output.Voice(0).stopped);
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

TEST(PlayClipTest, HandedOverBytesStayUntilTheirVoiceIsLetGo) {
  Rig rig;
  auto wave = std::make_shared<const std::string>(PcmClip(1000));
  const std::weak_ptr<const std::string> held = wave;
  EXPECT_TRUE(rig.board.PlayClip(ClipBytes::Shared(std::move(wave)), false));
  ASSERT_TRUE(rig.Settle());
  EXPECT_FALSE(held.expired());
  EXPECT_EQ(rig.output.Voice(0).at, held.lock()->data() + 44);
  rig.output.PlayOut(0);
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(held.expired());
}

TEST(PlayClipTest, OverlapsWithoutLimitAndStopAllEndsEveryOneAndTheMediaFileAtOnce) {
  Rig rig;
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_TRUE(rig.Play(PcmClip(3000, 9)));
  EXPECT_EQ(rig.output.VoiceCount(), 6u);
  EXPECT_EQ(rig.output.SoundingVoices(), 6u);
  EXPECT_EQ(rig.board.Sounding(), 6u);
  rig.board.StopAll();
  EXPECT_EQ(rig.output.SoundingVoices(), 0u) << "before StopAll returns";
  EXPECT_EQ(rig.log, EffectLog{"media-stop"});
  EXPECT_EQ(rig.board.Sounding(), 0u);
  for (size_t i = 0; i < 6; ++i) EXPECT_FALSE(rig.output.Voice(i).ended) << i;
}

TEST(PlayClipTest, ALoopPlaysOnForAsLongAsItMovesUntilStopped) {
  Rig rig;
  ASSERT_TRUE(rig.Play(PcmClip(1000), true));
  EXPECT_TRUE(rig.output.Voice(0).loop);
  for (long long t = 1000; t <= 5 * kStall; t += 1000) {
    rig.output.Play(0, 11025);
    ASSERT_TRUE(rig.workers.AdvanceTo(t));
  }
  EXPECT_EQ(rig.board.Sounding(), 1u);
  EXPECT_FALSE(rig.output.Voice(0).stopped);
  rig.board.StopAll();
  EXPECT_TRUE(rig.output.Voice(0).stopped);
}

// A voice whose played-sample count has not moved for 8888 ms is ended as if stopped. Its
// progress is looked at every kWatchMilliseconds; `moves` are the moments just before which
// it moved.
struct StallCase {
  std::string name;
  std::vector<long long> moves;
  long long at;
  bool sounding;
};

class StallTest : public testing::TestWithParam<StallCase> {};

TEST_P(StallTest, EndsAVoiceThatHasNotMovedForTheStallTime) {
  const StallCase& c = GetParam();
  Rig rig;
  ASSERT_TRUE(rig.Play(PcmClip(1000)));
  for (long long move : c.moves) {
    ASSERT_TRUE(rig.workers.AdvanceTo(move - 1));
    rig.output.Play(0, 100);
  }
  ASSERT_TRUE(rig.workers.AdvanceTo(c.at));
  EXPECT_EQ(rig.board.Sounding(), c.sounding ? 1u : 0u);
  EXPECT_EQ(rig.output.Voice(0).stopped, !c.sounding);
  EXPECT_FALSE(rig.output.Voice(0).ended) << "it never played out";
}

INSTANTIATE_TEST_SUITE_P(
    Table, StallTest,
    testing::Values(StallCase{"neverMovedJustBefore", {}, kStall - 1, true},
                    StallCase{"neverMovedAtTheLimit", {}, kStall, false},
                    StallCase{"movedThenStalledJustBefore", {3000}, 3000 + kStall - 1, true},
                    StallCase{"movedThenStalledAtTheLimit", {3000}, 3000 + kStall, false},
                    StallCase{"keepsMoving", {2000, 6000, 10000, 14000}, 14000 + kStall - 1, true}),
    [](const auto& info) { return info.param.name; });

TEST(PlayClipTest, ALostDeviceEndsWhatSoundsAndTheNextClickPlaysOnANewEngine) {
  Rig rig;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.Play(PcmClip(1000), i == 0));
  rig.output.LoseDevice();
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.SoundingVoices(), 0u);
  EXPECT_EQ(rig.board.Sounding(), 0u);
  EXPECT_EQ(rig.output.Opens(), 2);
  ASSERT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_EQ(rig.output.Voice(3).engine, 2);
  EXPECT_EQ(rig.board.Sounding(), 1u);
}

TEST(PlayClipTest, ANewDefaultDeviceTakesTheNextClickWhileOthersPlayOnWhereTheyAre) {
  Rig rig;
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(rig.Play(PcmClip(1000)));
  rig.output.ChangeDefaultDevice();
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Opens(), 2);
  EXPECT_EQ(rig.output.SoundingVoices(), 2u);
  ASSERT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_EQ(rig.output.Voice(0).engine, 1);
  EXPECT_EQ(rig.output.Voice(2).engine, 2);
  rig.output.PlayOut(0);
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.board.Sounding(), 2u);
}

TEST(PlayClipTest, ARefusedFormatIsSilentAndLeavesNothingBehind) {
  Rig rig;
  rig.output.refusedFormats.insert(kFormat);
  EXPECT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
  EXPECT_EQ(rig.board.Sounding(), 0u);
  const std::string other = Riff({Chunk("fmt ", PcmFormat(2, 44100, 16)), Chunk("data", "abcd")});
  EXPECT_TRUE(rig.Play(other));
  EXPECT_EQ(rig.output.VoiceCount(), 1u);
}

TEST(PlayClipTest, WithoutADeviceNothingSoundsAndADeviceThatComesServesTheNextClick) {
  Rig rig;
  rig.output.present = false;
  EXPECT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_EQ(rig.board.Sounding(), 0u);
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
  rig.output.present = true;
  EXPECT_TRUE(rig.Play(PcmClip(1000)));
  EXPECT_EQ(rig.output.VoiceCount(), 1u);
  EXPECT_EQ(rig.board.Sounding(), 1u);
}

TEST(PlayClipTest, AClickNeverWaitsForTheEngineAndPlaysOnceItIsMade) {
  Rig rig;
  rig.workers.Hold();  // the housekeeper cannot make the engine yet
  EXPECT_TRUE(rig.board.PlayClip(Shared(PcmClip(1000)), false));
  EXPECT_EQ(rig.board.Sounding(), 1u);
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
  rig.workers.Release();
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.VoiceCount(), 1u);
  EXPECT_EQ(rig.board.Sounding(), 1u);
}

TEST(PlayClipTest, StopAllReachesAClickStillWaitingForTheEngine) {
  Rig rig;
  rig.workers.Hold();
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(rig.board.PlayClip(Shared(PcmClip(1000)), true));
    rig.board.StopAll();
  }
  rig.workers.Release();
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

TEST(PlayClipTest, EmptyDataChunkStartsNothingEvenWhenLooped) {
  Rig rig;
  const std::string wave = Riff({kFmt, Chunk("data", "")});
  ASSERT_TRUE(FindWaveChunks(wave));
  EXPECT_FALSE(rig.Play(wave, true));
  EXPECT_EQ(rig.output.VoiceCount(), 0u);
}

TEST(StopAllTest, WaitingFormEndsEveryVoiceAndLetsTheEngineGo) {
  Rig rig;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.Play(PcmClip(1000), true));
  EXPECT_TRUE(rig.output.IsOpen());
  rig.board.StopAllAndWait();
  EXPECT_EQ(rig.board.Sounding(), 0u);
  EXPECT_EQ(rig.output.SoundingVoices(), 0u);
  EXPECT_FALSE(rig.output.IsOpen());
}

}  // namespace
}  // namespace zv
