// Frame bookkeeping, and the way between GDI bitmaps and the pixel words the resampler works on.
#include "platform/win32/picture.h"

#include <algorithm>
#include <cstdint>

#include "ui/picture_scaling.h"

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

Picture::Picture(int width, int height, std::vector<PictureFrame> frames, FrameDecoder decode)
    : width_(width), height_(height), frames_(std::move(frames)), decode_(std::move(decode)) {}

int Picture::DelayMs(size_t frame) const {
  if (frame >= frames_.size()) return kDefaultFrameMs;
  const int delay = frames_[frame].delayMs;
  if (delay <= 0) return kDefaultFrameMs;
  return std::max(delay, kFastestFrameMs);
}

HBITMAP Picture::Frame(size_t frame) const {
  if (frames_.empty()) return nullptr;
  frame %= frames_.size();
  if (!frames_[frame].bitmap && decode_) {
    frames_[frame].bitmap = decode_(frame);
    const bool all = std::all_of(frames_.begin(), frames_.end(),
                                 [](const PictureFrame& made) { return bool(made.bitmap); });
    if (all) decode_ = nullptr;
  }
  return frames_[frame].bitmap.get();
}

void Picture::Draw(HDC dc, const RECT& target, size_t frame) const {
  if (const HBITMAP bitmap = Frame(frame)) DrawBitmap(dc, bitmap, {width_, height_}, target);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, SIZE size, const RECT& target) {
  MemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  Selection selected(source.get(), bitmap);
  const int targetWidth = target.right - target.left;
  const int targetHeight = target.bottom - target.top;
  if (targetWidth == size.cx && targetHeight == size.cy) {
    BitBlt(dc, target.left, target.top, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    return;
  }
  // HALFTONE averages the pixels a shrink drops; the brush origin must be reset after it.
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, source.get(), 0, 0, size.cx,
             size.cy, SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
}

GdiObject<HBITMAP> RenderScaled(const Picture& picture, size_t frame, int width, int height,
                                bool darkened) {
  const HBITMAP source = picture.Frame(frame);
  if (!source || width <= 0 || height <= 0) return {};
  WindowDc screen(nullptr);
  BITMAPINFO info = TopDown32(picture.width(), picture.height());
  std::vector<std::uint32_t> pixels(static_cast<size_t>(picture.width()) * picture.height());
  if (!GetDIBits(screen.get(), source, 0, static_cast<UINT>(picture.height()), pixels.data(), &info,
                 DIB_RGB_COLORS)) {
    return {};
  }
  std::vector<std::uint32_t> scaled =
      ScalePixels(pixels, picture.width(), picture.height(), width, height);
  if (scaled.empty()) return {};
  if (darkened) DarkenPixels(scaled, kDarkenPercent);
  info = TopDown32(width, height);
  void* bits = nullptr;
  GdiObject<HBITMAP> result(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!result || !bits) return {};
  std::copy(scaled.begin(), scaled.end(), static_cast<std::uint32_t*>(bits));
  return result;
}

}  // namespace zv::win32
