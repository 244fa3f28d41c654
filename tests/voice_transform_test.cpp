// The block transformation on takes whose every block carries its own number, so the tests can
// read which blocks came out once, three times or not at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "base/data_paths.h"
#include "case_name.h"
#include "platform/fake/fake_file_system.h"
#include "voice/take_wave.h"
#include "voice/voice_transform.h"

namespace zv {
namespace {

// Mono 16-bit samples: every frame of block n (from 1) holds n; frames after the last full
// block hold -1.
std::string NumberedSamples(size_t frames) {
  std::string samples;
  for (size_t i = 0; i < frames; ++i) {
    const int16_t value = i / kFramesPerBlock < frames / kFramesPerBlock
                              ? static_cast<int16_t>(i / kFramesPerBlock + 1)
                              : int16_t{-1};
    samples.push_back(static_cast<char>(value & 0xFF));
    samples.push_back(static_cast<char>((value >> 8) & 0xFF));
  }
  return samples;
}

// The block numbers of stretched samples, one entry per output block.
std::vector<int> BlockNumbers(const std::string& samples) {
  std::vector<int> numbers;
  const size_t blockBytes = 2 * kFramesPerBlock;
  for (size_t at = 0; at + blockBytes <= samples.size(); at += blockBytes) {
    const auto value = static_cast<int16_t>(static_cast<uint8_t>(samples[at]) |
                                            (static_cast<uint8_t>(samples[at + 1]) << 8));
    numbers.push_back(value);
  }
  return numbers;
}

std::function<int()> Fixed(int position) {
  return [position] { return position; };
}

struct PatternCase {
  int position;
  size_t blocks;
  std::vector<int> expected;
};

class StretchPatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(StretchPatternTest, WritesTheBlocksInOrder) {
  const PatternCase& c = GetParam();
  const std::string out =
      StretchBlocks(NumberedSamples(c.blocks * kFramesPerBlock), 2, Fixed(c.position));
  EXPECT_EQ(out.size() % (2 * kFramesPerBlock), 0u);
  EXPECT_EQ(BlockNumbers(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FirstTripledAndDropped, StretchPatternTest,
    testing::Values(
        // p <= 11: the first tripled block is p + 2, then one in every p + 1.
        PatternCase{1, 6, {1, 2, 3, 3, 3, 4, 5, 5, 5, 6}},
        PatternCase{5, 8, {1, 2, 3, 4, 5, 6, 7, 7, 7, 8}},
        PatternCase{11, 13, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 13, 13}},
        // p >= 12: the first dropped block is 25 - p, then one in every 24 - p.
        PatternCase{12, 14, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}},
        PatternCase{22, 7, {1, 2, 4, 6}},
        PatternCase{22, 1, {1}},
        PatternCase{5, 0, {}}),
    test::NamedBy([](const PatternCase& c) { return "position" + std::to_string(c.position) + "blocks" + std::to_string(c.blocks); }));

struct LengthCase {
  int position;
  size_t frames;
  size_t outputBlocks;
};

class StretchLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(StretchLengthTest, OutputBlockCount) {
  const LengthCase& c = GetParam();
  const std::string out = StretchBlocks(NumberedSamples(c.frames), 2, Fixed(c.position));
  EXPECT_EQ(out.size(), c.outputBlocks * 2 * kFramesPerBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StretchLengthTest,
    testing::Values(
        // One steady cycle after the longer first one: 12 blocks in, 14 out at 11, 11 at 12.
        LengthCase{11, 24000, 26}, LengthCase{12, 24000, 23},
        // A 6-second take: 264 blocks.
        LengthCase{5, 264600, 350}, LengthCase{1, 264600, 526}, LengthCase{22, 264600, 133},
        // 100,500 frames are 100 blocks; the last 500 frames are left out.
        LengthCase{5, 100500, 132}, LengthCase{22, 100500, 51},
        // Shorter than a block: nothing.
        LengthCase{5, 999, 0}),
    test::NamedBy([](const LengthCase& c) { return "position" + std::to_string(c.position) + "frames" + std::to_string(c.frames); }));

TEST(StretchBlocksTest, LeavesOutTheFramesAfterTheLastFullBlock) {
  const std::vector<int> numbers =
      BlockNumbers(StretchBlocks(NumberedSamples(100500), 2, Fixed(11)));
  ASSERT_EQ(numbers.size(), 116u);
  EXPECT_EQ(numbers.back(), 100);
  EXPECT_EQ(std::count(numbers.begin(), numbers.end(), -1), 0);
}

TEST(StretchBlocksTest, ReadsTheSliderBeforeEveryBlock) {
  // Moved from 5 to 22 after the tenth block: the counter carries over into the new pattern.
  int reads = 0;
  const std::string out =
      StretchBlocks(NumberedSamples(16000), 2, [&reads] { return ++reads <= 10 ? 5 : 22; });
  EXPECT_EQ(reads, 16);
  EXPECT_EQ(BlockNumbers(out),
            (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 7, 7, 8, 9, 10, 12, 14, 16}));
}

TEST(StretchBlocksTest, StereoBlocksAreAThousandFrames) {
  const std::string stereo(4 * 3500, '\x01');  // 3500 frames of 4 bytes
  EXPECT_EQ(StretchBlocks(stereo, 4, Fixed(22)).size(), 4u * 2000);
  EXPECT_EQ(StretchBlocks(stereo, 0, Fixed(5)), "");
}

struct RateCase {
  int position;
  size_t frames;
  unsigned rate;
};

class VoiceModeRateTest : public testing::TestWithParam<RateCase> {};

TEST_P(VoiceModeRateTest, PlaysTheNewLengthInTheTakesDuration) {
  const RateCase& c = GetParam();
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  const std::string take = BuildWave(kTakeFormat, NumberedSamples(c.frames));
  const std::string result =
      TransformTake(take, {Fixed(c.position), [] { return true; }}, files, DataPaths().scratchFile);
  const std::optional<WaveView> wave = ReadWave(result);
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format.samplesPerSecond, c.rate);
  EXPECT_EQ(wave->format.bytesPerSecond, c.rate * 2);
  EXPECT_EQ(wave->format.channels, 1);
  EXPECT_EQ(wave->format.bitsPerSample, 16);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VoiceModeRateTest,
    testing::Values(
        // 6 s at position 5: 350 blocks in 6 s, about 4/3 of 44100 (58800).
        RateCase{5, 264600, 58333},
        // An octave lower at 22: 133 blocks in 6 s, about 22050.
        RateCase{22, 264600, 22166}, RateCase{11, 264600, 51000}, RateCase{12, 264600, 40500},
        // No samples out, or no duration: the take's own rate stays.
        RateCase{5, 999, 44100}, RateCase{5, 0, 44100}),
    test::NamedBy([](const RateCase& c) { return "position" + std::to_string(c.position) + "frames" + std::to_string(c.frames); }));

TEST(TransformTakeTest, SpeedModeKeepsTheRateAndLengthensBy4To3AtPosition5) {
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  const std::string result =
      TransformTake(BuildWave(kTakeFormat, NumberedSamples(264600)),
                    {Fixed(5), [] { return false; }}, files, DataPaths().scratchFile);
  const std::optional<WaveView> wave = ReadWave(result);
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format.samplesPerSecond, 44100u);
  EXPECT_EQ(wave->format.bytesPerSecond, 88200u);
  EXPECT_EQ(wave->samples.size(), 350000u * 2);
  EXPECT_NEAR(wave->samples.size() / 88200.0, 8.0, 0.1);
  // The scratch file holds the same raw samples, without a header.
  EXPECT_EQ(files.files.at(DataPaths().scratchFile), std::string(wave->samples));
}

TEST(TransformTakeTest, ReadsTheModeOnceAfterTheBlocks) {
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  int blocksRead = 0;
  std::vector<int> seenAtModeRead;
  TransformTake(BuildWave(kTakeFormat, NumberedSamples(5000)),
                {[&] {
                   ++blocksRead;
                   return 5;
                 },
                 [&] {
                   seenAtModeRead.push_back(blocksRead);
                   return true;
                 }},
                files, DataPaths().scratchFile);
  EXPECT_EQ(seenAtModeRead, std::vector<int>{5});
}

TEST(TransformTakeTest, NothingOfTheLastResultStaysInTheScratchFile) {
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  files.files[DataPaths().scratchFile] = std::string(1 << 20, 'x');
  TransformTake(BuildWave(kTakeFormat, NumberedSamples(999)), {Fixed(5), [] { return false; }},
                files, DataPaths().scratchFile);
  EXPECT_EQ(files.files.at(DataPaths().scratchFile), "");
}

TEST(TransformTakeTest, WithoutAScratchFileTheResultHasNoSamples) {
  FakeFileSystem files;  // no data directory: the scratch file cannot be made
  const std::string result =
      TransformTake(BuildWave(kTakeFormat, NumberedSamples(264600)),
                    {Fixed(5), [] { return true; }}, files, DataPaths().scratchFile);
  const std::optional<WaveView> wave = ReadWave(result);
  ASSERT_TRUE(wave);
  EXPECT_TRUE(wave->samples.empty());
  EXPECT_EQ(wave->format.samplesPerSecond, 44100u);
}

TEST(TakeWaveTest, HeaderIsTheCanonical44Bytes) {
  const std::string wave = BuildWave(kTakeFormat, std::string("\x01\x02\x03\x04", 4));
  const std::string expected(
      "RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0"
      "data\x04\0\0\0\x01\x02\x03\x04",
      48);
  EXPECT_EQ(wave, expected);
}

struct ReadCase {
  std::string name;
  std::string bytes;
  bool found;
  size_t samples;
};

std::string HeaderWithGap(size_t gap, uint32_t declared, size_t present) {
  std::string wave = BuildWave(kTakeFormat, "").substr(0, 36);
  wave += std::string(gap, 'z');
  wave += "data";
  for (int i = 0; i < 4; ++i) wave.push_back(static_cast<char>((declared >> (8 * i)) & 0xFF));
  return wave + std::string(present, '\x05');
}

class ReadWaveTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadWaveTest, FindsTheDataWithinItsReach) {
  const std::optional<WaveView> wave = ReadWave(GetParam().bytes);
  ASSERT_EQ(wave.has_value(), GetParam().found);
  if (wave) {
    EXPECT_EQ(wave->samples.size(), GetParam().samples);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadWaveTest,
    testing::Values(ReadCase{"canonical", HeaderWithGap(0, 10, 10), true, 10},
                    ReadCase{"another_chunk_first", HeaderWithGap(30, 10, 10), true, 10},
                    ReadCase{"identifier_ends_the_reach", HeaderWithGap(96, 6, 6), true, 6},
                    ReadCase{"identifier_past_the_reach", HeaderWithGap(97, 6, 6), false, 0},
                    ReadCase{"cut_off_data", HeaderWithGap(0, 4000, 10), true, 10},
                    ReadCase{"no_size_after_identifier", HeaderWithGap(0, 0, 0).substr(0, 42),
                             false, 0},
                    ReadCase{"shorter_than_the_format", std::string("RIFF\0\0\0\0WAVE", 12),
                             false, 0},
                    ReadCase{"empty", "", false, 0}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(TransformTakeTest, BytesThatAreNoTakeGiveNothing) {
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  EXPECT_EQ(TransformTake("", {Fixed(5), [] { return true; }}, files, DataPaths().scratchFile), "");
  EXPECT_EQ(TransformTake(std::string(200, '\0'), {Fixed(5), [] { return true; }}, files,
                          DataPaths().scratchFile),
            "");
}

TEST(TransformTakeTest, BrokenFormatFieldsDoNotCrash) {
  FakeFileSystem files;
  files.directories.insert(DataPaths().folder);
  for (const WaveFormatFields format :
       {WaveFormatFields{1, 0, 0, 2, 16}, WaveFormatFields{0, 44100, 0, 0, 0},
        WaveFormatFields{65535, 4294967295u, 0, 65535, 65535}}) {
    const std::string take = BuildWave(format, NumberedSamples(5000));
    const std::optional<WaveView> wave = ReadWave(
        TransformTake(take, {Fixed(1), [] { return true; }}, files, DataPaths().scratchFile));
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->format.samplesPerSecond, format.samplesPerSecond);
  }
}

}  // namespace
}  // namespace zv
