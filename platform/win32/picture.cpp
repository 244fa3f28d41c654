// Frame bookkeeping, stretching and the darkened variant of decoded pictures.
#include "platform/win32/picture.h"

#include <algorithm>
#include <cstdint>

#include "platform/win32/area_shrink.h"

namespace zv::win32 {
namespace {

// Animated pictures whose delay says "as fast as you can" are shown the way browsers show
// them; shorter periods would only burn the processor.
constexpr int kFastestFrameMs = 20;
constexpr int kDefaultFrameMs = 100;
constexpr int kDarkenPercent = 75;

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

Picture::Picture(int width, int height, std::vector<PictureFrame> frames)
    : width_(width), height_(height), frames_(std::move(frames)) {}

int Picture::DelayMs(size_t frame) const {
  if (frame >= frames_.size()) return kDefaultFrameMs;
  const int delay = frames_[frame].delayMs;
  if (delay <= 0) return kDefaultFrameMs;
  return std::max(delay, kFastestFrameMs);
}

HBITMAP Picture::Frame(size_t frame) const {
  if (frames_.empty()) return nullptr;
  return frames_[frame % frames_.size()].bitmap.get();
}

void Picture::Draw(HDC dc, const RECT& target, size_t frame) const {
  if (const HBITMAP bitmap = Frame(frame)) DrawBitmap(dc, bitmap, {width_, height_}, target);
}

namespace {

// Pictures carry more pixels than the boxes that show them at 100 %. StretchBlt's HALFTONE
// averages them away on Windows, but Wine picks single pixels, so thin strokes break up;
// averaging here looks the same on both.
bool DrawShrunk(HDC dc, HBITMAP bitmap, SIZE size, const RECT& target) {
  const int width = target.right - target.left;
  const int height = target.bottom - target.top;
  if (width <= 0 || height <= 0 || width > size.cx || height > size.cy) return false;
  BITMAPINFO info = TopDown32(size.cx, size.cy);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
  // The bitmap must not be selected into a DC while its bits are read. 32-bit bits need no
  // palette, so the target DC serves, without asking for the screen's at every paint.
  if (GetDIBits(dc, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) != size.cy) {
    return false;
  }
  const std::vector<std::uint32_t> shrunk =
      ShrinkByArea(pixels.data(), size.cx, size.cy, width, height);
  info = TopDown32(width, height);
  return StretchDIBits(dc, target.left, target.top, width, height, 0, 0, width, height,
                       shrunk.data(), &info, DIB_RGB_COLORS, SRCCOPY) != 0;
}

}  // namespace

void DrawBitmap(HDC dc, HBITMAP bitmap, SIZE size, const RECT& target) {
  const int targetWidth = target.right - target.left;
  const int targetHeight = target.bottom - target.top;
  const bool sameSize = targetWidth == size.cx && targetHeight == size.cy;
  if (!sameSize && DrawShrunk(dc, bitmap, size, target)) return;
  MemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  Selection selected(source.get(), bitmap);
  if (sameSize) {
    BitBlt(dc, target.left, target.top, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    return;
  }
  // Growing, or bits that cannot be read: HALFTONE; the brush origin must be reset after it.
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, source.get(), 0, 0, size.cx,
             size.cy, SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
}

GdiObject<HBITMAP> RenderScaled(const Picture& picture, size_t frame, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  WindowDc screen(nullptr);
  BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  GdiObject<HBITMAP> scaled(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!scaled) return {};
  MemoryDc target(CreateCompatibleDC(screen.get()));
  if (!target) return {};
  Selection selected(target.get(), scaled.get());
  const RECT all{0, 0, width, height};
  picture.Draw(target.get(), all, frame);
  return scaled;
}

std::shared_ptr<const Picture> Darken(const Picture& picture) {
  WindowDc screen(nullptr);
  std::vector<PictureFrame> frames;
  for (size_t i = 0; i < picture.frameCount(); ++i) {
    BITMAPINFO info = TopDown32(picture.width(), picture.height());
    std::vector<std::uint8_t> pixels(static_cast<size_t>(picture.width()) * picture.height() * 4);
    if (!GetDIBits(screen.get(), picture.Frame(i), 0, picture.height(), pixels.data(), &info,
                   DIB_RGB_COLORS)) {
      return nullptr;
    }
    for (size_t p = 0; p < pixels.size(); p += 4) {
      for (size_t c = 0; c < 3; ++c) pixels[p + c] = pixels[p + c] * kDarkenPercent / 100;
    }
    info = TopDown32(picture.width(), picture.height());
    void* bits = nullptr;
    GdiObject<HBITMAP> dark(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dark || !bits) return nullptr;
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint8_t*>(bits));
    frames.push_back({std::move(dark), picture.DelayMs(i)});
  }
  return std::make_shared<Picture>(picture.width(), picture.height(), std::move(frames));
}

}  // namespace zv::win32
