// Resources for tests: whatever bytes the test puts under a file name.
#pragma once

#include <map>
#include <string>

#include "platform/resources.h"

namespace zv {

class FakeResources : public IResources {
 public:
  std::map<std::string, std::string> files;

  std::string_view Bytes(const std::string& fileName) const override {
    auto it = files.find(fileName);
    return it == files.end() ? std::string_view() : std::string_view(it->second);
  }
};

}  // namespace zv
