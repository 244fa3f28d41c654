// The "new version" the loopback site offers for download: when started it leaves a trace
// beside itself (its command line, its own path and its current directory, UTF-8, one per
// line) and ends at once, so tests can see that the update started the file it fetched.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  std::wstring trace(self, length);
  trace = trace.substr(0, trace.find_last_of(L'\\') + 1) + L"new_version_started.txt";
  wchar_t current[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, current);

  const std::string text = Utf8(GetCommandLineW()) + "\n" + Utf8(std::wstring(self, length)) +
                           "\n" + Utf8(current) + "\n";
  HANDLE file = CreateFileW(trace.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
