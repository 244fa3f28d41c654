// Creates fonts from face, character height and weight.
#include "platform/win32/fonts.h"

#include <cwchar>

#include "platform/win32/code_page.h"
#include "platform/win32/display_dpi.h"
#include "platform/win32/font_faces.h"
#include "ui/display_scale.h"

namespace zv::win32 {
namespace {

int CALLBACK StopAtFirstFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

bool IsFaceInstalled(const std::wstring& face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  WindowDc screen(nullptr);
  bool found = false;
  EnumFontFamiliesExW(screen.get(), &query, &StopAtFirstFamily, reinterpret_cast<LPARAM>(&found),
                      0);
  return found;
}

LOGFONTW DescribeFont(const FontSpec& font, bool faceInstalled, UINT dpi) {
  LOGFONTW description{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
  if (font.pixels > 0) {
    // Negative: character height, not cell height.
    description.lfHeight = -LayoutToDevice(font.pixels, static_cast<int>(dpi));
    description.lfWidth = 0;
  } else {
    description.lfHeight =
        ScaleRounded(description.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    description.lfWidth =
        ScaleRounded(description.lfWidth, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  }
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  if (faceInstalled && !font.face.empty()) {
    const std::wstring face = GbkToWide(font.face);
    std::wmemset(description.lfFaceName, L'\0', LF_FACESIZE);
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    description.lfCharSet = DEFAULT_CHARSET;
  }
  return description;
}

HFONT FontCache::Get(const FontSpec& font, UINT dpi) {
  const auto stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const bool stockFont = font.face.empty() && font.pixels <= 0 && !font.bold;
  if (stockFont && dpi == SystemDpi()) return stock;
  const Key key{font.face, font.pixels, font.bold, dpi};
  const auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  FontSpec drawn = font;
  const std::wstring face = InstalledFace(GbkToWide(font.face));
  drawn.face = WideToGbk(face);
  const LOGFONTW description = DescribeFont(drawn, !face.empty(), dpi);
  GdiObject<HFONT> created(CreateFontIndirectW(&description));
  if (!created) return stock;
  return fonts_.emplace(key, std::move(created)).first->second.get();
}

}  // namespace zv::win32
