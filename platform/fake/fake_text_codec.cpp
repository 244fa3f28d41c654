// iconv does the conversion; where it refuses a character GBK lacks, the character's four
// bytes stand in, and bytes that are not UTF-8 become one '?'; the conversion goes on after
// either, as the exe's conversion through UTF-16 does.
#include "platform/fake/fake_text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "base/gb18030.h"

namespace zv {
namespace {

class Converter {
 public:
  Converter() : handle_(iconv_open("GBK", "UTF-8")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("glibc cannot convert UTF-8 to GBK here");
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(handle_); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes taken by the character at `at` when its lead and continuation bytes are shaped like
// UTF-8 (the converter judges the rest), or 1 for a stray byte.
size_t CharacterLength(const char* at, size_t left) {
  const auto lead = static_cast<unsigned char>(at[0]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length > left) return 1;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(at[i]))) return 1;
  }
  return length;
}

// The code point of a UTF-8 sequence `length` bytes long whose bytes are shaped right; nothing
// for an overlong form or a surrogate, which are not characters.
std::optional<char32_t> CodePoint(const char* at, size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  char32_t value = static_cast<unsigned char>(at[0]) & kLeadBits[length];
  for (size_t i = 1; i < length; ++i)
    value = value << 6 | (static_cast<unsigned char>(at[i]) & 0x3F);
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string FakeTextCodec::Utf8ToGbk(const std::string& utf8) const {
  Converter converter;
  std::string gbk;
  char block[4096];
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char* out = block;
    size_t outLeft = sizeof block;
    const size_t converted = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    const int error = errno;
    gbk.append(block, static_cast<size_t>(out - block));
    if (converted != static_cast<size_t>(-1)) break;
    if (error == E2BIG) continue;
    // A sequence cut off by the end of the text is one broken character.
    const size_t skip = error == EILSEQ ? CharacterLength(in, inLeft) : inLeft;
    std::optional<std::string> fourBytes;
    if (error == EILSEQ && skip > 1) {
      if (const std::optional<char32_t> codePoint = CodePoint(in, skip)) {
        fourBytes = EncodeFourByte(*codePoint);
      }
    }
    gbk += fourBytes.value_or("?");
    in += skip;
    inLeft -= skip;
  }
  return gbk;
}

}  // namespace zv
