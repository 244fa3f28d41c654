// The tiny Windows programs MinGW made for the tests (tests/programs), read whole.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace zv::test {

inline std::string TestProgram(const std::string& name) {
  std::ifstream in(std::string(ZANVORO_TEST_PROGRAMS_DIR) + "/" + name + ".exe", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zv::test
