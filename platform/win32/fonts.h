// The fonts controls are drawn in, one GDI font per distinct face, size, weight and display
// scale, shared by every control that asks for it and freed with the cache.
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
  // The font at the display scale `dpi`. Never null: when a font cannot be created the stock
  // GUI font stands in.
  HFONT Get(const FontSpec& font, UINT dpi);

 private:
  using Key = std::tuple<std::string, int, bool, UINT>;
  std::map<Key, GdiObject<HFONT>> fonts_;
};

// Whether a font family of this name is installed.
bool IsFaceInstalled(const std::wstring& face);

// The LOGFONT a font description asks for at the display scale `dpi`: the height is the
// character height in layout units, and a face that is not installed (or none) gives way to the
// system's GUI face at that height and weight. The GUI face is the one the system has set up to
// show the user's language; a missing Chinese face left to the font mapper may come back
// without Latin or without Chinese glyphs. Without a height, the stock GUI font's height (made
// for the system's scale) is carried over to `dpi`.
LOGFONTW DescribeFont(const FontSpec& font, bool faceInstalled, UINT dpi);

}  // namespace zv::win32
