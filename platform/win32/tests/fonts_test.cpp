// Font descriptions: character height at the display's scale, weight, and the stand-in for
// faces that are missing.
#include "platform/win32/fonts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/display_dpi.h"
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
  UINT dpi;
  LONG height;
  LONG weight;
  bool namedFace;  // the face asked for, or the stock GUI face
};

class Describe : public testing::TestWithParam<Case> {};

TEST_P(Describe, HeightWeightAndFace) {
  const Case& c = GetParam();
  const LOGFONTW stock = StockGuiFont();
  const LOGFONTW font = DescribeFont(c.font, c.installed, c.dpi);
  EXPECT_EQ(font.lfHeight, c.height);
  EXPECT_EQ(font.lfWeight, c.weight);
  EXPECT_EQ(std::wstring(font.lfFaceName), c.namedFace ? L"Tahoma" : stock.lfFaceName);
}

// 13 px at 150 %: 19.5, to the nearest pixel away from zero.
INSTANTIATE_TEST_SUITE_P(
    Fonts, Describe,
    testing::Values(
        Case{"bold_default_face", FontSpec{"", 15, true}, false, 96, -15, FW_BOLD, false},
        Case{"installed_face", FontSpec{"Tahoma", 12, false}, true, 96, -12, FW_NORMAL, true},
        Case{"missing_face_keeps_size_and_weight", FontSpec{"Tahoma", 13, true}, false, 96, -13,
             FW_BOLD, false},
        Case{"height_at_150_percent", FontSpec{"Tahoma", 13, true}, true, 144, -20, FW_BOLD, true}),
    test::NamedBy([](const Case& c) { return c.label; }));

// Controls without a font of their own get the stock GUI font, which the system made for its
// own scale; a window at twice that scale gets one twice as high.
TEST(FontStandIn, StockFontFollowsTheWindowsScale) {
  const LOGFONTW stock = StockGuiFont();
  const UINT system = SystemDpi();
  EXPECT_EQ(DescribeFont(FontSpec{}, false, system).lfHeight, stock.lfHeight);
  EXPECT_EQ(DescribeFont(FontSpec{}, false, 2 * system).lfHeight, 2 * stock.lfHeight);

  FontCache cache;
  EXPECT_EQ(cache.Get(FontSpec{}, system), GetStockObject(DEFAULT_GUI_FONT));
  const HFONT doubled = cache.Get(FontSpec{}, 2 * system);
  ASSERT_NE(doubled, GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW made{};
  GetObjectW(doubled, sizeof(made), &made);
  EXPECT_EQ(made.lfHeight, 2 * stock.lfHeight);
  EXPECT_STREQ(made.lfFaceName, stock.lfFaceName);
}

TEST(FontFaces, InstalledFacesAreFoundAndOthersAreNot) {
  const std::wstring installed = AnyInstalledFace();
  ASSERT_FALSE(installed.empty());
  EXPECT_TRUE(IsFaceInstalled(installed));
  EXPECT_FALSE(IsFaceInstalled(L"Zanvoro无此字体"));
  EXPECT_FALSE(IsFaceInstalled(L""));
}

TEST(FontCacheTest, SameDescriptionAndScaleSameFont) {
  FontCache cache;
  const FontSpec heiti{"黑体", 11, false};
  EXPECT_EQ(cache.Get(heiti, 96), cache.Get(heiti, 96));
  EXPECT_NE(cache.Get(heiti, 96), cache.Get(FontSpec{"黑体", 11, true}, 96));
  EXPECT_NE(cache.Get(heiti, 96), cache.Get(heiti, 120));
}

}  // namespace
}  // namespace zv::win32
