// Play clip measured on the real Windows layer: how long the GUI thread spends on one click of
// the largest built-in clip, how much memory and processor time each sounding playback costs,
// with 1, 10 and 50 playbacks overlapping, and what that memory is made of (worker threads,
// open devices, queued blocks). Writes its figures to the file named by its one argument (Wine
// programs' own output is awkward to read through pipes).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/media_player.h"
#include "platform/win32/system_worker_threads.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_resources.h"
#include "sound/clip_catalogue.h"
#include "sound/sound_board.h"
#include "sound/wave_bytes.h"

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

// Processor time of the whole process so far, in milliseconds.
double ProcessCpuMs() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

double MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The real devices, with the two calls stop all waits for timed: the reset that silences a
// device and the close that ends it. Times are milliseconds on the steady clock.
class TimedAudio final : public zv::IAudioOutput {
 public:
  struct Marks {
    double resetMs = 0, resetEnd = 0, closeMs = 0, closeEnd = 0;
  };

  std::unique_ptr<zv::IAudioStream> Open(const std::string& format) override {
    std::unique_ptr<zv::IAudioStream> inner = real_.Open(format);
    if (!inner) return nullptr;
    return std::make_unique<Stream>(std::move(inner), *this);
  }
  std::vector<Marks> Take() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<Marks> marks;
    marks.swap(marks_);
    return marks;
  }
  static double Now() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

 private:
  class Stream final : public zv::IAudioStream {
   public:
    Stream(std::unique_ptr<zv::IAudioStream> inner, TimedAudio& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    ~Stream() override {
      const double t0 = Now();
      inner_.reset();
      marks_.closeEnd = Now();
      marks_.closeMs = marks_.closeEnd - t0;
      std::lock_guard<std::mutex> guard(owner_.lock_);
      owner_.marks_.push_back(marks_);
    }
    bool Queue(const char* bytes, size_t size) override { return inner_->Queue(bytes, size); }
    int Reap() override { return inner_->Reap(); }
    bool Wait(int milliseconds) override { return inner_->Wait(milliseconds); }
    void Wake() override { inner_->Wake(); }
    void Reset() override {
      const double t0 = Now();
      inner_->Reset();
      marks_.resetEnd = Now();
      marks_.resetMs = marks_.resetEnd - t0;
    }

   private:
    std::unique_ptr<zv::IAudioStream> inner_;
    TimedAudio& owner_;
    Marks marks_;
  };

  zv::win32::WaveOutAudio real_;
  std::mutex lock_;
  std::vector<Marks> marks_;
};

void QueueCost(FILE* out, const std::string& format, std::string_view samples, int depth);

// Memory per item of what a sounding playback holds, one layer at a time, 50 of each.
void Decompose(FILE* out, std::string_view clip) {
  constexpr int kItems = 50;
  const std::optional<zv::WaveChunks> chunks = zv::FindWaveChunks(clip);
  if (!chunks) return;
  const std::string format(chunks->format);

  // Worker threads that only wait.
  double before = PrivateMiB();
  std::atomic<bool> release{false};
  std::vector<std::thread> waiting;
  for (int i = 0; i < kItems; ++i) {
    waiting.emplace_back([&release] {
      while (!release) Sleep(5);
    });
  }
  Sleep(300);
  const double perThread = (PrivateMiB() - before) / kItems;
  release = true;
  for (std::thread& t : waiting) t.join();

  // The same with the system's threads on a small stack reservation: whether the stack is
  // what a thread costs.
  release = false;
  before = PrivateMiB();
  std::vector<HANDLE> small;
  for (int i = 0; i < kItems; ++i) {
    small.push_back(CreateThread(
        nullptr, 64 * 1024,
        [](void* flag) -> DWORD {
          while (!*static_cast<std::atomic<bool>*>(flag)) Sleep(5);
          return 0;
        },
        &release, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  }
  Sleep(300);
  const double perSmallThread = (PrivateMiB() - before) / kItems;
  release = true;
  for (HANDLE t : small) {
    if (!t) continue;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
  }
  std::fprintf(out, "a waiting thread: %.3f MiB on the default stack, %.3f MiB on a 64 KiB reservation\n",
               perThread, perSmallThread);
  for (int depth : {2, zv::SoundBoard::kMaxQueuedBlocks}) QueueCost(out, format, chunks->data, depth);
}

// Memory of open devices with `depth` blocks queued on each.
void QueueCost(FILE* out, const std::string& format, std::string_view samples, int depth) {
  constexpr int kItems = 50;
  zv::win32::WaveOutAudio audio;
  double before = PrivateMiB();
  std::vector<std::unique_ptr<zv::IAudioStream>> streams;
  for (int i = 0; i < kItems; ++i) {
    if (auto stream = audio.Open(format)) streams.push_back(std::move(stream));
  }
  Sleep(300);
  const double open = PrivateMiB();
  const size_t block = zv::SoundBoard::kBlockBytes;
  for (auto& stream : streams) {
    for (int b = 0; b < depth && (b + 1) * block <= samples.size(); ++b) {
      stream->Queue(samples.data() + b * block, block);
    }
  }
  Sleep(1000);
  const double queued = PrivateMiB();
  const size_t devices = streams.size();
  for (auto& stream : streams) stream->Reset();
  streams.clear();
  std::fprintf(out, "open device %.3f MiB; with %d blocks of %zu bytes queued %.3f MiB more (%zu devices)\n",
               devices ? (open - before) / devices : 0.0, depth, block,
               devices ? (queued - open) / devices : 0.0, devices);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  FILE* out = _wfopen(argv[1], L"w");
  if (!out) return 2;
  zv::win32::ModuleResources resources(GetModuleHandleW(nullptr));
  const std::string_view clip = resources.Bytes(zv::BoardClipName(kLargestClip));
  TimedAudio audio;
  NoMedia media;
  zv::win32::SystemWorkerThreads workers;
  zv::SoundBoard board(audio, media, workers);
  std::fprintf(out, "clip %s: %zu bytes\n", zv::BoardClipName(kLargestClip).c_str(), clip.size());
  const std::optional<zv::WaveChunks> clipChunks = zv::FindWaveChunks(clip);
  const double copyMiB = clipChunks ? static_cast<double>(clipChunks->data.size()) / (1 << 20) : 0.0;
  // What a click is made of: copying the samples, and starting a thread.
  std::vector<double> copies, threads;
  for (int i = 0; i < 10; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    std::string copy(clip);
    copies.push_back(MsSince(t0));
    t0 = std::chrono::steady_clock::now();
    std::thread([] {}).join();
    threads.push_back(MsSince(t0));
  }
  std::fprintf(out, "parts of a click: copying the samples %.2f ms, starting and ending a thread %.2f ms (medians)\n",
               Median(copies), Median(threads));

  Decompose(out, clip);
  for (int count : kCounts) {
    const double before = PrivateMiB();
    std::vector<double> clicks;
    int started = 0;
    for (int i = 0; i < count; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      started += board.PlayClip(clip, false) ? 1 : 0;
      clicks.push_back(MsSince(t0));
    }
    // Let every worker fill its device queue before looking at memory.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const double during = PrivateMiB();
    // Processor time while they sound, and what a click costs the GUI thread meanwhile.
    const double cpu0 = ProcessCpuMs();
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    const double cpuShare = (ProcessCpuMs() - cpu0) / MsSince(wall0);
    const size_t sounding = board.Sounding();
    // The two parts of a click again, while they sound.
    std::vector<double> busyCopies, busyStarts;
    for (int i = 0; i < 5; ++i) {
      auto t1 = std::chrono::steady_clock::now();
      std::string copy(clip);
      busyCopies.push_back(MsSince(t1));
      t1 = std::chrono::steady_clock::now();
      std::thread worker = workers.Start([] {});
      busyStarts.push_back(MsSince(t1));
      worker.join();
    }
    audio.Take();
    // Stop all and wait, in two parts: until every worker has reset its device and left the
    // list, then until every worker has closed its device and been joined.
    const auto t0 = std::chrono::steady_clock::now();
    const double stopAt = TimedAudio::Now();
    board.StopAll();
    while (board.Sounding() > 0) Sleep(1);
    const double leftMs = MsSince(t0);
    board.StopAllAndWait();
    const double stopMs = MsSince(t0);
    std::vector<double> resets, closes;
    double lastReset = 0, lastClose = 0, closeSum = 0;
    for (const TimedAudio::Marks& m : audio.Take()) {
      resets.push_back(m.resetMs);
      closes.push_back(m.closeMs);
      closeSum += m.closeMs;
      lastReset = std::max(lastReset, m.resetEnd - stopAt);
      lastClose = std::max(lastClose, m.closeEnd - stopAt);
    }
    std::sort(clicks.begin(), clicks.end());
    std::fprintf(out,
                 "%2d overlapping: started %d, sounding %zu; click on the GUI thread median %.2f ms, "
                 "max %.2f ms; memory %.1f MiB more, %.2f MiB per playback (%.2f MiB beyond its copy); "
                 "processor %.1f%% of a core, %.2f%% per playback; stop all and wait %.1f ms "
                 "(all reset and gone from the list after %.1f ms)\n",
                 count, started, sounding, clicks[clicks.size() / 2], clicks.back(), during - before,
                 started ? (during - before) / started : 0.0,
                 started ? (during - before) / started - copyMiB : 0.0, cpuShare * 100,
                 sounding ? cpuShare * 100 / sounding : 0.0, stopMs, leftMs);
    std::fprintf(out,
                 "%2d overlapping, where the time goes: while they sound, copying the samples "
                 "%.2f ms and starting a worker %.2f ms (medians); on stop all a device's reset "
                 "takes %.1f ms (median), the last reset ends after %.1f ms; a close takes %.1f ms "
                 "(median), %.0f ms summed, the last close ends after %.1f ms\n",
                 count, Median(busyCopies), Median(busyStarts), Median(resets), lastReset,
                 Median(closes), closeSum, lastClose);
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
