// Pauses of the take workers on the system clock: a pause lasts its time unless it is cut, and
// a cut pause ends at once, so closing the voice changer never waits out a worker's sleep.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/win32/system_worker_threads.h"

namespace zv::win32 {
namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(SystemWorkerThreadsTest, APauseLastsItsTime) {
  SystemWorkerThreads workers;
  const std::atomic<bool> cut{false};
  const auto start = Clock::now();
  EXPECT_TRUE(workers.Pause(60, cut));
  EXPECT_GE(MillisecondsSince(start), 55);
}

TEST(SystemWorkerThreadsTest, AFlagAlreadySetEndsThePauseAtOnce) {
  SystemWorkerThreads workers;
  const std::atomic<bool> cut{true};
  const auto start = Clock::now();
  EXPECT_FALSE(workers.Pause(10000, cut));
  EXPECT_LT(MillisecondsSince(start), 5000);
}

TEST(SystemWorkerThreadsTest, CuttingFromAnotherThreadWakesTheWorker) {
  SystemWorkerThreads workers;
  std::atomic<bool> cut{false};
  std::atomic<bool> result{true};
  const auto start = Clock::now();
  std::thread worker = workers.Start([&] { result = workers.Pause(20000, cut); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  cut = true;
  workers.WakeAll();
  worker.join();
  EXPECT_FALSE(result);
  EXPECT_LT(MillisecondsSince(start), 10000);
}

}  // namespace
}  // namespace zv::win32
