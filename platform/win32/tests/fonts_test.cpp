// Font descriptions: character height, weight, and the stand-in for faces that are missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/fonts.h"
#include "platform/win32/scoped_handles.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

LOGFONTW StockGuiFont() {
  LOGFONTW stock{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
  return stock;
}

std::wstring AnyInstalledFace() {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wstring face;
  const WindowDc screen(nullptr);
  EnumFontFamiliesExW(
      screen.get(), &query,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM out) -> int {
        if (font->lfFaceName[0] == L'@') return 1;  // vertical variants
        *reinterpret_cast<std::wstring*>(out) = font->lfFaceName;
        return 0;
      },
      reinterpret_cast<LPARAM>(&face), 0);
  return face;
}

struct Case {
  const char* label;
  FontSpec font;
  bool installed;
  LONG height;  // 0: the stock font's
  LONG weight;
  bool namedFace;  // the face asked for, or the stock GUI face
};

class Describe : public testing::TestWithParam<Case> {};

TEST_P(Describe, HeightWeightAndFace) {
  const Case& c = GetParam();
  const LOGFONTW stock = StockGuiFont();
  const LOGFONTW font = DescribeFont(c.font, c.installed);
  EXPECT_EQ(font.lfHeight, c.height ? c.height : stock.lfHeight);
  EXPECT_EQ(font.lfWeight, c.weight);
  EXPECT_EQ(std::wstring(font.lfFaceName), c.namedFace ? L"Tahoma" : stock.lfFaceName);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, Describe,
    testing::Values(Case{"default", FontSpec{"", 0, false}, false, 0, FW_NORMAL, false},
                    Case{"bold_default_face", FontSpec{"", 15, true}, false, -15, FW_BOLD, false},
                    Case{"installed_face", FontSpec{"Tahoma", 12, false}, true, -12, FW_NORMAL, true},
                    Case{"missing_face_keeps_size_and_weight", FontSpec{"Tahoma", 13, true}, false,
                         -13, FW_BOLD, false}),
    test::NamedBy([](const Case& c) { return c.label; }));

TEST(FontFaces, InstalledFacesAreFoundAndOthersAreNot) {
  const std::wstring installed = AnyInstalledFace();
  ASSERT_FALSE(installed.empty());
  EXPECT_TRUE(IsFaceInstalled(installed));
  EXPECT_FALSE(IsFaceInstalled(L"Zanvoro无此字体"));
  EXPECT_FALSE(IsFaceInstalled(L""));
}

TEST(FontCacheTest, SameDescriptionSameFont) {
  FontCache cache;
  const FontSpec heiti{"黑体", 11, false};
  EXPECT_EQ(cache.Get(heiti), cache.Get(heiti));
  EXPECT_NE(cache.Get(heiti), cache.Get(FontSpec{"黑体", 11, true}));
  EXPECT_EQ(cache.Get(FontSpec{}), GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace
}  // namespace zv::win32
