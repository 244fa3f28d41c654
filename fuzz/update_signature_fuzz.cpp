// libFuzzer target for the version document's fourth field, the update's signature: read by the
// same split as the other fields, then accepted only in the one spelling the release tool
// writes. Checked against a reading of the text itself (128 lowercase hex digits order like the
// numbers they spell, so the group order bound is a string comparison) and by writing an
// accepted signature back out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "online/update_signature.h"

namespace {

using zv::fuzz::Check;

constexpr const char* kZero = "0000000000000000000000000000000000000000000000000000000000000000";
constexpr const char* kOrder = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551";

bool InRange(const std::string& scalar) { return scalar > kZero && scalar < kOrder; }

bool Spelled(const std::string& field) {
  if (field.size() != 128) return false;
  for (char c : field) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return InRange(field.substr(0, 64)) && InRange(field.substr(64));
}

void CheckParsed(const std::string& field) {
  const auto signature = zv::ParseSignature(field);
  Check(signature.has_value() == Spelled(field));
  if (!signature) return;
  static const char kHex[] = "0123456789abcdef";
  std::string written;
  for (uint8_t byte : *signature) {
    written += kHex[byte >> 4];
    written += kHex[byte & 0xF];
  }
  Check(written == field);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // As the program meets it: the whole document from the site.
  const std::string field = zv::SignatureField(input);
  Check(input.find(field) != std::string::npos);
  CheckParsed(field);
  // A document whose first three fields are right: the fourth is the input itself, as long as
  // the input holds no marker of its own.
  if (input.find('-') == std::string::npos) {
    Check(zv::SignatureField("2---http://127.0.0.1/a.exe---a---" + input) == input);
  }
  CheckParsed(input);
  return 0;
}
