// Download workers. The download thread first asks for a small leading range; a 206 answer
// with the whole length lets it split the rest of the file into parts, each read by its own
// worker into its own region of the part file, so no more than the file is ever asked for. A
// controller thread watches the byte count: a download that stops moving for longer than the
// time-outs allow is given up, because neither WinINet's time-outs nor closing its handles
// reliably unblock a read from a silent server (seen under Wine). The workers hold only the
// shared job, so abandoned ones end harmlessly whenever they can.
#include "platform/win32/wininet_transfer.h"

#include <algorithm>
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
  std::atomic<int64_t> length{-1};
  CancelRegistry cancel;

  // Held while the handler runs, so Stop can wait for a running notification and silence the
  // rest.
  std::mutex notifyMutex;
  bool silenced = false;

  // How far the threads are; `changed` wakes the controller and Stop.
  std::mutex mutex;
  std::condition_variable changed;
  bool finished = false;   // the download thread is over and `outcome` holds its result
  bool abandoned = false;  // the controller gave up waiting for the download thread
  bool done = false;       // the controller has sent its last notification
  TransferOutcome outcome;
  std::thread controller;
};

namespace {

constexpr int kAttemptsPerPart = 3;
constexpr auto kWatchInterval = std::chrono::milliseconds(200);
// Asked for first: enough to learn the length from the answer, small beside any file worth
// splitting.
constexpr int64_t kLeadingBytes = 64 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

int Notify(TransferJob& job, const TransferNotice& notice) {
  std::lock_guard<std::mutex> lock(job.notifyMutex);
  if (job.silenced || !job.settings.handler) return 0;
  try {
    return job.settings.handler(notice);
  } catch (...) {
    return 0;  // nothing may escape a worker thread
  }
}

// True for a 206 answer whose range starts at `first`, of a file of `length` bytes (any when -1).
bool AnswersRange(HINTERNET request, int64_t first, int64_t length) {
  const std::optional<std::string> range = Header(request, HTTP_QUERY_CONTENT_RANGE);
  return AnsweredRange(StatusCode(request), range, first, length).has_value();
}

// One download from its first request to the last byte in the part file, then into place.
class Download {
 public:
  explicit Download(TransferJob& job)
      : job_(job),
        timeouts_{static_cast<DWORD>(job.settings.connectTimeoutMs),
                  static_cast<DWORD>(job.settings.commandTimeoutMs),
                  static_cast<DWORD>(job.settings.receiveTimeoutMs)} {}

  // True when every byte arrived into the part file.
  bool Fetch() {
    const TransferSettings& s = job_.settings;
    url_ = CrackHttpUrl(s.source);
    if (!url_ || s.target.empty()) return false;
    target_ = GbkToWide(s.target);
    if (GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) {
      Notify(job_, {TransferCode::TargetExists, 0, {}});
    }
    std::optional<OpenRequest> first = AskForTheStart();
    if (!first || !CreatePartFile()) return false;
    if (answer_.leadingBytes < 0) return ReadTheOnlyStream(*first);
    if (answer_.length < 0) return ReadToTheEnd(std::move(first));
    return ReadInParts(std::move(first));
  }

  // Moves the finished file over the target or, when the target cannot be replaced, to the
  // first free fallback name; where it went.
  std::optional<std::wstring> PutInPlace() const {
    if (MoveFileExW(partFile_.c_str(), target_.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return target_;
    }
    for (const std::string& name : FallbackNames(job_.settings.target)) {
      const std::wstring other = GbkToWide(name);
      if (MoveFileExW(partFile_.c_str(), other.c_str(), MOVEFILE_WRITE_THROUGH)) return other;
    }
    return std::nullopt;
  }

  void RemovePartFile() const {
    if (!partFile_.empty()) DeleteFileW(partFile_.c_str());
  }

 private:
  std::optional<OpenRequest> Get(int64_t first, int64_t last) const {
    return SendGet(*url_, L"HTTP/1.1", RangeRequestHeader(first, last), timeouts_, job_.cancel);
  }

  // The leading range; its answer tells the length and whether the server sends ranges.
  std::optional<OpenRequest> AskForTheStart() {
    std::optional<OpenRequest> first = Get(0, kLeadingBytes - 1);
    if (!first || job_.stopping) return std::nullopt;
    const HINTERNET request = first->request.get();
    const std::optional<FirstAnswer> answer =
        ReadFirstAnswer(StatusCode(request), Header(request, HTTP_QUERY_CONTENT_RANGE),
                        Header(request, HTTP_QUERY_CONTENT_LENGTH));
    if (!answer) return std::nullopt;
    answer_ = *answer;
    job_.length = answer_.length;
    if (answer_.length >= 0) Notify(job_, {TransferCode::Size, answer_.length, {}});
    return first;
  }

  bool CreatePartFile() {
    const std::wstring partFile = GbkToWide(PartFileName(job_.settings.target));
    const KernelHandle created(CreateFileW(partFile.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created) partFile_ = partFile;
    return static_cast<bool>(created);
  }

  // A server without ranges: the whole file as one stream. Without a length only a stream that
  // ended by itself counts; with one, every byte.
  bool ReadTheOnlyStream(const OpenRequest& first) const {
    bool ended = false;
    const int64_t got = ReadInto(first.request.get(), ByteSpan{0, answer_.length}, ended);
    return got > 0 && (answer_.length >= 0 ? got == answer_.length : ended);
  }

  // A length the server does not know ('*'): after the leading range, the rest as one open
  // range, to its end.
  bool ReadToTheEnd(std::optional<OpenRequest> first) const {
    bool ended = false;
    const int64_t got = ReadInto(first->request.get(), ByteSpan{0, answer_.leadingBytes}, ended);
    first.reset();
    if (got != answer_.leadingBytes) return false;
    const std::optional<OpenRequest> rest = Get(got, -1);
    if (!rest || !AnswersRange(rest->request.get(), got, -1)) return false;
    ReadInto(rest->request.get(), ByteSpan{got, -1}, ended);
    return ended;
  }

  // The leading answer is read while the parts fetch the rest of the file.
  bool ReadInParts(std::optional<OpenRequest> first) const {
    const int64_t leading = answer_.leadingBytes;
    const std::vector<ByteSpan> spans =
        SplitSpan(leading, answer_.length - leading, std::max(job_.settings.parts, 1));
    std::vector<char> partWhole(spans.size(), 0);
    std::vector<std::thread> workers;
    bool leadingWhole = false;
    try {
      for (size_t i = 0; i < spans.size(); ++i) {
        workers.emplace_back([&, i] {
          try {
            partWhole[i] = FetchPart(spans[i]);
          } catch (...) {
          }
        });
      }
      bool ended = false;
      const int64_t got = ReadInto(first->request.get(), ByteSpan{0, leading}, ended);
      first.reset();
      leadingWhole = FetchPart(ByteSpan{got, leading - got});
    } catch (...) {
      // A worker that could not start leaves its part missing; the others are still waited for.
    }
    for (std::thread& worker : workers) worker.join();
    return leadingWhole &&
           std::all_of(partWhole.begin(), partWhole.end(), [](char w) { return w; });
  }

  // One part by its own ranged requests, retried from where it stopped while it makes progress.
  bool FetchPart(ByteSpan region) const {
    int failures = 0;
    while (region.length > 0 && !job_.stopping && failures < kAttemptsPerPart) {
      const std::optional<OpenRequest> open = Get(region.first, region.first + region.length - 1);
      int64_t got = 0;
      if (open && AnswersRange(open->request.get(), region.first, job_.length)) {
        bool ended = false;
        got = ReadInto(open->request.get(), region, ended);
      }
      region.first += got;
      region.length -= got;
      failures = got > 0 ? 0 : failures + 1;
    }
    return region.length == 0;
  }

  // Reads a request's body into the part file at the region (to the stream's end when its
  // length is -1), counting bytes. Returns how many bytes were written; `ended` tells whether
  // the stream ended by itself.
  int64_t ReadInto(HINTERNET request, const ByteSpan& region, bool& ended) const {
    ended = false;
    const KernelHandle file(CreateFileW(partFile_.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    LARGE_INTEGER at;
    at.QuadPart = region.first;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return 0;
    const int blockBytes = job_.settings.blockBytes > 0 ? job_.settings.blockBytes : 20480;
    std::vector<char> block(static_cast<size_t>(blockBytes));
    int64_t written = 0;
    while (!job_.stopping && (region.length < 0 || written < region.length)) {
      DWORD read = 0;
      if (!InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read)) break;
      ended = read == 0;
      if (ended) break;
      const DWORD keep = region.length < 0
                             ? read
                             : static_cast<DWORD>(std::min<int64_t>(read, region.length - written));
      DWORD put = 0;
      if (!WriteFile(file.get(), block.data(), keep, &put, nullptr) || put != keep) break;
      written += keep;
      job_.soFar += keep;
      job_.sinceQuery += keep;
    }
    return written;
  }

  TransferJob& job_;
  const Timeouts timeouts_;
  std::optional<HttpUrl> url_;
  std::wstring target_;
  std::wstring partFile_;  // empty until the part file is created
  FirstAnswer answer_;
};

TransferOutcome Counted(const TransferJob& job, TransferOutcome outcome) {
  outcome.received = job.soFar;
  outcome.length = job.length;
  return outcome;
}

void DownloadThread(const std::shared_ptr<TransferJob>& job) {
  Download download(*job);
  bool whole = false;
  try {
    whole = download.Fetch();
  } catch (...) {
  }
  TransferOutcome outcome;
  std::lock_guard<std::mutex> lock(job->mutex);
  if (whole && !job->abandoned && !job->stopping) {
    if (const std::optional<std::wstring> saved = download.PutInPlace()) {
      outcome.whole = true;
      outcome.savedPath = WideToGbk(*saved);
    }
  }
  if (!outcome.whole) download.RemovePartFile();
  job->outcome = Counted(*job, outcome);
  job->finished = true;
  job->changed.notify_all();
}

// Waits for the download while its bytes keep coming; gives it up once they stop for longer
// than connecting and one wait for data may take, or when the transfer is stopped.
TransferOutcome WatchDownload(const std::shared_ptr<TransferJob>& job) {
  const auto stallLimit = std::chrono::milliseconds(job->settings.connectTimeoutMs +
                                                    job->settings.receiveTimeoutMs);
  int64_t lastBytes = -1;
  auto lastProgress = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(job->mutex);
  while (!job->finished && !job->stopping) {
    job->changed.wait_for(lock, kWatchInterval);
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
    DeleteFileW(GbkToWide(PartFileName(job->settings.target)).c_str());
  }
  return Counted(*job, TransferOutcome{});
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
    std::lock_guard<std::mutex> lock(job->mutex);
    job->done = true;
  }
  job->changed.notify_all();
}

void StopJob(const std::shared_ptr<TransferJob>& job) {
  if (!job) return;
  {
    std::lock_guard<std::mutex> lock(job->mutex);
    job->stopping = true;
  }
  job->changed.notify_all();
  {
    std::lock_guard<std::mutex> lock(job->notifyMutex);
    job->silenced = true;
  }
  job->cancel.CancelAll();
  if (!job->controller.joinable()) return;
  std::unique_lock<std::mutex> lock(job->mutex);
  const bool done = job->changed.wait_for(lock, std::chrono::milliseconds(job->settings.stopWaitMs),
                                          [&] { return job->done; });
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
