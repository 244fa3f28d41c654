// Download workers. The download thread first asks for a small leading range; a 206 answer
// with the whole length lets it split the rest of the file into parts, each read by its own
// worker into its own region of the part file, so no more than the file is ever asked for. A controller thread watches the byte count: a download that stops
// moving for longer than the time-outs allow is given up, because neither WinINet's time-outs
// nor closing its handles reliably unblock a read from a silent server (seen under Wine). The
// workers hold only the shared job, so abandoned ones end harmlessly whenever they can.
#include "platform/win32/wininet_transfer.h"

#include <atomic>
#include <condition_variable>
#include <optional>
#include <thread>
#include <vector>

#include "online/byte_ranges.h"
#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/wininet_request.h"

namespace zv::win32 {

struct TransferJob {
  explicit TransferJob(const TransferSettings& s) : settings(s) {}

  TransferSettings settings;
  std::atomic<bool> stopping{false};
  std::atomic<int64_t> soFar{0};
  std::atomic<int64_t> sinceQuery{0};
  CancelRegistry cancel;

  // Held while the handler runs, so Stop can wait for a running notification and silence the
  // rest.
  std::mutex notifyMutex;
  bool silenced = false;

  // The download thread's result, and whether the controller gave up waiting for it.
  std::mutex stateMutex;
  std::condition_variable stateChanged;
  bool finished = false;
  bool abandoned = false;
  TransferOutcome outcome;
  std::atomic<int64_t> length{-1};

  std::mutex doneMutex;
  std::condition_variable doneChanged;
  bool done = false;
  std::thread controller;
};

namespace {

constexpr int kAttemptsPerPart = 3;
constexpr auto kWatchInterval = std::chrono::milliseconds(200);

int Notify(TransferJob& job, const TransferNotice& notice) {
  std::lock_guard<std::mutex> lock(job.notifyMutex);
  if (job.silenced || !job.settings.handler) return 0;
  try {
    return job.settings.handler(notice);
  } catch (...) {
    return 0;  // nothing may escape a worker thread
  }
}

Timeouts TimeoutsOf(const TransferSettings& s) {
  return Timeouts{static_cast<DWORD>(s.connectTimeoutMs), static_cast<DWORD>(s.commandTimeoutMs),
                  static_cast<DWORD>(s.receiveTimeoutMs)};
}

std::wstring RangeHeader(int64_t first, int64_t last) {
  std::wstring header = L"Range: bytes=" + std::to_wstring(first) + L"-";
  if (last >= 0) header += std::to_wstring(last);
  return header + L"\r\n";
}

// Asked for first: enough to learn the length from the answer, small beside any file worth
// splitting.
constexpr int64_t kLeadingBytes = 64 * 1024;

// The Content-Range of a 206 answer, checked to start at `first` and to describe a file of
// `length` bytes (any length when -1).
std::optional<ContentRange> RangeOf(HINTERNET request, int64_t first, int64_t length) {
  if (StatusCode(request) != 206) return std::nullopt;
  const std::optional<std::wstring> header = Header(request, HTTP_QUERY_CONTENT_RANGE);
  if (!header) return std::nullopt;
  const std::optional<ContentRange> range = ParseContentRange(WideToGbk(*header));
  if (!range || range->first != first || (length >= 0 && range->length != length)) {
    return std::nullopt;
  }
  return range;
}

struct Region {
  int64_t first = 0;
  int64_t length = -1;  // -1: to the end of the stream
};

// Reads a request's body into the part file at the region, counting bytes. Returns how many
// bytes were written; `ended` tells whether the stream ended by itself.
int64_t ReadInto(TransferJob& job, HINTERNET request, const std::wstring& partFile,
                 const Region& region, bool& ended) {
  ended = false;
  KernelHandle file(CreateFileW(partFile.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return 0;
  LARGE_INTEGER at;
  at.QuadPart = region.first;
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return 0;
  std::vector<char> block(static_cast<size_t>(job.settings.blockBytes > 0 ? job.settings.blockBytes
                                                                          : 20480));
  int64_t written = 0;
  while (!job.stopping && (region.length < 0 || written < region.length)) {
    DWORD read = 0;
    if (!InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read)) break;
    if (read == 0) {
      ended = true;
      break;
    }
    DWORD keep = read;
    if (region.length >= 0 && written + keep > region.length) {
      keep = static_cast<DWORD>(region.length - written);
    }
    DWORD put = 0;
    if (!WriteFile(file.get(), block.data(), keep, &put, nullptr) || put != keep) break;
    written += keep;
    job.soFar += keep;
    job.sinceQuery += keep;
  }
  return written;
}

// One part by its own ranged requests, retried from where it stopped while it makes progress.
bool FetchPart(TransferJob& job, const HttpUrl& url, const std::wstring& partFile, Region region) {
  int failures = 0;
  while (region.length > 0 && !job.stopping && failures < kAttemptsPerPart) {
    std::optional<OpenRequest> open =
        SendGet(url, L"HTTP/1.1", RangeHeader(region.first, region.first + region.length - 1),
                TimeoutsOf(job.settings), job.cancel);
    int64_t got = 0;
    if (open && RangeOf(open->request.get(), region.first, job.length)) {
      bool ended = false;
      got = ReadInto(job, open->request.get(), partFile, region, ended);
    }
    region.first += got;
    region.length -= got;
    failures = got > 0 ? 0 : failures + 1;
  }
  return region.length == 0;
}

// The part file sits beside the target so the final rename stays on one volume.
std::wstring PartFileOf(const std::wstring& target) { return target + L".download"; }

// Moves the finished file over the target; when the target cannot be replaced (a program
// still running from it), keeps the file under the first free "stem (n).exe" instead.
std::optional<std::wstring> PutInPlace(const std::wstring& partFile, const std::wstring& target) {
  if (MoveFileExW(partFile.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return target;
  }
  const size_t dot = target.rfind(L'.');
  const std::wstring stem = dot == std::wstring::npos ? target : target.substr(0, dot);
  const std::wstring extension = dot == std::wstring::npos ? L"" : target.substr(dot);
  for (int n = 2; n <= 9; ++n) {
    const std::wstring other = stem + L" (" + std::to_wstring(n) + L")" + extension;
    if (MoveFileExW(partFile.c_str(), other.c_str(), MOVEFILE_WRITE_THROUGH)) return other;
  }
  return std::nullopt;
}

// Fetches the file into the part file; true when every byte arrived. Leaves the part file's
// and the target's paths for the caller, which puts the file in place or removes it.
bool FetchWhole(TransferJob& job, std::wstring& partFile, std::wstring& target) {
  const TransferSettings& s = job.settings;
  const std::optional<HttpUrl> url = CrackHttpUrl(s.source);
  if (!url || s.target.empty()) return false;
  target = GbkToWide(s.target);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    Notify(job, {TransferCode::TargetExists, 0, {}});
  }

  std::optional<OpenRequest> first =
      SendGet(*url, L"HTTP/1.1", RangeHeader(0, kLeadingBytes - 1), TimeoutsOf(s), job.cancel);
  if (!first || job.stopping) return false;
  const DWORD status = StatusCode(first->request.get());
  std::optional<ContentRange> leading;
  int64_t length = -1;
  if (status == 206) {
    leading = RangeOf(first->request.get(), 0, -1);
    if (!leading) return false;
    length = leading->length;
  } else if (status == 200) {
    // A server without ranges sends the whole file as one stream.
    if (const auto header = Header(first->request.get(), HTTP_QUERY_CONTENT_LENGTH)) {
      length = ParseContentLength(WideToGbk(*header)).value_or(-1);
    }
  } else {
    return false;  // an error page is not the file
  }
  job.length = length;
  if (length >= 0) Notify(job, {TransferCode::Size, length, {}});

  partFile = PartFileOf(target);
  {
    KernelHandle created(CreateFileW(partFile.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created.valid()) {
      partFile.clear();
      return false;
    }
  }

  bool ended = false;
  if (!leading) {
    const int64_t got = ReadInto(job, first->request.get(), partFile, Region{0, length}, ended);
    // Without a length only a stream that ended by itself counts; with one, every byte.
    return got > 0 && (length >= 0 ? got == length : ended);
  }
  if (length < 0) {
    // A length the server does not know ('*'): the rest as one open range, to its end.
    const int64_t got =
        ReadInto(job, first->request.get(), partFile, Region{0, leading->last + 1}, ended);
    first.reset();
    if (got != leading->last + 1) return false;
    std::optional<OpenRequest> rest =
        SendGet(*url, L"HTTP/1.1", RangeHeader(got, -1), TimeoutsOf(s), job.cancel);
    if (!rest || !RangeOf(rest->request.get(), got, -1)) return false;
    ReadInto(job, rest->request.get(), partFile, Region{got, -1}, ended);
    return ended;
  }

  // The leading answer is read while the parts fetch the rest of the file.
  const int64_t leadingBytes = leading->last + 1;
  const std::vector<ByteSpan> spans =
      SplitSpan(leadingBytes, length - leadingBytes, s.parts < 1 ? 1 : s.parts);
  std::vector<char> spanWhole(spans.size(), 0);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < spans.size(); ++i) {
    workers.emplace_back([&, i] {
      try {
        spanWhole[i] = FetchPart(job, *url, partFile, Region{spans[i].first, spans[i].length});
      } catch (...) {
      }
    });
  }
  const int64_t got = ReadInto(job, first->request.get(), partFile, Region{0, leadingBytes}, ended);
  first.reset();
  const bool leadingWhole = FetchPart(job, *url, partFile, Region{got, leadingBytes - got});
  for (std::thread& worker : workers) worker.join();
  for (char whole : spanWhole) {
    if (!whole) return false;
  }
  return leadingWhole;
}

void DownloadThread(const std::shared_ptr<TransferJob>& job) {
  std::wstring partFile, target;
  bool whole = false;
  try {
    whole = FetchWhole(*job, partFile, target);
  } catch (...) {
    whole = false;
  }
  TransferOutcome outcome;
  std::lock_guard<std::mutex> lock(job->stateMutex);
  if (whole && !job->abandoned && !job->stopping) {
    if (const std::optional<std::wstring> saved = PutInPlace(partFile, target)) {
      outcome.whole = true;
      outcome.savedPath = WideToGbk(*saved);
    }
  }
  if (!outcome.whole && !partFile.empty()) DeleteFileW(partFile.c_str());
  outcome.received = job->soFar;
  outcome.length = job->length;
  job->outcome = outcome;
  job->finished = true;
  job->stateChanged.notify_all();
}

// Waits for the download while its bytes keep coming; gives it up once they stop for longer
// than connecting and one wait for data may take, or when the transfer is stopped.
TransferOutcome WatchDownload(const std::shared_ptr<TransferJob>& job) {
  const auto stallLimit = std::chrono::milliseconds(job->settings.connectTimeoutMs +
                                                    job->settings.receiveTimeoutMs);
  int64_t lastBytes = -1;
  auto lastProgress = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(job->stateMutex);
  while (!job->finished && !job->stopping) {
    job->stateChanged.wait_for(lock, kWatchInterval);
    const auto now = std::chrono::steady_clock::now();
    if (job->soFar != lastBytes) {
      lastBytes = job->soFar;
      lastProgress = now;
    } else if (now - lastProgress > stallLimit) {
      break;
    }
  }
  if (job->finished) return job->outcome;
  job->abandoned = true;
  // The stuck workers' handles allow deleting; the file goes once they let go of it.
  if (!job->settings.target.empty()) {
    DeleteFileW(PartFileOf(GbkToWide(job->settings.target)).c_str());
  }
  TransferOutcome outcome;
  outcome.received = job->soFar;
  outcome.length = job->length;
  return outcome;
}

void RunJob(const std::shared_ptr<TransferJob>& job) {
  TransferOutcome outcome;
  try {
    std::thread([job] { DownloadThread(job); }).detach();
    outcome = WatchDownload(job);
  } catch (...) {
    outcome = TransferOutcome{};
  }
  if (!outcome.whole) {
    job->stopping = true;
    job->cancel.CancelAll();
  }
  Notify(*job, {TransferCode::Ended, 0, outcome});
  {
    std::lock_guard<std::mutex> lock(job->doneMutex);
    job->done = true;
  }
  job->doneChanged.notify_all();
}

void StopJob(const std::shared_ptr<TransferJob>& job) {
  if (!job) return;
  {
    std::lock_guard<std::mutex> lock(job->stateMutex);
    job->stopping = true;
  }
  job->stateChanged.notify_all();
  {
    std::lock_guard<std::mutex> lock(job->notifyMutex);
    job->silenced = true;
  }
  job->cancel.CancelAll();
  if (!job->controller.joinable()) return;
  std::unique_lock<std::mutex> lock(job->doneMutex);
  const bool done = job->doneChanged.wait_for(
      lock, std::chrono::milliseconds(job->settings.stopWaitMs), [&] { return job->done; });
  lock.unlock();
  // A worker still stuck after the wait keeps the job alive through its own reference and ends
  // by itself; it can no longer notify anyone.
  if (done) {
    job->controller.join();
  } else {
    job->controller.detach();
  }
}

}  // namespace

WinInetTransfer::WinInetTransfer() {
  // Parallel parts need more than WinINet's default of a few connections per server.
  DWORD connections = 16;
  InternetSetOptionW(nullptr, INTERNET_OPTION_MAX_CONNS_PER_SERVER, &connections,
                     sizeof(connections));
  InternetSetOptionW(nullptr, INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER, &connections,
                     sizeof(connections));
}

WinInetTransfer::~WinInetTransfer() { Stop(); }

void WinInetTransfer::Start(const TransferSettings& settings) {
  Stop();
  auto job = std::make_shared<TransferJob>(settings);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
  }
  job->controller = std::thread([job] { RunJob(job); });
}

int64_t WinInetTransfer::BytesSoFar() {
  std::lock_guard<std::mutex> lock(mutex_);
  return job_ ? job_->soFar.load() : 0;
}

int64_t WinInetTransfer::BytesSinceLastQuery() {
  std::lock_guard<std::mutex> lock(mutex_);
  return job_ ? job_->sinceQuery.exchange(0) : 0;
}

void WinInetTransfer::Stop() {
  std::shared_ptr<TransferJob> job;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job = job_;
  }
  StopJob(job);
}

}  // namespace zv::win32
