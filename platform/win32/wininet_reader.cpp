// Reads a document whole on a worker thread while the caller waits with a deadline. WinINet's
// own time-outs and closing a handle do not reliably unblock a request whose server accepted
// the connection and then went silent (seen under Wine), so the caller stops waiting by itself
// and the worker, which holds only its own call's state, ends whenever the server lets it.
// While it waits, the caller answers messages other programs send to its windows (a screen
// reader asking for a text) and repaints them, but takes no input and runs no timers: the
// program itself does nothing until the read is over, and keys, clicks and ticks then follow in
// the order they came.
#include "platform/win32/wininet_reader.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/win32/scoped_handles.h"
#include "platform/win32/wininet_request.h"

namespace zv::win32 {

struct ReadCall {
  ReadCall() : ended(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  void Signal() {
    if (ended) SetEvent(ended.get());
  }

  KernelHandle ended;  // set when the worker is done or the call is cancelled
  CancelRegistry cancel;
  std::mutex mutex;
  bool done = false;
  bool abandoned = false;
  HttpResult result;
};

namespace {

constexpr size_t kReadBlock = 16384;
constexpr size_t kMaxBodyBytes = 8 * 1024 * 1024;
// The longest a read may take, connecting included; the version check waits this long at most.
constexpr auto kReadDeadline = std::chrono::seconds(15);
// Windows takes a window whose thread has not asked for messages for 5 s as hung: greys it and
// offers to close it. Asking ten times a second keeps far from that.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-ishungappwindow
constexpr std::chrono::milliseconds kMessageCheck(100);
// A window procedure that never validates would otherwise keep the repaint loop going.
constexpr int kPaintsPerCheck = 64;

void Fetch(const std::string& url, ReadCall& call) {
  const std::optional<HttpUrl> cracked = CrackHttpUrl(url);
  if (!cracked) return;
  std::optional<OpenRequest> open = SendGet(*cracked, L"HTTP/1.0", "", Timeouts{}, call.cancel);
  if (!open) return;
  // The page's character set may be named only here; a missing header leaves the text empty.
  if (std::optional<std::string> type = Header(open->request.get(), HTTP_QUERY_CONTENT_TYPE)) {
    std::lock_guard<std::mutex> lock(call.mutex);
    call.result.contentType = std::move(*type);
  }
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

// Dispatches what arrived for the thread's windows that may run now: messages sent by other
// threads and processes, and repaints. Posted messages, input and timers stay queued.
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-peekmessagew
void AnswerSentMessagesAndRepaint() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  for (int i = 0; i < kPaintsPerCheck &&
                  PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT);
       ++i) {
    DispatchMessageW(&message);
  }
}

// Waits for the call's event until the deadline, asking for messages at least every
// kMessageCheck and whenever one that may run arrives.
void WaitAnsweringSentMessages(ReadCall& call) {
  if (!call.ended) return;
  HANDLE ended = call.ended.get();
  const auto deadline = std::chrono::steady_clock::now() + kReadDeadline;
  for (;;) {
    AnswerSentMessagesAndRepaint();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    const DWORD woke = MsgWaitForMultipleObjects(
        1, &ended, FALSE, static_cast<DWORD>(std::min(left, kMessageCheck).count()),
        QS_SENDMESSAGE | QS_PAINT);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return;
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
      call->Signal();
    }).detach();
    WaitAnsweringSentMessages(*call);
    std::lock_guard<std::mutex> lock(call->mutex);
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
    call->Signal();
  }
}

}  // namespace zv::win32
