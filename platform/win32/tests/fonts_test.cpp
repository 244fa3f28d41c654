// Font descriptions: character height at the display's scale, weight, and the stand-in for
// faces that are missing.
#include "platform/win32/fonts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "platform/win32/display_dpi.h"
#include "platform/win32/font_faces.h"
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

void PutBigEndian(std::string& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) {
    bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
  }
}

uint32_t BigEndian(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The whole file of the font `face` stands for, when that is one TrueType file and not a
// member of a collection (whose tables lie at offsets of the collection's file).
// https://learn.microsoft.com/windows/win32/api/wingdi/nf-wingdi-getfontdata
std::string SingleFontFile(const wchar_t* face) {
  constexpr DWORD kCollectionTag = 0x66637474;  // "ttcf" as GetFontData takes it
  LOGFONTW query{};
  query.lfHeight = -12;
  std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
  const GdiObject<HFONT> font(CreateFontIndirectW(&query));
  const WindowDc screen(nullptr);
  const Selection selected(screen.get(), font.get());
  if (GetFontData(screen.get(), kCollectionTag, 0, nullptr, 0) != GDI_ERROR) return {};
  const DWORD size = GetFontData(screen.get(), 0, 0, nullptr, 0);
  if (size == GDI_ERROR || size < 12) return {};
  std::string bytes(size, '\0');
  GetFontData(screen.get(), 0, 0, bytes.data(), size);
  return bytes;
}

// A TrueType file of an installed face whose family is called `family`: a name table of its
// own is appended and the table directory pointed at it, so a test can give this process a
// face of any name.
// The table layout is the OpenType "name" table, format 0.
std::string RenamedFont(const std::wstring& family) {
  std::string bytes;
  for (const wchar_t* face : {L"Arial", L"Tahoma", L"Courier New"}) {
    if (!(bytes = SingleFontFile(face)).empty()) break;
  }
  if (bytes.empty()) return {};

  const uint16_t ids[] = {1, 2, 4, 6};  // family, subfamily, full name, PostScript name
  const std::wstring texts[] = {family, L"Regular", family, L"ZanvoroRenamedFace"};
  std::string names(6 + 12 * 4, '\0');
  PutBigEndian(names, 2, 4, 2);
  PutBigEndian(names, 4, static_cast<uint32_t>(names.size()), 2);
  std::string storage;
  for (int i = 0; i < 4; ++i) {
    const size_t record = 6 + 12 * i;
    PutBigEndian(names, record, 3, 2);           // Windows
    PutBigEndian(names, record + 2, 1, 2);       // Unicode BMP
    PutBigEndian(names, record + 4, 0x0409, 2);  // the language every system falls back to
    PutBigEndian(names, record + 6, ids[i], 2);
    PutBigEndian(names, record + 8, static_cast<uint32_t>(texts[i].size() * 2), 2);
    PutBigEndian(names, record + 10, static_cast<uint32_t>(storage.size()), 2);
    for (wchar_t c : texts[i]) {
      storage += static_cast<char>(c >> 8);
      storage += static_cast<char>(c & 0xFF);
    }
  }
  names += storage;

  bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0');
  const uint32_t tables = BigEndian(bytes, 4, 2);
  for (uint32_t i = 0; i < tables; ++i) {
    const size_t entry = 12 + 16 * i;
    if (bytes.compare(entry, 4, "name") != 0) continue;
    PutBigEndian(bytes, entry + 8, static_cast<uint32_t>(bytes.size()), 4);
    PutBigEndian(bytes, entry + 12, static_cast<uint32_t>(names.size()), 4);
    return bytes + names;
  }
  return {};
}

// The layout's "仿宋_GB2312" on a system that has only "仿宋", as every Windows since Vista.
TEST(FontFaces, AFaceWindowsRenamedIsDrawnInItsNewName) {
  ASSERT_FALSE(IsFaceInstalled(L"仿宋_GB2312"));
  ASSERT_FALSE(IsFaceInstalled(L"仿宋"));
  const std::string file = RenamedFont(L"仿宋");
  ASSERT_FALSE(file.empty());
  wchar_t folder[MAX_PATH] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path = std::wstring(folder) + L"zanvoro-renamed-face.ttf";
  {
    KernelHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(out && WriteFile(out.get(), file.data(), static_cast<DWORD>(file.size()), &written,
                                 nullptr));
  }
  ASSERT_GT(AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 0);

  EXPECT_EQ(InstalledFace(L"仿宋_GB2312"), L"仿宋");
  EXPECT_EQ(InstalledFace(L"楷体_GB2312"), L"") << "neither it nor its successor is here";
  FontCache cache;
  const WindowDc screen(nullptr);
  const Selection selected(screen.get(), cache.Get(FontSpec{"仿宋_GB2312", 15, true}, 96));
  wchar_t drawn[LF_FACESIZE] = {};
  GetTextFaceW(screen.get(), LF_FACESIZE, drawn);
  EXPECT_STREQ(drawn, L"仿宋");

  RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace zv::win32
