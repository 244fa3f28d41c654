// Reads a document whole. Besides WinINet's own time-outs, the body is capped in size and in
// total time, so a server that trickles or never stops cannot hold the caller for long.
#include "platform/win32/wininet_reader.h"

#include <chrono>
#include <vector>

#include "platform/win32/wininet_request.h"

namespace zv::win32 {
namespace {

constexpr size_t kReadBlock = 16384;
constexpr size_t kMaxBodyBytes = 8 * 1024 * 1024;
constexpr auto kMaxReadTime = std::chrono::seconds(30);

}  // namespace

WinInetReader::WinInetReader() : cancel_(std::make_unique<CancelRegistry>()) {}
WinInetReader::~WinInetReader() = default;

HttpResult WinInetReader::Get(const std::string& url) {
  HttpResult result;
  try {
    const std::optional<HttpUrl> cracked = CrackHttpUrl(url);
    if (!cracked) return result;
    std::optional<OpenRequest> open = SendGet(*cracked, L"HTTP/1.0", L"", Timeouts{}, *cancel_);
    if (!open) return result;
    const auto started = std::chrono::steady_clock::now();
    std::vector<char> block(kReadBlock);
    for (;;) {
      if (cancel_->Cancelled() || std::chrono::steady_clock::now() - started > kMaxReadTime) break;
      DWORD read = 0;
      if (!InternetReadFile(open->request.get(), block.data(), static_cast<DWORD>(block.size()),
                            &read)) {
        break;
      }
      if (read == 0) {
        result.complete = true;
        break;
      }
      result.body.append(block.data(), read);
      if (result.body.size() >= kMaxBodyBytes) break;
    }
  } catch (...) {
    // Out of memory or the like: what arrived so far is the answer.
    result.complete = false;
  }
  return result;
}

void WinInetReader::CancelAll() { cancel_->CancelAll(); }

}  // namespace zv::win32
