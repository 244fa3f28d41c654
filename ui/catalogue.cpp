// Lookups shared by the four window tables.
#include "ui/catalogue.h"

namespace zv {

bool ControlSpec::HasWindow() const {
  return kind != ControlKind::Timer && kind != ControlKind::CommonDialog &&
         kind != ControlKind::WaveRecorder;
}

const ControlSpec* WindowSpec::Find(const std::string& name) const {
  for (const ControlSpec& control : controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

}  // namespace zv
