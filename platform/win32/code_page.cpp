// GBK through code page 936, the four-byte sequences through base/gb18030. Windows' own
// GB18030 code page (54936) is not used: Wine, which the program is tested and often run
// under, does not have it, and its two-byte area differs from 936 in a few characters (the
// euro sign among them), so texts saved by earlier versions would no longer read back the same.
#include "platform/win32/code_page.h"

#include <windows.h>

#include <climits>

#include "base/gb18030.h"

namespace zv::win32 {
namespace {

// https://learn.microsoft.com/windows/win32/intl/code-page-identifiers
constexpr UINT kGbkCodePage = 936;
constexpr wchar_t kReplacement = 0xFFFD;

std::wstring ToWide(UINT codePage, const char* bytes, size_t size) {
  if (size == 0 || size > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(size);
  const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, bytes, length, wide.data(), needed);
  return wide;
}

// `usedDefault` (when given) tells whether a character had no code and became '?'.
std::string FromWide(UINT codePage, const wchar_t* wide, size_t size, DWORD flags,
                     BOOL* usedDefault) {
  if (size == 0 || size > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(size);
  const int needed =
      WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, usedDefault);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(codePage, flags, wide, length, bytes.data(), needed, nullptr, usedDefault);
  return bytes;
}

// A high and a low surrogate at `at`: one character outside the BMP.
bool SurrogatePairAt(const std::wstring& wide, size_t at) {
  return wide[at] >= 0xD800 && wide[at] <= 0xDBFF && at + 1 < wide.size() &&
         wide[at + 1] >= 0xDC00 && wide[at + 1] <= 0xDFFF;
}

void AppendUtf16(std::wstring& wide, char32_t codePoint) {
  if (codePoint < 0x10000) {
    wide += static_cast<wchar_t>(codePoint);
    return;
  }
  codePoint -= 0x10000;
  wide += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
  wide += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
}

// One character (one or two UTF-16 units) in GBK when 936 has it exactly, else in four bytes.
// WC_NO_BEST_FIT_CHARS: a look-alike (a plain letter for an accented one) is not the character.
// https://learn.microsoft.com/windows/win32/api/stringapiset/nf-stringapiset-widechartomultibyte
std::string CharacterBytes(const wchar_t* unit, size_t units, char32_t codePoint) {
  BOOL usedDefault = FALSE;
  std::string gbk = FromWide(kGbkCodePage, unit, units, WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (!usedDefault && !gbk.empty()) return gbk;
  return EncodeFourByte(codePoint).value_or("?");
}

}  // namespace

// Without MB_ERR_INVALID_CHARS broken sequences are replaced instead of failing the whole text.
// https://learn.microsoft.com/windows/win32/api/stringapiset/nf-stringapiset-multibytetowidechar
std::wstring GbkToWide(const std::string& gbk) {
  std::wstring wide;
  size_t run = 0;  // where the GBK not yet converted begins
  size_t at = 0;
  while (at < gbk.size()) {
    if (!IsFourByteSequence(gbk, at)) {
      // 936's lead bytes; 80 stands alone there (the euro sign).
      const auto byte = static_cast<unsigned char>(gbk[at]);
      at += byte >= 0x81 && byte <= 0xFE && at + 1 < gbk.size() ? 2 : 1;
      continue;
    }
    wide += ToWide(kGbkCodePage, gbk.data() + run, at - run);
    const std::optional<char32_t> codePoint = DecodeFourByte(gbk, at);
    AppendUtf16(wide, codePoint.value_or(kReplacement));
    at += 4;
    run = at;
  }
  return wide + ToWide(kGbkCodePage, gbk.data() + run, gbk.size() - run);
}

std::wstring Utf8ToWide(const std::string& utf8) {
  return ToWide(CP_UTF8, utf8.data(), utf8.size());
}

std::string WideToGbk(const std::wstring& wide) {
  BOOL usedDefault = FALSE;
  std::string gbk =
      FromWide(kGbkCodePage, wide.data(), wide.size(), WC_NO_BEST_FIT_CHARS, &usedDefault);
  if (!usedDefault) return gbk;
  // Something GBK lacks: character by character, so each such one gets its own four bytes.
  gbk.clear();
  for (size_t at = 0; at < wide.size();) {
    const bool pair = SurrogatePairAt(wide, at);
    const char32_t codePoint =
        pair ? 0x10000 + ((char32_t(wide[at]) - 0xD800) << 10) + (char32_t(wide[at + 1]) - 0xDC00)
             : char32_t(wide[at]);
    gbk += CharacterBytes(&wide[at], pair ? 2 : 1, codePoint);
    at += pair ? 2 : 1;
  }
  return gbk;
}

std::string WideToGbkOnly(const std::wstring& wide) {
  // A surrogate pair is one character, so one '?' rather than two.
  std::wstring characters;
  for (size_t at = 0; at < wide.size(); ++at) {
    const bool pair = SurrogatePairAt(wide, at);
    characters += pair ? L'?' : wide[at];
    if (pair) ++at;
  }
  return FromWide(kGbkCodePage, characters.data(), characters.size(), 0, nullptr);
}

}  // namespace zv::win32
