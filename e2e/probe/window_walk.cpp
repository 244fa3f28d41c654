// Win32 side of the probe: window lookup, child walk and text reads with bounded waits.
#include "e2e/probe/window_walk.h"

#include <iterator>

namespace probe {
namespace {

constexpr DWORD kPollMs = 10;
constexpr UINT kAnswerTimeoutMs = 1000;
constexpr UINT kTextTimeoutMs = 500;
constexpr size_t kFirstTextCapacity = 1024;
constexpr size_t kMaxText = 1 << 18;

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

std::wstring FromGbk(const std::string& gbk) {
  if (gbk.empty()) return {};
  constexpr UINT kGbk = 936;
  int size = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(size > 0 ? size : 0, L'\0');
  if (size > 0)
    MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), size);
  return out;
}

namespace {

// The first top-level window with this caption, owned by `pid` unless it is 0.
HWND FindTopLevel(const std::wstring& caption, DWORD pid) {
  for (HWND found = nullptr;
       (found = FindWindowExW(nullptr, found, nullptr, caption.c_str())) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    if (pid == 0 || owner == pid) return found;
  }
  return nullptr;
}

}  // namespace

HWND WaitForTopLevel(const std::wstring& caption, DWORD waitMs, bool mustBeVisible, DWORD pid) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  for (;;) {
    HWND found = FindTopLevel(caption, pid);
    if (found && (!mustBeVisible || IsWindowVisible(found))) return found;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(kPollMs);
  }
}

std::vector<HWND> Descendants(HWND top) {
  std::vector<HWND> all;
  EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool Answers(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kAnswerTimeoutMs, &ignored) != 0;
}

std::wstring TextOf(HWND window, bool answers) {
  // One message per window: asking for the length first would double the round trips, which
  // are what a dump of a few hundred controls costs.
  for (size_t capacity = kFirstTextCapacity; answers && capacity <= kMaxText; capacity *= 16) {
    std::wstring text(capacity, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
      break;
    if (copied + 1 < capacity) {
      text.resize(copied);
      return text;
    }
  }
  // https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-internalgetwindowtext
  wchar_t buffer[4096];
  int copied = InternalGetWindowText(window, buffer, static_cast<int>(std::size(buffer)));
  return std::wstring(buffer, copied > 0 ? copied : 0);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, length > 0 ? length : 0);
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  HWND parent = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

long long UnixMillis() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  constexpr unsigned long long kEpochIn100ns = 116444736000000000ULL;
  return static_cast<long long>((ticks.QuadPart - kEpochIn100ns) / 10000ULL);
}

}  // namespace probe
