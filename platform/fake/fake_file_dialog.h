// An Open File dialog for tests: answers with the paths the test lined up, then cancels.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "platform/fake/fake_ui_host.h"
#include "platform/file_dialog.h"

namespace zv {

class FakeFileDialog : public IFileDialog {
 public:
  explicit FakeFileDialog(EffectLog& log) : log_(log) {}

  std::deque<std::optional<std::string>> answers;  // nullopt: the user cancels

  std::optional<std::string> ChooseFileToOpen() override {
    log_.push_back("open-dialog");
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

 private:
  EffectLog& log_;
};

}  // namespace zv
