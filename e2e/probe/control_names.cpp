// Maps control IDs of a running window to the layout names the tests speak in.
#include "e2e/probe/control_names.h"

#include "e2e/probe/window_walk.h"
#include "ui/catalogue.h"

namespace probe {
namespace {

constexpr int kFirstControlId = 1000;

// The main window's caption ends with the site host it was built for; a build made for another
// site (a release for a test site) has the same controls.
std::wstring WithoutSiteHost(const std::wstring& caption) {
  return caption.substr(0, caption.find(L"（官方网站"));
}

}  // namespace

const zv::WindowSpec* LayoutForCaption(const std::wstring& caption) {
  for (const zv::WindowSpec* layout : {&zv::MainWindowSpec(), &zv::UpdateWindowSpec(),
                                       &zv::PianoWindowSpec(), &zv::VoiceWindowSpec()}) {
    if (WithoutSiteHost(FromGbk(layout->caption)) == WithoutSiteHost(caption)) return layout;
  }
  return nullptr;
}

const zv::ControlSpec* SpecForId(const zv::WindowSpec* layout, int id) {
  const int index = id - kFirstControlId;
  if (!layout || index < 0 || index >= static_cast<int>(layout->controls.size())) return nullptr;
  return &layout->controls[static_cast<size_t>(index)];
}

std::wstring NameForId(const zv::WindowSpec* layout, int id) {
  const zv::ControlSpec* spec = SpecForId(layout, id);
  return spec ? FromGbk(spec->name) : std::wstring();
}

int IdForName(const zv::WindowSpec* layout, const std::wstring& name) {
  if (!layout) return -1;
  for (size_t i = 0; i < layout->controls.size(); ++i) {
    if (FromGbk(layout->controls[i].name) == name) return kFirstControlId + static_cast<int>(i);
  }
  return -1;
}

}  // namespace probe
