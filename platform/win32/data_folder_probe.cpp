// Drive type from GetDriveTypeW, a real write in the folder (a directory's read-only attribute
// says nothing about whether files can be made in it), and FOLDERID_RoamingAppData.
#include "platform/win32/data_folder_probe.h"

#include <windows.h>

#include <shlobj.h>

// Needs <shlobj.h> first.
#include <knownfolders.h>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/win32_files.h"

namespace zv::win32 {
namespace {

constexpr const wchar_t* kDriveD = L"D:\\";
constexpr const wchar_t* kWriteCheckName = L"\\.zanvoro-write-check";

// The file is gone again when its handle closes.
// https://learn.microsoft.com/windows/win32/api/fileapi/nf-fileapi-createfilew
bool CanWriteIn(const std::string& folder) {
  const std::wstring path = GbkToWide(folder) + kWriteCheckName;
  KernelHandle file(CreateFileW(
      path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) return false;
  const char byte = 0;
  DWORD written = 0;
  return WriteFile(file.get(), &byte, 1, &written, nullptr) && written == 1;
}

// https://learn.microsoft.com/windows/win32/api/shlobj_core/nf-shlobj_core-shgetknownfolderpath
std::string RoamingAppData() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
    folder = WideToGbk(path);
  }
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

DataFolderFacts ProbeDataFolder() {
  DataFolderFacts facts;
  // https://learn.microsoft.com/windows/win32/api/fileapi/nf-fileapi-getdrivetypew
  const UINT type = GetDriveTypeW(kDriveD);
  facts.driveDFixed = type == DRIVE_FIXED;
  Win32Files files;
  if (type != DRIVE_NO_ROOT_DIR && type != DRIVE_UNKNOWN) {
    facts.folderOnDExisted = files.DirectoryExists(kDataFolderOnD);
  }
  if (!facts.folderOnDExisted && facts.driveDFixed) {
    facts.folderOnDCreated = files.CreateDirectory(kDataFolderOnD);
  }
  if (facts.folderOnDExisted || facts.folderOnDCreated) {
    facts.folderOnDWritable = CanWriteIn(kDataFolderOnD);
  }
  facts.appData = RoamingAppData();
  return facts;
}

}  // namespace zv::win32
