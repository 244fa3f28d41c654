// The program file is named explicitly, so Windows never searches for it or splits an
// unquoted path with spaces into another program's name.
// https://learn.microsoft.com/windows/win32/api/processthreadsapi/nf-processthreadsapi-createprocessw
#include "platform/win32/process_launcher_win32.h"

#include <thread>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

// The program's show modes 1..6 in ShowWindow's terms.
WORD ShowCommand(int showMode) {
  switch (showMode) {
    case 1: return SW_HIDE;
    case 2: return SW_SHOWNORMAL;
    case 3: return SW_SHOWMINIMIZED;
    case 4: return SW_SHOWMAXIMIZED;
    case 5: return SW_SHOWNOACTIVATE;
    case 6: return SW_SHOWMINNOACTIVE;
    default: return SW_SHOWNORMAL;
  }
}

}  // namespace

bool Win32ProcessLauncher::Start(const std::string& program, const std::string& commandLine,
                                 int showMode, std::function<void()> whenEnded) {
  const std::wstring application = GbkToWide(program);
  std::wstring line = GbkToWide(commandLine);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');  // CreateProcessW may write into the command line

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCommand(showMode);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return false;
  }
  const KernelHandle thread(process.hThread);  // only the process is waited for
  KernelHandle ended(process.hProcess);
  // The waiter holds only the process handle and the dispatcher's window, so it may outlive
  // everything else at program exit without touching freed objects.
  const HWND window = dispatcherWindow_;
  try {
    std::thread([ended = std::move(ended), window, whenEnded] {
      WaitForSingleObject(ended.get(), INFINITE);
      GuiDispatcher::PostTo(window, whenEnded);
    }).detach();
  } catch (...) {
    GuiDispatcher::PostTo(window, whenEnded);  // cannot wait: carry on as if it had ended
  }
  return true;
}

}  // namespace zv::win32
