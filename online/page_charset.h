// Which character set a fetched page is written in, decided as a browser decides it, and the
// page turned into the program's GBK. Forum pages come in GBK or UTF-8; other character sets
// are read as GBK, the site's own.
#pragma once

#include <string>

#include "platform/http_reader.h"
#include "platform/text_codec.h"

namespace zv {

enum class PageCharset { kGbk, kUtf8 };

// A UTF-8 byte-order mark decides first; then the charset parameter of the Content-Type
// header; then a <meta charset> or <meta http-equiv="Content-Type"> within the page's first
// 1024 bytes; GBK otherwise. Names nobody knows are passed over like a missing name.
PageCharset DetectPageCharset(const std::string& contentType, const std::string& page);

// The answer's body as GBK text, ending at its first zero byte, without a byte-order mark.
std::string PageAsGbk(const HttpResult& answer, const ITextCodec& codec);

}  // namespace zv
