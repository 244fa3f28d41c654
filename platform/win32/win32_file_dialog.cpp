// The dialog is owned by the active window so it stays modal to the page that asked for it.
#include "platform/win32/win32_file_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/win32/code_page.h"

namespace zv::win32 {
namespace {

// Room for long paths; the dialog reports a longer choice as a failure.
constexpr DWORD kPathCapacity = 32768;

}  // namespace

std::optional<std::string> OpenFileDialog::ChooseFileToOpen() {
  std::vector<wchar_t> path(kPathCapacity, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = GetActiveWindow();
  request.lpstrFile = path.data();
  request.nMaxFile = kPathCapacity;
  // OFN_NOCHANGEDIR: the program's current directory is where a self-update is saved, and
  // browsing to a music folder must not move it.
  request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                  OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&request)) return std::nullopt;
  const std::string gbk = WideToGbk(path.data());
  if (gbk.empty()) return std::nullopt;
  return gbk;
}

}  // namespace zv::win32
