// Prints how long the voice changer's transformation takes for takes of growing length, at the
// slider's default and at both ends, so its growth with the take's length can be read off.
// The scratch file is in memory here: the figures are the block work and the copies alone.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/data_paths.h"
#include "platform/fake/fake_file_system.h"
#include "voice/take_wave.h"
#include "voice/voice_transform.h"

namespace {

std::string NoiseTake(double seconds) {
  const size_t frames = static_cast<size_t>(seconds * 44100);
  std::string samples(frames * 2, '\0');
  uint32_t state = 12345;
  for (size_t i = 0; i < samples.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    samples[i] = static_cast<char>(state >> 24);
  }
  return zv::BuildWave(zv::kTakeFormat, samples);
}

struct Timing {
  double median, slowest;
};

// The slowest run is usually the first: fresh memory from the system costs page faults, which
// a take in the real program pays every time.
Timing Measure(const std::string& take, int position, int runs) {
  zv::FakeFileSystem files;
  files.directories.insert(zv::DataPaths().folder);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const std::string result =
        zv::TransformTake(take, {[position] { return position; }, [] { return true; }}, files,
                          zv::DataPaths().scratchFile);
    const auto end = std::chrono::steady_clock::now();
    if (result.size() < 44) std::printf("no result\n");
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.back()};
}

}  // namespace

int main() {
  std::printf("median (slowest) milliseconds per transformation\n");
  std::printf(
      "take (s)       position 1         position 5        position 22  p5 per take second\n");
  for (double seconds : {2.2, 6.0, 15.0, 30.0, 60.0, 120.0, 300.0}) {
    const std::string take = NoiseTake(seconds);
    const int runs = seconds <= 60 ? 21 : 7;
    const Timing p5 = Measure(take, 5, runs);
    const Timing p1 = Measure(take, 1, runs);
    const Timing p22 = Measure(take, 22, runs);
    std::printf("%8.1f  %7.2f (%7.2f)  %7.2f (%7.2f)  %7.2f (%7.2f)  %9.3f (%7.3f)\n", seconds,
                p1.median, p1.slowest, p5.median, p5.slowest, p22.median, p22.slowest,
                p5.median / seconds, p5.slowest / seconds);
  }
  return 0;
}
