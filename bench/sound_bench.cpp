// Play clip measured on the real Windows layer: how long the GUI thread spends on one click of
// the largest built-in clip, and how much memory each sounding playback holds, with 1, 10 and
// 50 playbacks overlapping. Writes its figures to the file named by its one argument (Wine
// programs' own output is awkward to read through pipes).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/media_player.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_resources.h"
#include "sound/clip_catalogue.h"
#include "sound/sound_board.h"

namespace {

constexpr int kLargestClip = 9;  // 打架现场声音, 5.7 MB
constexpr int kCounts[] = {1, 10, 50};

class NoMedia : public zv::IMediaPlayer {
 public:
  void Stop() override {}
  bool Play(const std::string&) override { return false; }
};

double PrivateMiB() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  // Wine fills PagefileUsage with the private bytes; PrivateUsage may stay 0 there.
  const SIZE_T bytes = std::max(counters.PrivateUsage, counters.PagefileUsage);
  return static_cast<double>(bytes) / (1 << 20);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  FILE* out = _wfopen(argv[1], L"w");
  if (!out) return 2;
  zv::win32::ModuleResources resources(GetModuleHandleW(nullptr));
  const std::string_view clip = resources.Bytes(zv::BoardClipName(kLargestClip));
  zv::win32::WaveOutAudio audio;
  NoMedia media;
  zv::SoundBoard board(audio, media);
  std::fprintf(out, "clip %s: %zu bytes\n", zv::BoardClipName(kLargestClip).c_str(), clip.size());
  // What a click is made of: copying the samples, and starting a thread.
  std::vector<double> copies, threads;
  for (int i = 0; i < 10; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    std::string copy(clip);
    copies.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    t0 = std::chrono::steady_clock::now();
    std::thread([] {}).join();
    threads.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(copies.begin(), copies.end());
  std::sort(threads.begin(), threads.end());
  std::fprintf(out, "parts of a click: copying the samples %.2f ms, starting and ending a thread %.2f ms (medians)\n",
               copies[5], threads[5]);

  for (int count : kCounts) {
    const double before = PrivateMiB();
    std::vector<double> clicks;
    int started = 0;
    for (int i = 0; i < count; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      started += board.PlayClip(clip, false) ? 1 : 0;
      clicks.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    // Let every worker fill its device queue before looking at memory.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const double during = PrivateMiB();
    const size_t sounding = board.Sounding();
    const auto t0 = std::chrono::steady_clock::now();
    board.StopAllAndWait();
    const double stopMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::sort(clicks.begin(), clicks.end());
    std::fprintf(out,
                 "%2d overlapping: started %d, sounding %zu; click on the GUI thread median %.2f ms, "
                 "max %.2f ms; memory %.1f MiB more, %.2f MiB per playback; stop all and wait %.1f ms\n",
                 count, started, sounding, clicks[clicks.size() / 2], clicks.back(), during - before,
                 started ? (during - before) / started : 0.0, stopMs);
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
