// UTF-8 texts and the GBK the program must get from them (GB18030's four bytes for characters
// GBK lacks), checked against the native stand-in and against Windows itself, so the two cannot
// drift apart. Plain literals are GBK bytes here (the build's execution character set), u8
// literals UTF-8; the four-byte rows come from Python's gb18030 codec.
#pragma once

#include <string>

namespace zv {

struct TextCodecCase {
  const char* label;
  std::string utf8;
  std::string gbk;
};

// Broken input may give one '?' or one per byte depending on the converter; a run of them
// counts as one when comparing.
inline std::string OneMarkPerRun(const std::string& text) {
  std::string folded;
  for (char c : text) {
    if (c != '?' || folded.empty() || folded.back() != '?') folded += c;
  }
  return folded;
}

inline const TextCodecCase kTextCodecCases[] = {
    {"empty", "", ""},
    {"ascii", "<SPAN class=xs1>- 123", "<SPAN class=xs1>- 123"},
    {"onlineLine", u8"- 总计 <strong>123</strong> 人在线 - 最高记录是",
     "- 总计 <strong>123</strong> 人在线 - 最高记录是"},
    {"fullWidth", u8"（当前在线人数：）￥", "（当前在线人数：）￥"},
    {"notInGbk", u8"a\u0E01z", "a\x81\x32\xCE\x39z"},
    {"outsideTheBmp", u8"a\U0001F600z", "a\x94\x39\xFC\x36z"},
    {"strayContinuation", "a\x80z", "a?z"},
    {"invalidLead", "a\xFF\xFEz", "a?z"},
    {"overlong", "a\xC0\xAFz", "a?z"},
    {"surrogate", "a\xED\xA0\x80z", "a?z"},
    {"cutOffAtEnd", u8"总\xE8\xAE", "总?"},
    {"cutOffInside", "\xE6\x80" u8"总", "?总"},
};

}  // namespace zv
