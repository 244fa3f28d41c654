// The XAudio2 output on a real engine: a clip in each format the program carries is played and
// ends by itself, and a loop plays on past its end until it is stopped. Needs an output device
// (the end-to-end run gives this program a private PulseAudio) and skips without one. A refused
// format (Wine's engine takes any tag), a changed or a lost device cannot be staged here; the
// sound board's tests cover what follows from them through the fake.
#include "platform/win32/xaudio2_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace zv::win32 {
namespace {

using Clock = std::chrono::steady_clock;

std::string Le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string PcmFormat(int channels, int rate, int bits) {
  const int align = channels * bits / 8;
  return Le(1, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
         Le(bits, 2);
}

// Mono MS-ADPCM in 256-byte blocks of 500 samples, as clip 2 is written.
std::string AdpcmFormat() {
  const int coefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                  {240, 0}, {460, -208}, {392, -232}};
  std::string format = Le(2, 2) + Le(1, 2) + Le(22050, 4) + Le(22050 * 256 / 500, 4) + Le(256, 2) +
                       Le(4, 2) + Le(32, 2) + Le(500, 2) + Le(7, 2);
  for (const auto& pair : coefficients) format += Le(pair[0] & 0xFFFF, 2) + Le(pair[1] & 0xFFFF, 2);
  return format;
}

// Blocks of silence: the first predictor, the smallest step, two zero samples, zero codes.
std::string AdpcmSilence(int blocks) {
  std::string block = Le(0, 1) + Le(16, 2) + Le(0, 2) + Le(0, 2);
  block += std::string(256 - block.size(), '\0');
  std::string out;
  for (int i = 0; i < blocks; ++i) out += block;
  return out;
}

struct PlayCase {
  std::string name;
  std::string format;
  std::string samples;
  uint64_t frames;
};

// COM, which the output starts for its device watch, stays off the thread the window tests use.
void OnOwnThread(const std::function<void()>& body) { std::thread(body).join(); }

bool Until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class XAudio2PlayTest : public testing::TestWithParam<PlayCase> {};

TEST_P(XAudio2PlayTest, IsPlayedAndEndsByItself) {
  const PlayCase& c = GetParam();
  OnOwnThread([&] {
    XAudio2Output output;
    if (!output.Open()) {
      output.Close();
      GTEST_SKIP() << "no output device";
    }
    const VoiceId voice = output.Start(c.format, c.samples, false);
    ASSERT_NE(voice, kNoVoice);
    // The count starts again at the end of the stream, so the most it was seen at is kept.
    uint64_t most = 0;
    EXPECT_TRUE(Until(
        [&] {
          const VoiceProgress progress = output.Progress(voice);
          most = std::max(most, progress.samplesPlayed);
          return progress.ended;
        },
        std::chrono::seconds(5)));
    EXPECT_GT(most, 0u) << "samples were played";
    EXPECT_LE(most, c.frames);
    output.Stop(voice);
    output.Close();
  });
}

INSTANTIATE_TEST_SUITE_P(Formats, XAudio2PlayTest,
                         testing::Values(PlayCase{"unsigned8BitMono", PcmFormat(1, 11025, 8),
                                                  std::string(2205, '\x80'), 2205},
                                         PlayCase{"signed16BitStereo", PcmFormat(2, 44100, 16),
                                                  std::string(4 * 4410, '\0'), 4410},
                                         PlayCase{"msAdpcm500SamplesABlock", AdpcmFormat(),
                                                  AdpcmSilence(4), 4 * 500}),
                         [](const auto& info) { return info.param.name; });

TEST(XAudio2OutputTest, ALoopPlaysOnUntilStopped) {
  OnOwnThread([] {
    XAudio2Output output;
    if (!output.Open()) {
      output.Close();
      GTEST_SKIP() << "no output device";
    }
    const std::string samples(551, '\x80');  // 50 ms
    const VoiceId voice = output.Start(PcmFormat(1, 11025, 8), samples, true);
    ASSERT_NE(voice, kNoVoice);
    EXPECT_TRUE(Until([&] { return output.Progress(voice).samplesPlayed > 3 * samples.size(); },
                      std::chrono::seconds(5)));
    EXPECT_FALSE(output.Progress(voice).ended);
    output.Stop(voice);
    EXPECT_TRUE(output.Progress(voice).ended) << "a stopped voice is gone";
    output.Close();
  });
}

}  // namespace
}  // namespace zv::win32
