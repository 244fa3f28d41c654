// Prints what the recorder's 4 s ring costs: the level tick on the GUI thread with the
// recorder off and on, side by side; the ring's own work on the capture thread per 200 ms of
// sound; and the one-off work of a trigger (the ring copied and searched for where the sound
// began).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_wave_input.h"
#include "voice/level_monitor.h"
#include "voice/listening_recorder.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianMicroseconds(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double Time(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// 200-ms rounds of listening: the microphone delivers, then the GUI thread reads the level.
double ListeningTick(zv::FakeWaveInput& mic, zv::LevelMonitor& monitor, int rounds) {
  std::vector<double> ticks;
  volatile int sink = 0;
  for (int round = 0; round < rounds; ++round) {
    mic.Run(200);
    ticks.push_back(Time([&] { sink = sink + monitor.ReadLevel(); }));
  }
  return MedianMicroseconds(ticks);
}

// 200 ms of capture buffers (8820 frames, 4096 bytes a buffer) appended to the ring.
double RingPer200Ms(int rounds) {
  zv::ByteRing ring(zv::ListeningRecorder::kKeptBytes);
  const std::string buffer(zv::ListeningRecorder::kBufferBytes, '\x11');
  const size_t buffers = 8820 * 2 / buffer.size() + 1;
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    times.push_back(Time([&] {
      for (size_t i = 0; i < buffers; ++i) ring.Append(buffer);
    }));
  }
  return MedianMicroseconds(times);
}

}  // namespace

int main() {
  constexpr int kRounds = 2000;
  zv::FakeWaveInput mic;
  uint32_t state = 12345;
  mic.SetSignal([&state](long long, int) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int16_t>(state >> 16);
  });
  zv::LevelMonitor monitor(mic);
  monitor.Start();
  const double off = ListeningTick(mic, monitor, kRounds);

  zv::ListeningRecorder recorder(mic);
  recorder.Start();
  const double on = ListeningTick(mic, monitor, kRounds);

  std::vector<double> triggers;
  for (int take = 0; take < 200; ++take) {
    mic.Run(200);
    triggers.push_back(Time([&] { recorder.BeginTake(200)->Stop(); }));
  }

  std::printf("median microseconds per 200 ms of listening     recorder off   recorder on\n");
  std::printf("level tick (GUI thread)                           %10.3f    %10.3f\n", off, on);
  std::printf("ring appends (capture thread)                          -      %10.3f\n",
              RingPer200Ms(kRounds));
  std::printf("trigger with a full 4 s ring (GUI, once a take)       -      %10.1f\n",
              MedianMicroseconds(triggers));
  return 0;
}
