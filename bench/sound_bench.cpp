// Play clip measured on the real Windows layer through the sound board's own interface, so any
// back end under it gives the same figures: with 1, 10 and 50 playbacks of the largest built-in
// clip overlapping, the time the GUI thread spends on one click, the memory each sounding
// playback holds beyond its samples, the threads of the process, the processor time per
// playback, and how long stop all and the wait at exit take. Writes its figures to the file named
// by its one argument (Wine programs' own output is awkward to read through pipes).
#include <windows.h>
// After <windows.h>, which they need.
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/media_player.h"
#include "platform/win32/system_worker_threads.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/xaudio2_output.h"
#include "sound/clip_catalogue.h"
#include "sound/sound_board.h"
#include "sound/wave_bytes.h"

namespace {

constexpr int kLargestClip = 9;  // 打架现场声音, 5.7 MB, 32.5 s
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

// Processor time of the whole process so far, in milliseconds.
double ProcessCpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

int ProcessThreads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

double MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Share of one core the process uses over `ms`.
double CpuShare(int ms) {
  const double cpu0 = ProcessCpuMs();
  const auto wall0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  return (ProcessCpuMs() - cpu0) / MsSince(wall0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  FILE* out = _wfopen(argv[1], L"w");
  if (!out) return 2;
  zv::win32::ModuleResources resources(GetModuleHandleW(nullptr));
  const std::string_view clip = resources.Bytes(zv::BoardClipName(kLargestClip));
  const std::optional<zv::WaveChunks> chunks = zv::FindWaveChunks(clip);
  const double samplesMiB = chunks ? static_cast<double>(chunks->data.size()) / (1 << 20) : 0.0;
  zv::win32::XAudio2Output audio;
  NoMedia media;
  zv::win32::SystemWorkerThreads workers;
  zv::SoundBoard board(audio, media, workers);
  std::fprintf(out, "clip %s: %zu bytes, %.2f MiB of samples\n",
               zv::BoardClipName(kLargestClip).c_str(), clip.size(), samplesMiB);

  for (int count : kCounts) {
    // One playback first, so whatever the first sound of a process sets up is in place, and the
    // figures below are about the playbacks alone.
    zv::PlayBoardClip(board, resources, kLargestClip);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    board.StopAll();
    while (board.Sounding() > 0) Sleep(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int threadsBefore = ProcessThreads();
    const double idleShare = CpuShare(1000);
    const double before = PrivateMiB();

    std::vector<double> clicks;
    int started = 0;
    for (int i = 0; i < count; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      started += zv::PlayBoardClip(board, resources, kLargestClip) ? 1 : 0;
      clicks.push_back(MsSince(t0));
    }
    // Let every playback settle into its steady state before looking at memory.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const double during = PrivateMiB();
    const int threadsDuring = ProcessThreads();
    const double share = CpuShare(2000);
    const size_t sounding = board.Sounding();

    auto t0 = std::chrono::steady_clock::now();
    board.StopAll();
    const double stopClickMs = MsSince(t0);
    board.StopAllAndWait();
    const double stopWaitMs = MsSince(t0);

    std::sort(clicks.begin(), clicks.end());
    const double perPlayback = started ? (during - before) / started : 0.0;
    // A playback that holds at least its samples' size is taken to hold a private copy of them.
    const double beyond = perPlayback >= samplesMiB ? perPlayback - samplesMiB : perPlayback;
    std::fprintf(
        out,
        "%2d overlapping: started %d, sounding %zu; click on the GUI thread median %.3f ms, "
        "max %.3f ms; memory %.2f MiB more, %.1f KiB per playback beyond its samples; "
        "threads %d before, %d while sounding; processor %.1f%% of a core (%.1f%% idle), "
        "%.3f%% per playback; stop all %.2f ms, with the wait at exit %.2f ms\n",
        count, started, sounding, clicks[clicks.size() / 2], clicks.back(), during - before,
        beyond * 1024, threadsBefore, threadsDuring, share * 100, idleShare * 100,
        started ? (share - idleShare) * 100 / started : 0.0, stopClickMs, stopWaitMs);
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
