// WinINet pieces shared by the HTTP read and the download: an owned HINTERNET, URL cracking,
// and one GET sent the program's way (the system's proxy settings, no cache, bounded waits).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {

struct InternetTraits : NullIsNone<HINTERNET> {
  static void Close(HINTERNET handle) { InternetCloseHandle(handle); }
};
using InternetHandle = UniqueHandle<InternetTraits>;

// Request handles that another thread may close to cancel a blocking call: WinINet documents
// closing the handle as the way to unblock a thread waiting in it.
class CancelRegistry {
 public:
  // False when everything has been cancelled already; the caller then gives up.
  bool Add(HINTERNET handle);
  // True when the caller still owns the handle and must close it itself.
  bool Remove(HINTERNET handle);
  void CancelAll();

 private:
  mutable std::mutex mutex_;
  std::set<HINTERNET> handles_;
  bool cancelled_ = false;
};

struct Timeouts {
  DWORD connectMs = 5000;
  DWORD sendMs = 5000;
  DWORD receiveMs = 10000;
};

struct HttpUrl {
  bool secure = false;
  std::wstring host;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  std::wstring pathAndQuery;
};

// http:// and https:// addresses (GBK) only.
std::optional<HttpUrl> CrackHttpUrl(const std::string& url);

// A sent request. Its request handle stays registered for cancelling until it is destroyed.
struct OpenRequest {
  OpenRequest() = default;
  OpenRequest(OpenRequest&& other) noexcept
      : session(std::move(other.session)),
        connection(std::move(other.connection)),
        request(std::move(other.request)),
        registry(std::exchange(other.registry, nullptr)) {}
  OpenRequest& operator=(OpenRequest&&) = delete;
  ~OpenRequest() {
    // A handle the registry closed to cancel must not be closed a second time.
    if (registry && request && !registry->Remove(request.get())) request.Release();
  }

  InternetHandle session, connection, request;
  CancelRegistry* registry = nullptr;
};

// Opens a session and sends one GET with "Accept: */*" and `extraHeaders` (GBK, each ending
// in CRLF). `version` is L"HTTP/1.0" or L"HTTP/1.1". Nothing when the request could not be sent.
std::optional<OpenRequest> SendGet(const HttpUrl& url, const wchar_t* version,
                                   const std::string& extraHeaders, const Timeouts& timeouts,
                                   CancelRegistry& cancel);

// The numeric status (0 when unknown) and one header (GBK) of an answered request.
int StatusCode(HINTERNET request);
std::optional<std::string> Header(HINTERNET request, DWORD which);

}  // namespace zv::win32
