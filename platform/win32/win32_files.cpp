// Whole-file reads and writes, one-level directory creation and the current directory through
// the W file APIs. Every failure is a plain result; nothing is shown or logged.
#include "platform/win32/win32_files.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"

namespace zv::win32 {
namespace {

constexpr DWORD kReadChunk = 1 << 16;
constexpr DWORD kWriteChunk = 1 << 20;

// A zero byte inside a path would silently cut it short at the API and address another file,
// so such a path addresses nothing at all.
std::optional<std::wstring> ToPath(const std::string& gbk) {
  if (gbk.empty() || gbk.find('\0') != std::string::npos) return std::nullopt;
  std::wstring wide = GbkToWide(gbk);
  if (wide.empty()) return std::nullopt;
  return wide;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kWriteChunk));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

// The handle is closed on return, so the caller may move or delete the file right after.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
}

}  // namespace

bool Win32Files::DirectoryExists(const std::string& path) const {
  const auto wide = ToPath(path);
  if (!wide) return false;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::CreateDirectory(const std::string& path) {
  const auto wide = ToPath(path);
  if (!wide) return false;
  if (CreateDirectoryW(wide->c_str(), nullptr)) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(path);
}

std::optional<std::string> Win32Files::ReadFile(const std::string& path) const {
  const auto wide = ToPath(path);
  if (!wide) return std::nullopt;
  KernelHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  try {
    std::string bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
      bytes.reserve(static_cast<size_t>(size.QuadPart));
    }
    // Read to the end rather than trusting the size: the file may grow while we read.
    std::string chunk(kReadChunk, '\0');
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(file.get(), chunk.data(), kReadChunk, &got, nullptr)) return std::nullopt;
      if (got == 0) break;
      bytes.append(chunk.data(), got);
    }
    return bytes;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool Win32Files::WriteFile(const std::string& path, const std::string& bytes) {
  const auto target = ToPath(path);
  if (!target) return false;
  const std::wstring scratch = *target + L".zanvoro-new";
  if (WriteWholeFile(scratch, bytes) &&
      MoveFileExW(scratch.c_str(), target->c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(scratch.c_str());
  return false;
}

bool Win32Files::RemoveFile(const std::string& path) {
  const auto target = ToPath(path);
  if (!target) return false;
  return DeleteFileW(target->c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string Win32Files::CurrentDirectory() const {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring wide(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, wide.data());
  if (length == 0 || length >= needed) return {};
  wide.resize(length);
  return WideToGbk(wide);
}

}  // namespace zv::win32
