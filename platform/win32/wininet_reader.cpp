// Reads a document whole on a worker thread while the caller waits with a deadline. WinINet's
// own time-outs and closing a handle do not reliably unblock a request whose server accepted
// the connection and then went silent (seen under Wine), so the caller stops waiting by itself
// and the worker, which holds only its own call's state, ends whenever the server lets it.
#include "platform/win32/wininet_reader.h"

#include <chrono>
#include <condition_variable>
#include <thread>
#include <vector>

#include "platform/win32/wininet_request.h"

namespace zv::win32 {

struct ReadCall {
  CancelRegistry cancel;
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  bool abandoned = false;
  HttpResult result;
};

namespace {

constexpr size_t kReadBlock = 16384;
constexpr size_t kMaxBodyBytes = 8 * 1024 * 1024;
// The longest a read may take, connecting included; the version check waits this long at most.
constexpr auto kReadDeadline = std::chrono::seconds(15);

void Fetch(const std::string& url, ReadCall& call) {
  const std::optional<HttpUrl> cracked = CrackHttpUrl(url);
  if (!cracked) return;
  std::optional<OpenRequest> open = SendGet(*cracked, L"HTTP/1.0", L"", Timeouts{}, call.cancel);
  if (!open) return;
  std::vector<char> block(kReadBlock);
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(open->request.get(), block.data(), static_cast<DWORD>(block.size()),
                          &read)) {
      return;
    }
    std::lock_guard<std::mutex> lock(call.mutex);
    if (call.abandoned) return;
    if (read == 0) {
      call.result.complete = true;
      return;
    }
    call.result.body.append(block.data(), read);
    if (call.result.body.size() >= kMaxBodyBytes) return;
  }
}

}  // namespace

WinInetReader::~WinInetReader() { CancelAll(); }

HttpResult WinInetReader::Get(const std::string& url) {
  auto call = std::make_shared<ReadCall>();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_) return {};
    calls_.insert(call);
  }
  HttpResult result;
  bool finished = false;
  try {
    std::thread([call, url] {
      try {
        Fetch(url, *call);
      } catch (...) {
        // Out of memory or the like: what arrived so far is the answer.
      }
      {
        std::lock_guard<std::mutex> lock(call->mutex);
        call->done = true;
      }
      call->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(call->mutex);
    call->changed.wait_for(lock, kReadDeadline, [&] { return call->done || call->abandoned; });
    finished = call->done;
    call->abandoned = !finished;
    result = call->result;
    if (!finished) result.complete = false;
  } catch (...) {
    result = {};
  }
  if (!finished) call->cancel.CancelAll();  // may free the worker early where WinINet allows
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.erase(call);
  return result;
}

void WinInetReader::CancelAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  for (const std::shared_ptr<ReadCall>& call : calls_) {
    {
      std::lock_guard<std::mutex> callLock(call->mutex);
      call->abandoned = true;
    }
    call->changed.notify_all();
  }
}

}  // namespace zv::win32
