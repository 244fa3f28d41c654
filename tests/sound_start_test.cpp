// Where a take begins within the recorder's last second and a half: stretches of sound and
// quiet laid end to end, against the frame the take keeps from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/little_endian.h"
#include "voice/sound_start.h"

namespace zv {
namespace {

struct Stretch {
  size_t frames;
  int16_t value;
};

struct SoundStartCase {
  const char* name;
  std::vector<Stretch> heard;
  int16_t threshold;
  size_t start;
};

std::string Samples(const std::vector<Stretch>& stretches) {
  std::string bytes;
  for (const Stretch& stretch : stretches) {
    for (size_t i = 0; i < stretch.frames; ++i) {
      AppendLittleEndian(bytes, static_cast<uint16_t>(stretch.value), 2);
    }
  }
  return bytes;
}

class SoundStartTest : public testing::TestWithParam<SoundStartCase> {};

TEST_P(SoundStartTest, KeepsFromALittleBeforeTheSoundBegan) {
  EXPECT_EQ(SoundStartFrame(Samples(GetParam().heard), GetParam().threshold), GetParam().start);
}

constexpr size_t k100ms = 4410;

INSTANTIATE_TEST_SUITE_P(
    Table, SoundStartTest,
    testing::Values(
        SoundStartCase{"QuietThenSound", {{20000, 0}, {9000, 1000}}, 200, 20000 - k100ms},
        // Quiet is at or below the threshold in absolute value: 200 and -200 are quiet.
        SoundStartCase{"ThresholdItselfIsQuiet", {{20000, 200}, {20000, -200}, {100, 201}}, 200,
                       40000 - k100ms},
        SoundStartCase{"NegativeSamplesAreSoundToo", {{20000, 0}, {9000, -1000}}, 200,
                       20000 - k100ms},
        // A breath inside the phrase, shorter than the quiet stretch, does not split it.
        SoundStartCase{"ShortPauseInsideThePhrase",
                       {{20000, 0}, {3000, 900}, {k100ms - 1, 0}, {3000, 900}}, 200,
                       20000 - k100ms},
        // A pause as long as the quiet stretch ends the earlier sound: the take starts after it.
        SoundStartCase{"LongPauseSeparatesTwoSounds",
                       {{20000, 0}, {3000, 900}, {k100ms, 0}, {3000, 900}}, 200,
                       23000},
        SoundStartCase{"SoundFromTheFirstFrameKeepsAll", {{60000, 700}}, 200, 0},
        SoundStartCase{"QuietShorterThanAStretchKeepsAll", {{k100ms - 1, 0}, {1000, 700}}, 200, 0},
        SoundStartCase{"LeadInReachesBackToTheFirstFrame", {{k100ms, 0}, {1000, 700}}, 200, 0},
        SoundStartCase{"LeadInEndsJustAfterTheFirstFrame", {{k100ms + 10, 0}, {1000, 700}}, 200,
                       10},
        // Nothing loud has reached the recorder yet: the last 100 ms, and the live sound after.
        SoundStartCase{"NothingLoudYet", {{30000, 5}}, 200, 30000 - k100ms},
        SoundStartCase{"NegativeThresholdMakesEverythingSound", {{30000, 0}}, -5, 0},
        SoundStartCase{"FullScaleNegative", {{20000, 0}, {100, -32768}}, 32767, 20000 - k100ms},
        SoundStartCase{"NothingHeard", {}, 200, 0}),
    [](const testing::TestParamInfo<SoundStartCase>& info) { return info.param.name; });

}  // namespace
}  // namespace zv
