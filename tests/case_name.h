// Names for the rows of parameterised tests, so CTest's list and a failure say which row ran.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace zv::test {

// The row's index, then the ASCII letters and digits of `text` with every other run of bytes as
// one '_': test names allow nothing else, and the index keeps rows with alike texts apart.
inline std::string CaseName(size_t index, const std::string& text) {
  std::string name = std::to_string(index) + '_';
  for (const char c : text) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (plain) {
      name += c;
    } else if (name.back() != '_') {
      name += '_';
    }
  }
  if (name.back() == '_') name.pop_back();
  return name;
}

// A name generator from what identifies a row: NamedBy([](const Row& r) { return r.path; }).
template <typename Describe>
auto NamedBy(Describe describe) {
  return [describe](const auto& info) { return CaseName(info.index, describe(info.param)); };
}

}  // namespace zv::test
