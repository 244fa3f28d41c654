// The one place where the program's texts meet Windows' UTF-16: every string handed to or read
// from a W API passes through here. The program's texts are GBK bytes (code page 936, named
// explicitly: the system's ANSI code page need not be GBK), and characters GBK lacks (emoji,
// Korean, rare Han) are carried as GB18030's four-byte sequences, so nothing typed or chosen
// is lost on its way in and back out.
#pragma once

#include <string>

namespace zv::win32 {

// Embedded zero bytes survive both directions; bytes that are neither GBK nor a four-byte
// sequence turn into a replacement character rather than vanishing.
std::wstring GbkToWide(const std::string& gbk);
// Every character is kept: those outside GBK become four bytes.
std::string WideToGbk(const std::wstring& wide);
// Plain code page 936, for readers that only know GBK (a chat client reading CF_TEXT):
// characters GBK cannot hold become '?' instead of four bytes such a reader would garble.
std::string WideToGbkOnly(const std::wstring& wide);
// Bytes that are not valid UTF-8 become the replacement character U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);

}  // namespace zv::win32
