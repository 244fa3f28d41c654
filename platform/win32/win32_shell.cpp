// ShellExecuteW "open" on a worker thread, silent on every failure.
#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cctype>
#include <string>
#include <thread>

#include "platform/win32/code_page.h"

namespace zv::win32 {
namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  for (size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    const auto c = static_cast<unsigned char>(text[i]);
    if (std::tolower(c) != prefix[i]) return false;
  }
  return true;
}

void OpenInBrowser(const std::wstring& url) {
  // https://learn.microsoft.com/windows/win32/api/shellapi/nf-shellapi-shellexecutew
  // asks for COM on the calling thread because some handlers are COM objects.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace

bool IsWebAddress(const std::string& url) {
  if (url.find('\0') != std::string::npos) return false;
  for (const char* scheme : {"http://", "https://"}) {
    const size_t length = std::char_traits<char>::length(scheme);
    if (StartsWithNoCase(url, scheme) && url.size() > length) return true;
  }
  return false;
}

void Win32Shell::OpenUrl(const std::string& url) {
  if (!IsWebAddress(url)) return;
  const std::wstring wide = GbkToWide(url);
  try {
    std::thread([wide] { OpenInBrowser(wide); }).detach();
  } catch (...) {
    // No thread to spare: opening in place is slower but still opens the page.
    OpenInBrowser(wide);
  }
}

}  // namespace zv::win32
