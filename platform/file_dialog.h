// The system's Open File dialog with its default title, filter and folder.
#pragma once

#include <optional>
#include <string>

namespace zv {

class IFileDialog {
 public:
  virtual ~IFileDialog() = default;
  // The full path of the chosen file (GBK); nothing when the user cancels.
  virtual std::optional<std::string> ChooseFileToOpen() = 0;
};

}  // namespace zv
