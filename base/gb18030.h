// GB18030's four-byte sequences: how the program's GBK texts carry the characters GBK lacks
// (emoji, Korean, rare Han). Inside a text they step as two double-byte pairs, so the GBK-aware
// find and split need nothing more; only the platform edge turns them into characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zv {

// Lead byte, digit, lead byte, digit at `at`: a shape GBK never has, since its trail bytes are
// 0x40 and above.
bool IsFourByteSequence(const std::string& text, size_t at);

// The character of the four-byte sequence at `at`; nothing when there is none or it names no
// character.
std::optional<char32_t> DecodeFourByte(const std::string& text, size_t at);

// The four bytes of a character GB18030 writes in four: BMP characters outside its two-byte
// area and every supplementary-plane character. Nothing for the others (ASCII, GBK's own
// characters, surrogates, beyond U+10FFFF).
std::optional<std::string> EncodeFourByte(char32_t codePoint);

}  // namespace zv
