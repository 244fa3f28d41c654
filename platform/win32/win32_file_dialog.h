// The Open File dialog (GetOpenFileNameW) with the system's default title, filter and folder.
#pragma once

#include "platform/file_dialog.h"

namespace zv::win32 {

class OpenFileDialog final : public IFileDialog {
 public:
  std::optional<std::string> ChooseFileToOpen() override;
};

}  // namespace zv::win32
