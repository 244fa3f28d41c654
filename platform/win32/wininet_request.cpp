// One GET over WinINet, the same way for every request of the program.
// https://learn.microsoft.com/windows/win32/wininet/http-sessions
#include "platform/win32/wininet_request.h"

#include <vector>

#include "platform/win32/code_page.h"

namespace zv::win32 {
namespace {

constexpr const wchar_t* kUserAgent = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  InternetSetOptionW(handle, option, &milliseconds, sizeof(milliseconds));
}

}  // namespace

bool CancelRegistry::Add(HINTERNET handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cancelled_) return false;
  handles_.insert(handle);
  return true;
}

bool CancelRegistry::Remove(HINTERNET handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_.erase(handle) != 0;
}

void CancelRegistry::CancelAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_ = true;
  for (HINTERNET handle : handles_) InternetCloseHandle(handle);
  handles_.clear();
}

std::optional<HttpUrl> CrackHttpUrl(const std::string& url) {
  const std::wstring wide = GbkToWide(url);
  if (wide.empty()) return std::nullopt;
  std::vector<wchar_t> host(wide.size() + 1), path(wide.size() + 1), extra(wide.size() + 1);
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
    return std::nullopt;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return std::nullopt;
  }
  HttpUrl cracked;
  cracked.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  cracked.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  cracked.port = parts.nPort;
  cracked.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  cracked.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (cracked.host.empty()) return std::nullopt;
  if (cracked.pathAndQuery.empty()) cracked.pathAndQuery = L"/";
  return cracked;
}

std::optional<OpenRequest> SendGet(const HttpUrl& url, const wchar_t* version,
                                   const std::string& extraHeaders, const Timeouts& timeouts,
                                   CancelRegistry& cancel) {
  OpenRequest open;
  // The system's own proxy settings (a proxy server or a PAC script), so the program reaches
  // the site from an office or school network as the browser does; it sets no proxy and no
  // credentials of its own.
  // https://learn.microsoft.com/windows/win32/api/wininet/nf-wininet-internetopenw
  open.session =
      InternetHandle(InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!open.session) return std::nullopt;
  SetTimeout(open.session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
  SetTimeout(open.session.get(), INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs);
  SetTimeout(open.session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
  SetTimeout(open.session.get(), INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeouts.receiveMs);
  DWORD oneTry = 1;
  InternetSetOptionW(open.session.get(), INTERNET_OPTION_CONNECT_RETRIES, &oneTry, sizeof(oneTry));

  open.connection = InternetHandle(InternetConnectW(open.session.get(), url.host.c_str(), url.port,
                                                    nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!open.connection) return std::nullopt;
  const wchar_t* accept[] = {L"*/*", nullptr};
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                INTERNET_FLAG_NO_COOKIES;
  if (url.secure) flags |= INTERNET_FLAG_SECURE;
  open.request = InternetHandle(HttpOpenRequestW(open.connection.get(), L"GET",
                                                 url.pathAndQuery.c_str(), version, nullptr,
                                                 accept, flags, 0));
  if (!open.request) return std::nullopt;
  if (!cancel.Add(open.request.get())) return std::nullopt;
  open.registry = &cancel;
  const std::wstring headers = GbkToWide(extraHeaders);
  const BOOL sent = HttpSendRequestW(open.request.get(), headers.c_str(),
                                     static_cast<DWORD>(headers.size()), nullptr, 0);
  if (!sent) return std::nullopt;
  return open;
}

int StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return 0;
  }
  return static_cast<int>(status);
}

std::optional<std::string> Header(HINTERNET request, DWORD which) {
  std::vector<wchar_t> buffer(256);
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, which, buffer.data(), &size, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    buffer.resize(size / sizeof(wchar_t) + 1);
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request, which, buffer.data(), &size, nullptr)) return std::nullopt;
  }
  return WideToGbk(std::wstring(buffer.data(), size / sizeof(wchar_t)));
}

}  // namespace zv::win32
