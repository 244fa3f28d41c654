// Where a take begins within what the recorder kept: stretches of sound and
// quiet laid end to end, against the frame the take keeps from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/little_endian.h"
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

constexpr size_t kQuiet = kQuietStretchFrames;  // half a second
constexpr size_t kLead = kLeadInFrames;         // 100 ms

INSTANTIATE_TEST_SUITE_P(
    Table, SoundStartTest,
    testing::Values(
        SoundStartCase{"QuietThenSound", {{30000, 0}, {9000, 1000}}, 200, 30000 - kLead},
        // Quiet is at or below the threshold in absolute value: 200 and -200 are quiet.
        SoundStartCase{"ThresholdItselfIsQuiet", {{30000, 200}, {30000, -200}, {100, 201}}, 200,
                       60000 - kLead},
        SoundStartCase{"NegativeSamplesAreSoundToo", {{30000, 0}, {9000, -1000}}, 200,
                       30000 - kLead},
        // A pause between words, shorter than the quiet stretch, does not split the phrase.
        SoundStartCase{"PauseInsideThePhrase",
                       {{30000, 0}, {3000, 900}, {kQuiet - 1, 0}, {3000, 900}}, 200,
                       30000 - kLead},
        // Quiet as long as the stretch ends the earlier sound: the take starts after it.
        SoundStartCase{"LongPauseSeparatesTwoSounds",
                       {{30000, 0}, {3000, 900}, {kQuiet, 0}, {3000, 900}}, 200,
                       33000 + kQuiet - kLead},
        SoundStartCase{"SoundFromTheFirstFrameKeepsAll", {{60000, 700}}, 200, 0},
        // Quiet since listening began, shorter than a stretch: what came before it was not heard.
        SoundStartCase{"QuietSinceListeningBeganKeepsTheLeadIn", {{kQuiet - 1, 0}, {1000, 700}},
                       200, kQuiet - 1 - kLead},
        // Sound, a pause shorter than a stretch, more sound: all of it, from the first frame.
        SoundStartCase{"SoundBeforeAShortPauseKeepsAll", {{100, 900}, {kQuiet - 1, 0}, {1000, 700}},
                       200, 0},
        SoundStartCase{"LeadInReachesBackToTheFirstFrame", {{kLead, 0}, {1000, 700}}, 200, 0},
        SoundStartCase{"LeadInEndsJustAfterTheFirstFrame", {{kQuiet + 10, 0}, {1000, 700}}, 200,
                       kQuiet + 10 - kLead},
        // Nothing loud has reached the recorder yet: the last 100 ms, and the live sound after.
        SoundStartCase{"NothingLoudYet", {{30000, 5}}, 200, 30000 - kLead},
        SoundStartCase{"NegativeThresholdMakesEverythingSound", {{30000, 0}}, -5, 0},
        SoundStartCase{"FullScaleNegative", {{30000, 0}, {100, -32768}}, 32767, 30000 - kLead},
        SoundStartCase{"NothingHeard", {}, 200, 0}),
    [](const testing::TestParamInfo<SoundStartCase>& info) { return info.param.name; });

}  // namespace
}  // namespace zv
