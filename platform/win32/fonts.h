// The fonts controls are drawn in, one GDI font per distinct face, size and weight, shared by
// every control that asks for it and freed with the cache.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/win32/scoped_handles.h"
#include "ui/catalogue.h"

namespace zv::win32 {

class FontCache {
 public:
  // Never null: when a font cannot be created the stock GUI font stands in.
  HFONT Get(const FontSpec& font);

 private:
  using Key = std::tuple<std::string, int, bool>;
  std::map<Key, GdiObject<HFONT>> fonts_;
};

// Whether a font family of this name is installed.
bool IsFaceInstalled(const std::wstring& face);

// The LOGFONT a font description asks for: the height is the character height, and a face that
// is not installed (or none) gives way to the system's GUI face at that height and weight.
// The GUI face is the one the system has set up to show the user's language; a missing Chinese
// face left to the font mapper may come back without Latin or without Chinese glyphs.
LOGFONTW DescribeFont(const FontSpec& font, bool faceInstalled);

}  // namespace zv::win32
