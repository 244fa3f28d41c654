// Play clip and stop all over the fake output device: what reaches the device, in which blocks,
// and how every playback ends.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_media_player.h"
#include "sound/sound_board.h"
#include "sound/wave_bytes.h"
#include "wave_maker.h"

namespace zv {
namespace {

using test::Chunk;
using test::PcmClip;
using test::PcmFormat;
using test::Riff;
using Records = std::vector<FakeStreamRecord>;

const std::string kFormat = PcmFormat(1, 11025, 8);
constexpr size_t kBlock = SoundBoard::kBlockBytes;

// Polls a condition the fake device is not told about, for up to five seconds.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::string DataOf(const std::string& wave) { return std::string(FindWaveChunks(wave)->data); }

struct Rig {
  EffectLog log;
  FakeAudioOutput output;
  FakeMediaPlayer media{log};
  SoundBoard board{output, media};

  // Devices open on the workers, so first wait for as many as were started.
  bool AllClosed(size_t opened = 1) {
    return output.WaitUntil([opened](const Records& records) {
      if (records.size() < opened) return false;
      for (const FakeStreamRecord& r : records)
        if (!r.closed) return false;
      return true;
    });
  }
  bool Queued(size_t stream, int blocks) {
    return output.WaitUntil([&](const Records& r) {
      return r.size() > stream && r[stream].queued == blocks && !r[stream].waits.empty();
    });
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
  ASSERT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.format, kFormat);
  EXPECT_EQ(stream.blockSizes, (std::vector<size_t>{kBlock, kBlock, 100}));
  EXPECT_EQ(stream.played, DataOf(wave));
  EXPECT_FALSE(stream.reset);
  EXPECT_TRUE(Eventually([&] { return rig.board.Sounding() == 0; }));
}

TEST(PlayClipTest, KeepsAtMostTwentyBlocksQueued) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(30 * kBlock + 1);
  ASSERT_TRUE(rig.board.PlayClip(wave, false));
  ASSERT_TRUE(rig.Queued(0, 20));
  rig.output.Play(0, 5);
  ASSERT_TRUE(rig.output.WaitUntil([](const Records& r) { return r[0].blockSizes.size() == 25; }));
  EXPECT_TRUE(rig.Queued(0, 20));
  rig.output.Play(0, 100);
  ASSERT_TRUE(rig.Queued(0, 6));
  rig.output.Play(0, 100);
  ASSERT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.mostQueued, 20);
  EXPECT_EQ(stream.played, DataOf(wave));
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
  ASSERT_TRUE(rig.Queued(0, 3));
  rig.output.Play(0, 3);
  ASSERT_TRUE(rig.AllClosed());
  EXPECT_EQ(rig.output.Stream(0).played, original);
}

TEST(PlayClipTest, OverlapsWithoutLimitAndStopAllEndsEveryOneAndTheMediaFile) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(kBlock * 3);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(rig.board.PlayClip(wave, false));
  EXPECT_TRUE(rig.output.WaitUntil([](const Records& r) { return r.size() == 5; }));
  EXPECT_EQ(rig.output.OpenStreams(), 5u);
  EXPECT_EQ(rig.board.Sounding(), 5u);
  rig.board.StopAll();
  ASSERT_TRUE(rig.AllClosed(5));
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(rig.output.Stream(i).reset) << i;
  EXPECT_EQ(rig.log, EffectLog{"media-stop"});
  EXPECT_TRUE(Eventually([&] { return rig.board.Sounding() == 0; }));
}

TEST(PlayClipTest, LoopStartsAgainFromTheFirstBlockUntilStopped) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  const std::string wave = PcmClip(kBlock + 10);
  ASSERT_TRUE(rig.board.PlayClip(wave, true));
  ASSERT_TRUE(rig.Queued(0, SoundBoard::kMaxQueuedBlocks));
  rig.output.Play(0, 6);
  ASSERT_TRUE(rig.Queued(0, SoundBoard::kMaxQueuedBlocks));
  rig.board.StopAll();
  ASSERT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  const std::string data = DataOf(wave);
  EXPECT_EQ(stream.played, data + data + data);
  EXPECT_TRUE(stream.reset);
  EXPECT_EQ(stream.blockSizes.size(), 26u);
}

TEST(PlayClipTest, StalledDeviceIsGivenUpAfterTheWaitRunsOut) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Stalled;
  ASSERT_TRUE(rig.board.PlayClip(PcmClip(kBlock), false));
  ASSERT_TRUE(rig.AllClosed());
  const FakeStreamRecord stream = rig.output.Stream(0);
  EXPECT_EQ(stream.waits, std::vector<int>{SoundBoard::kGiveUpMilliseconds});
  EXPECT_TRUE(stream.reset);
  EXPECT_TRUE(Eventually([&] { return rig.board.Sounding() == 0; }));
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
  EXPECT_TRUE(Eventually([&] { return rig.board.Sounding() == 0; }));
  EXPECT_EQ(rig.output.StreamCount(), 0u);
}

TEST(PlayClipTest, StopAllReachesAPlaybackStillOpeningItsDevice) {
  Rig rig;
  rig.output.speed = FakeDeviceSpeed::Manual;
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(rig.board.PlayClip(PcmClip(kBlock * 4), true));
    rig.board.StopAll();
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
