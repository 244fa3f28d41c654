// A decoded picture as the window host draws it: one GDI bitmap per frame (a still picture has
// one), each with its display time. Drawing stretches a frame onto any rectangle.
#pragma once

#include <windows.h>

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
  Picture(int width, int height, std::vector<PictureFrame> frames);

  int width() const { return width_; }
  int height() const { return height_; }
  size_t frameCount() const { return frames_.size(); }
  int DelayMs(size_t frame) const;
  HBITMAP Frame(size_t frame) const;

  // Stretches one frame onto the target rectangle of the DC (logical coordinates).
  void Draw(HDC dc, const RECT& target, size_t frame = 0) const;

 private:
  int width_;
  int height_;
  std::vector<PictureFrame> frames_;
};

// The same picture with every colour scaled towards black; a pressed face for buttons that
// have only one.
std::shared_ptr<const Picture> Darken(const Picture& picture);

// A 32-bit top-down bitmap of the given size with the picture stretched over all of it, so
// repaints of a large picture in a small box cost one copy instead of one stretch.
GdiObject<HBITMAP> RenderScaled(const Picture& picture, size_t frame, int width, int height);

// Copies a bitmap of the given size onto the target rectangle: averaged down when the target is
// smaller, stretched when it is larger.
void DrawBitmap(HDC dc, HBITMAP bitmap, SIZE size, const RECT& target);

}  // namespace zv::win32
