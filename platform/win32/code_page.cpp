// GBK <-> UTF-16 through MultiByteToWideChar / WideCharToMultiByte with code page 936.
#include "platform/win32/code_page.h"

#include <windows.h>

#include <climits>

namespace zv::win32 {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring GbkToWide(const std::string& gbk) {
  if (gbk.empty() || gbk.size() > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(gbk.size());
  const int needed = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), length, wide.data(), needed);
  return wide;
}

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
