// Maps control IDs of a running window to the layout names the tests speak in.
#include "e2e/probe/control_names.h"

#include "e2e/probe/window_walk.h"
#include "ui/catalogue.h"

namespace probe {
namespace {

constexpr int kFirstControlId = 1000;

}  // namespace

const zv::WindowSpec* LayoutForCaption(const std::wstring& caption) {
  for (const zv::WindowSpec* layout : {&zv::MainWindowSpec(), &zv::UpdateWindowSpec(),
                                       &zv::PianoWindowSpec(), &zv::VoiceWindowSpec()}) {
    if (FromGbk(layout->caption) == caption) return layout;
  }
  return nullptr;
}

std::wstring NameForId(const zv::WindowSpec* layout, int id) {
  if (!layout) return {};
  const int index = id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(layout->controls.size())) return {};
  return FromGbk(layout->controls[index].name);
}

int IdForName(const zv::WindowSpec* layout, const std::wstring& name) {
  if (!layout) return -1;
  for (size_t i = 0; i < layout->controls.size(); ++i) {
    if (FromGbk(layout->controls[i].name) == name) return kFirstControlId + static_cast<int>(i);
  }
  return -1;
}

}  // namespace probe
