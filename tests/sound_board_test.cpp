// Play clip and stop all over the fake output device: what reaches the device, in which blocks,
// and how every playback ends.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_media_player.h"
#include "platform/fake/fake_worker_threads.h"
#include "sound/sound_board.h"
#include "sound/wave_bytes.h"
#include "wave_maker.h"

namespace zv {
namespace {

using test::Chunk;
using test::PcmClip;
using test::PcmFormat;
using test::Riff;

const std::string kFormat = PcmFormat(1, 11025, 8);
constexpr size_t kBlock = SoundBoard::kBlockBytes;
// What follows a clip in kFormat: 500 ms of unsigned 8-bit silence.
const std::string kTail(5513, '\x80');

std::string DataOf(const std::string& wave) { return std::string(FindWaveChunks(wave)->data); }

// The playback workers run on fake worker threads and wait on the fake device through them, so
// a test lets them run until each waits on its device or has ended, then looks.
struct Rig {
  EffectLog log;
  FakeWorkerThreads workers;
  FakeAudioOutput output{workers};
  FakeMediaPlayer media{log};
  SoundBoard board{output, media, workers};

  bool Settle() { return workers.Settle(); }
  bool AllClosed() const {
    for (size_t i = 0; i < output.StreamCount(); ++i)
      if (!output.Stream(i).closed) return false;
    return true;
  }
};

struct BadWave {
  std::string name;
  std::string bytes;
};

class BadWaveTest : public testing::TestWithParam<BadWave> {};

TEST_P(BadWaveTest, IsRefusedAndOpensNoDevice) {
  EXPECT_FALSE(FindWaveChunks(GetParam().bytes));
  Rig rig;
  EXPECT_FALSE(rig.board.PlayClip(GetParam().bytes, false));
  EXPECT_EQ(rig.output.StreamCount(), 0u);
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
        BadWave{"hugeChunkSize", Riff({kFmt, "data" + test::Le(0xFFFFFFFF, 4) + "abcd"})},
        BadWave{"formatAfterHugeChunk",
                Riff({"junk" + test::Le(0xFFFFFFF0, 4) + std::string(8, 'j'), kFmt, kData})}),
    [](const auto& info) { return info.param.name; });

TEST(WaveChunksTest, WalksPastOtherChunksAndTheirPadBytes) {
  const std::string data = "0123456789";
  const std::string wave =
      Riff({Chunk("LIST", "odd"), Chunk("fact", test::Le(10, 4)), kFmt, Chunk("data", data)});
  const auto chunks = FindWaveChunks(wave);
  ASSERT_TRUE(chunks);
  EXPECT_EQ(chunks->format, kFormat);
  EXPECT_EQ(chunks->data, data);
  // A RIFF length beyond the bytes held is clamped, not trusted.
  EXPECT_TRUE(FindWaveChunks(Riff({kFmt, Chunk("data", data)}, 1 << 30)));
}

TEST(PlayClipTest, SendsTheSamplesInBlocksAndClosesTheDeviceAtTheEnd) {
  Rig rig;
  const std::string wave = PcmClip(2 * kBlock + 100);
  EXPECT_TRUE(rig.board.PlayClip(wave, false));
  ASSERT_TRUE(rig.Settle());
  ASSERT_EQ(rig.output.StreamCount(), 1u);
  EXPECT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.format, kFormat);
  EXPECT_EQ(stream.blockSizes, (std::vector<size_t>{kBlock, kBlock, 100}));
  EXPECT_EQ(stream.played, DataOf(wave));
  EXPECT_FALSE(stream.reset);
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

TEST(PlayClipTest, KeepsAtMostTwentyBlocksQueued) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(30 * kBlock + 1);
  ASSERT_TRUE(rig.board.PlayClip(wave, false));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, 20);
  EXPECT_EQ(rig.output.Stream(0).waits.size(), 1u);
  rig.output.Play(0, 5);
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).blockSizes.size(), 25u);
  EXPECT_EQ(rig.output.Stream(0).queued, 20);
  rig.output.Play(0, 100);
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, 7) << "the last six blocks and the silent tail";
  rig.output.Play(0, 100);
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.mostQueued, 20);
  EXPECT_EQ(stream.played, DataOf(wave) + kTail);
  for (int wait : stream.waits) EXPECT_EQ(wait, SoundBoard::kGiveUpMilliseconds);
}

TEST(PlayClipTest, PlaysItsOwnCopyOfTheBytes) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  std::string wave = PcmClip(3 * kBlock);
  const std::string original = DataOf(wave);
  ASSERT_TRUE(rig.board.PlayClip(wave, false));
  wave.assign(wave.size(), '\x55');
  wave = std::string();
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, 4);
  rig.output.Play(0, 3);
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.AllClosed());
  EXPECT_EQ(rig.output.Stream(0).played, original);
}

// A clip that plays once is followed on the device by real silence in its own format, and the
// device is reset and closed as soon as the clip itself has played: an output left to run dry
// fills the gap with zero bytes, which unsigned 8-bit plays as a click. Stopping drops the tail
// with everything else.
struct TailCase {
  std::string name;
  std::string format;
  bool stop;
  size_t tailBytes;
  char silence;
};

void PrintTo(const TailCase& c, std::ostream* os) { *os << c.name; }

std::string Format(int tag, int channels, int rate, int bits) {
  const int align = channels * bits / 8;
  return test::Le(tag, 2) + test::Le(channels, 2) + test::Le(rate, 4) + test::Le(rate * align, 4) +
         test::Le(align, 2) + test::Le(bits, 2);
}

// WAVE_FORMAT_EXTENSIBLE: the sub-format GUID starts with the plain format tag.
std::string Extensible(int subTag, int channels, int rate, int bits) {
  return Format(0xFFFE, channels, rate, bits) + test::Le(22, 2) + test::Le(bits, 2) +
         test::Le(channels == 1 ? 4 : 3, 4) + test::Le(subTag, 2) + std::string(14, '\x10');
}

class SilentTailTest : public testing::TestWithParam<TailCase> {};

TEST_P(SilentTailTest, FollowsTheClipAndIsDroppedOnceTheClipHasPlayed) {
  const TailCase& c = GetParam();
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string data = DataOf(PcmClip(2 * kBlock + 600));
  ASSERT_TRUE(rig.board.PlayClip(Riff({Chunk("fmt ", c.format), Chunk("data", data)}), false));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, c.tailBytes ? 4 : 3);
  if (c.stop) {
    rig.board.StopAll();
  } else {
    rig.output.Play(0, 3);  // the clip's own blocks only
  }
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.AllClosed()) << "closing never waits for the tail";
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.sent, data + std::string(c.tailBytes, c.silence));
  EXPECT_EQ(stream.played, c.stop ? std::string() : data);
  EXPECT_EQ(stream.reset, c.stop || c.tailBytes > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SilentTailTest,
    testing::Values(
        TailCase{"unsigned8BitRestsAt0x80", PcmFormat(1, 11025, 8), false, 5513, '\x80'},
        TailCase{"stereo8Bit", PcmFormat(2, 8000, 8), false, 8000, '\x80'},
        TailCase{"extensible8Bit", Extensible(1, 1, 11025, 8), false, 5513, '\x80'},
        TailCase{"signed16BitIsZeroAndAtMostOneBlock", PcmFormat(2, 44100, 16), false, kBlock, 0},
        TailCase{"roundedUpToAWholeFrame", PcmFormat(1, 11111, 16), false, 2 * 5556, 0},
        TailCase{"wholeFramesWithinOneBlock", Format(1, 6, 48000, 24), false, 853 * 18, 0},
        TailCase{"float", Format(3, 2, 48000, 32), false, kBlock, 0},
        TailCase{"aLaw", Format(6, 1, 8000, 8), false, 4000, '\xD5'},
        TailCase{"muLaw", Format(7, 1, 8000, 8), false, 4000, '\xFF'},
        TailCase{"adpcmHasNoSilentByteAndEndsAsBefore", Format(2, 1, 22050, 4), false, 0, 0},
        TailCase{"stopDropsTheTail8Bit", PcmFormat(1, 11025, 8), true, 5513, '\x80'},
        TailCase{"stopDropsTheTail16Bit", PcmFormat(1, 8000, 16), true, 8000, 0}),
    [](const auto& info) { return info.param.name; });

TEST(PlayClipTest, OverlapsWithoutLimitAndStopAllEndsEveryOneAndTheMediaFile) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(kBlock * 3);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(rig.board.PlayClip(wave, false));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.StreamCount(), 5u);
  EXPECT_EQ(rig.output.OpenStreams(), 5u);
  EXPECT_EQ(rig.board.Sounding(), 5u);
  rig.board.StopAll();
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.AllClosed());
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(rig.output.Stream(i).reset) << i;
  EXPECT_EQ(rig.log, EffectLog{"media-stop"});
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

TEST(PlayClipTest, LoopStartsAgainFromTheFirstBlockUntilStopped) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(kBlock + 10);
  ASSERT_TRUE(rig.board.PlayClip(wave, true));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, SoundBoard::kMaxQueuedBlocks);
  rig.output.Play(0, 6);
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.output.Stream(0).queued, SoundBoard::kMaxQueuedBlocks);
  rig.board.StopAll();
  ASSERT_TRUE(rig.Settle());
  EXPECT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  const std::string data = DataOf(wave);
  EXPECT_EQ(stream.played, data + data + data) << "no silence between the loops";
  EXPECT_TRUE(stream.reset);
  EXPECT_EQ(stream.blockSizes.size(), 26u);
}

TEST(PlayClipTest, StalledDeviceIsGivenUpAfterTheWaitRunsOut) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;  // and nothing is ever played
  ASSERT_TRUE(rig.board.PlayClip(PcmClip(kBlock), false));
  ASSERT_TRUE(rig.workers.AdvanceTo(SoundBoard::kGiveUpMilliseconds - 1));
  EXPECT_FALSE(rig.output.Stream(0).closed) << "given up before the wait ran out";
  EXPECT_EQ(rig.board.Sounding(), 1u);
  ASSERT_TRUE(rig.workers.AdvanceTo(SoundBoard::kGiveUpMilliseconds));
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_TRUE(stream.closed);
  EXPECT_EQ(stream.waits, std::vector<int>{SoundBoard::kGiveUpMilliseconds});
  EXPECT_TRUE(stream.reset);
  EXPECT_EQ(rig.board.Sounding(), 0u);
}

TEST(PlayClipTest, EmptyDataChunkStartsNothingEvenWhenLooped) {
  Rig rig;
  const std::string wave = Riff({kFmt, Chunk("data", "")});
  ASSERT_TRUE(FindWaveChunks(wave));
  EXPECT_FALSE(rig.board.PlayClip(wave, true));
  EXPECT_EQ(rig.output.StreamCount(), 0u);
}

TEST(PlayClipTest, WithoutADeviceOrWithARefusedFormatNothingSoundsAndNothingWaits) {
  Rig rig;
  rig.output.present = false;
  const auto start = std::chrono::steady_clock::now();
  rig.board.PlayClip(PcmClip(kBlock), false);
  rig.output.present = true;
  rig.output.refusedFormats.insert(kFormat);
  rig.board.PlayClip(PcmClip(kBlock), false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(rig.board.Sounding(), 0u);
  EXPECT_EQ(rig.output.StreamCount(), 0u);
}

TEST(PlayClipTest, StopAllReachesAPlaybackStillOpeningItsDevice) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  rig.workers.Hold();  // no worker has opened its device yet when stop all comes
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(rig.board.PlayClip(PcmClip(kBlock * 4), true));
    rig.board.StopAll();
  }
  rig.workers.Release();
  ASSERT_TRUE(rig.Settle());
  ASSERT_EQ(rig.output.StreamCount(), 20u);
  for (size_t i = 0; i < 20; ++i) {
    EXPECT_TRUE(rig.output.Stream(i).blockSizes.empty()) << "not one block after the stop " << i;
  }
  rig.board.StopAllAndWait();
  EXPECT_EQ(rig.output.OpenStreams(), 0u);
}

TEST(StopAllTest, WaitingFormEndsEveryWorkerBeforeItReturns) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.board.PlayClip(PcmClip(kBlock * 50), true));
  rig.board.StopAllAndWait();
  EXPECT_EQ(rig.board.Sounding(), 0u);
  EXPECT_EQ(rig.output.OpenStreams(), 0u);
}

}  // namespace
}  // namespace zv
