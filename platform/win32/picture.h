// A decoded picture as the window host keeps it: one GDI bitmap per frame (a still picture has
// one), each with its display time, and the scaled copies controls draw.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/scoped_handles.h"

namespace zv::win32 {

struct PictureFrame {
  GdiObject<HBITMAP> bitmap;
  int delayMs = 0;  // how long this frame stays before the next one
};

class Picture {
 public:
  // Gives one frame's bitmap; an animation's frames are decoded when first asked for, so the
  // first one shows without waiting for the rest.
  using FrameDecoder = std::function<GdiObject<HBITMAP>(size_t frame)>;

  Picture(int width, int height, std::vector<PictureFrame> frames);
  // Frames whose bitmaps are null come from `decode` the first time they are asked for.
  Picture(int width, int height, std::vector<PictureFrame> frames, FrameDecoder decode);

  int width() const { return width_; }
  int height() const { return height_; }
  size_t frameCount() const { return frames_.size(); }
  int DelayMs(size_t frame) const;
  // Null when the frame cannot be decoded.
  HBITMAP Frame(size_t frame) const;

  // Stretches one frame onto the target rectangle of the DC (logical coordinates).
  void Draw(HDC dc, const RECT& target, size_t frame = 0) const;

 private:
  int width_;
  int height_;
  // Filled in as frames are asked for; the decoder goes once every frame is there.
  mutable std::vector<PictureFrame> frames_;
  mutable FrameDecoder decode_;
};

// One frame resampled to width x height (see ui/picture_scaling.h), darkened for a pressed face
// when asked, as a 32-bit top-down DIB section; null when there is no memory for it.
GdiObject<HBITMAP> RenderScaled(const Picture& picture, size_t frame, int width, int height,
                                bool darkened = false);

// Copies a bitmap of the given size onto the target rectangle, stretching it when the sizes
// differ (only when there was no memory for a scaled copy).
void DrawBitmap(HDC dc, HBITMAP bitmap, SIZE size, const RECT& target);

}  // namespace zv::win32
