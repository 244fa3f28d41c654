// Embedded pictures: resource naming, GDI+ decoding of still and animated pictures, sharing,
// scaling to a control's size and letting the original go. The pictures come from
// test_pictures.rc in this test program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/control_classes.h"
#include "platform/win32/picture.h"
#include "platform/win32/picture_cache.h"
#include "platform/win32/scoped_handles.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  MemoryDc dc(CreateCompatibleDC(nullptr));
  Selection selected(dc.get(), bitmap);
  return GetPixel(dc.get(), x, y);
}

// What a sized picture draws of one frame onto a bitmap of its size, at (x, y).
COLORREF DrawnPixel(SizedPicture& picture, size_t frame, int x, int y) {
  WindowDc screen(nullptr);
  GdiObject<HBITMAP> bitmap(
      CreateCompatibleBitmap(screen.get(), picture.size().cx, picture.size().cy));
  MemoryDc dc(CreateCompatibleDC(screen.get()));
  Selection selected(dc.get(), bitmap.get());
  const RECT all{0, 0, picture.size().cx, picture.size().cy};
  if (!picture.Draw(dc.get(), all, frame)) return CLR_INVALID;
  return GetPixel(dc.get(), x, y);
}

// JPEG is lossy: compare colours with some slack.
bool Near(COLORREF actual, COLORREF expected, int slack = 24) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= slack &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= slack &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= slack;
}

struct NameCase {
  const char* file;
  const wchar_t* resource;
};

class ResourceName : public testing::TestWithParam<NameCase> {};

TEST_P(ResourceName, UpperCaseWithUnderscore) {
  EXPECT_EQ(ResourceNameFor(GetParam().file), GetParam().resource);
}

INSTANTIATE_TEST_SUITE_P(Files, ResourceName,
                         testing::Values(NameCase{"banner.jpg", L"BANNER_JPG"},
                                         NameCase{"tab_pressed.jpg", L"TAB_PRESSED_JPG"},
                                         NameCase{"loading.gif", L"LOADING_GIF"},
                                         NameCase{"a.b.c", L"A_B_C"}),
                         test::NamedBy([](const NameCase& c) { return c.file; }));

class PictureCacheTest : public testing::Test {
 protected:
  PictureCache cache_{GetModuleHandleW(nullptr)};
};

TEST_F(PictureCacheTest, AnimatedGifKeepsEveryFrameAndItsDelay) {
  const auto gif = cache_.Get("two_frames.gif");
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->width(), 8);
  EXPECT_EQ(gif->height(), 4);
  ASSERT_EQ(gif->frameCount(), 2u);
  EXPECT_EQ(gif->DelayMs(0), 50);
  EXPECT_EQ(gif->DelayMs(1), 120);
  EXPECT_TRUE(Near(PixelOf(gif->Frame(0), 3, 2), RGB(255, 0, 0), 0));
  EXPECT_TRUE(Near(PixelOf(gif->Frame(1), 3, 2), RGB(0, 0, 255), 0));
}

TEST_F(PictureCacheTest, JpegIsOneFrame) {
  const auto jpeg = cache_.Get("still.jpg");
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->width(), 6);
  EXPECT_EQ(jpeg->height(), 3);
  EXPECT_EQ(jpeg->frameCount(), 1u);
  EXPECT_TRUE(Near(PixelOf(jpeg->Frame(0), 1, 1), RGB(0, 160, 0)));
}

TEST_F(PictureCacheTest, DecodedOnceAndSharedBySize) {
  EXPECT_EQ(cache_.Get("still.jpg").get(), cache_.Get("still.jpg").get());
  const auto sized = cache_.GetSized("still.jpg", {60, 30}, false);
  EXPECT_EQ(sized.get(), cache_.GetSized("still.jpg", {60, 30}, false).get());
  EXPECT_NE(sized.get(), cache_.GetSized("still.jpg", {90, 45}, false).get());
  EXPECT_NE(sized.get(), cache_.GetSized("still.jpg", {60, 30}, true).get());
}

TEST_F(PictureCacheTest, PictureNobodyHoldsIsFreedAndDecodedAgain) {
  std::weak_ptr<const Picture> first = cache_.Get("two_frames.gif");
  EXPECT_TRUE(first.expired());
  const auto again = cache_.Get("two_frames.gif");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->frameCount(), 2u);
}

// The large originals (the banner, the loading animation) must not stay beside their copies.
TEST_F(PictureCacheTest, OriginalIsLetGoOnceEveryFrameIsScaled) {
  const auto sized = cache_.GetSized("two_frames.gif", {16, 8}, false);
  ASSERT_EQ(sized->FrameCount(), 2u);
  std::weak_ptr<const Picture> original = cache_.Get("two_frames.gif");
  DrawnPixel(*sized, 0, 0, 0);
  EXPECT_FALSE(original.expired()) << "the second frame is still to be scaled";
  DrawnPixel(*sized, 1, 0, 0);
  EXPECT_TRUE(original.expired());
  // The same size for another display scale later decodes again.
  EXPECT_EQ(DrawnPixel(*cache_.GetSized("two_frames.gif", {24, 12}, false), 1, 6, 4),
            RGB(0, 0, 255));
}

TEST_F(PictureCacheTest, MissingOrBrokenPicturesGiveNothing) {
  EXPECT_FALSE(cache_.Get(""));
  EXPECT_FALSE(cache_.Get("absent.jpg"));
  EXPECT_FALSE(cache_.Get("not_a_picture.txt"));
  EXPECT_FALSE(cache_.GetSized("", {10, 10}, false));
  const auto absent = cache_.GetSized("absent.jpg", {10, 10}, false);
  EXPECT_EQ(absent->FrameCount(), 0u);
  EXPECT_EQ(DrawnPixel(*absent, 0, 0, 0), CLR_INVALID);
  EXPECT_FALSE(DecodePicture(nullptr, 0));
}

TEST_F(PictureCacheTest, ScaledFramesKeepTheirColoursAndDarkenedOnesAreDarker) {
  auto plain = cache_.GetSized("two_frames.gif", {16, 8}, false);
  auto dark = cache_.GetSized("two_frames.gif", {16, 8}, true);
  EXPECT_EQ(DrawnPixel(*plain, 0, 6, 4), RGB(255, 0, 0));
  EXPECT_EQ(DrawnPixel(*plain, 1, 6, 4), RGB(0, 0, 255));
  const COLORREF red = DrawnPixel(*dark, 0, 6, 4);
  EXPECT_GT(GetRValue(red), 100);
  EXPECT_LT(GetRValue(red), 255);
  EXPECT_LT(GetBValue(DrawnPixel(*dark, 1, 6, 4)), 255);
}

TEST_F(PictureCacheTest, ScaledRenderingCoversTheWholeTarget) {
  const auto jpeg = cache_.Get("still.jpg");
  ASSERT_TRUE(jpeg);
  const GdiObject<HBITMAP> scaled = RenderScaled(*jpeg, 0, 60, 45);
  ASSERT_TRUE(scaled);
  BITMAP info{};
  GetObjectW(scaled.get(), sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 60);
  EXPECT_EQ(info.bmHeight, 45);
  for (const POINT corner : {POINT{0, 0}, POINT{59, 0}, POINT{0, 44}, POINT{59, 44}}) {
    EXPECT_TRUE(Near(PixelOf(scaled.get(), corner.x, corner.y), RGB(0, 160, 0)))
        << corner.x << "," << corner.y;
  }
  EXPECT_FALSE(RenderScaled(*jpeg, 0, 0, 10));
}

// The loading animation's frames at 200 % take megabytes; once the box is hidden they go.
TEST_F(PictureCacheTest, HiddenPictureBoxLetsItsPictureGoAndTakesItAgainWhenShown) {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  ASSERT_TRUE(RegisterPictureBoxClass(module));
  std::weak_ptr<SizedPicture> given;
  PictureBoxSetup setup{[&](SIZE size) {
    auto picture = cache_.GetSized("two_frames.gif", size, false);
    given = picture;
    return picture;
  }};
  const HWND box = CreateWindowExW(0, kPictureBoxClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, 16, 8,
                                   nullptr, nullptr, module, &setup);
  if (!box) GTEST_SKIP() << "no display to create windows on";
  const auto paint = [box] {
    WindowDc screen(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), 16, 8));
    Selection selected(dc.get(), bitmap.get());
    SendMessageW(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    return GetPixel(dc.get(), 4, 4);
  };
  EXPECT_EQ(paint(), RGB(255, 0, 0));
  EXPECT_FALSE(given.expired());
  ShowWindow(box, SW_HIDE);
  EXPECT_TRUE(given.expired());
  ShowWindow(box, SW_SHOWNA);
  EXPECT_EQ(paint(), RGB(255, 0, 0));
  DestroyWindow(box);
}

// A picture of one frame whose pixels come from `colour` (0x00RRGGBB, as GDI stores them).
Picture MakePicture(int width, int height, std::uint32_t (*colour)(int x, int y)) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels[y * width + x] = colour(x, y);
  }
  std::vector<PictureFrame> frames;
  frames.push_back({std::move(bitmap), 0});
  return Picture(width, height, std::move(frames));
}

// What a box shows of a picture drawn larger than itself goes through GDI's DIBs both ways: one
// coloured stripe pattern halved shows the channels kept in their places and each pixel the
// mean of the two it covers (the averaging itself is the resampler's, tested on its own).
TEST_F(PictureCacheTest, ShrunkFrameIsTheMeanInEveryChannel) {
  const Picture picture =
      MakePicture(8, 4, [](int x, int) { return x % 2 ? 0x0A64C8u : 0x000000u; });
  const GdiObject<HBITMAP> shrunk = RenderScaled(picture, 0, 4, 2);
  ASSERT_TRUE(shrunk);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      // GetPixel gives 0x00BBGGRR; the DIB rows hold 0x00RRGGBB.
      EXPECT_TRUE(Near(PixelOf(shrunk.get(), x, y), RGB(0x05, 0x32, 0x64), 1)) << x << "," << y;
    }
  }
}

struct DelayCase {
  int stored;
  int shown;
};

class FrameDelay : public testing::TestWithParam<DelayCase> {};

TEST_P(FrameDelay, UnusableDelaysAreReplaced) {
  std::vector<PictureFrame> frames;
  frames.push_back({GdiObject<HBITMAP>(), GetParam().stored});
  const Picture picture(1, 1, std::move(frames));
  EXPECT_EQ(picture.DelayMs(0), GetParam().shown);
}

// 0 means "no delay given": browsers show such frames for 100 ms, and so do we.
INSTANTIATE_TEST_SUITE_P(Delays, FrameDelay,
                         testing::Values(DelayCase{0, 100}, DelayCase{-5, 100},
                                         DelayCase{10, 20}, DelayCase{20, 20},
                                         DelayCase{70, 70}),
                         test::NamedBy([](const DelayCase& c) {
                           return "stored" + std::to_string(c.stored);
                         }));

}  // namespace
}  // namespace zv::win32
