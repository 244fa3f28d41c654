// GBK <-> UTF-16 through MultiByteToWideChar / WideCharToMultiByte with code page 936, and
// UTF-8 -> UTF-16 for pages that arrive in UTF-8.
#include "platform/win32/code_page.h"

#include <windows.h>

#include <climits>

namespace zv::win32 {
namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring ToWide(UINT codePage, const std::string& bytes) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), needed);
  return wide;
}

}  // namespace

std::wstring GbkToWide(const std::string& gbk) { return ToWide(kGbkCodePage, gbk); }

// Without MB_ERR_INVALID_CHARS broken sequences are replaced instead of failing the whole text.
// https://learn.microsoft.com/windows/win32/api/stringapiset/nf-stringapiset-multibytetowidechar
std::wstring Utf8ToWide(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }

std::string WideToGbk(const std::wstring& wide) {
  if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(kGbkCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string gbk(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), length, gbk.data(), needed, nullptr, nullptr);
  return gbk;
}

}  // namespace zv::win32
