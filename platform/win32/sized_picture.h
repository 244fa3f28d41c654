// A picture as controls of one device size show it. Each frame is resampled from the decoded
// original the first time it is drawn, and the original is let go once every frame is scaled,
// so the large ones (the banner, the loading animation) do not stay in memory beside their
// copies. Controls of the same size showing the same picture share one; a control that changes
// size (its window moved to a display of another scale) takes the one for its new size, and the
// original is decoded again for it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/picture.h"

namespace zv::win32 {

class SizedPicture {
 public:
  // `decode` gives the original, or null when it cannot be had; it is only called while some
  // frame is still to be scaled.
  using Decoder = std::function<std::shared_ptr<const Picture>()>;
  SizedPicture(Decoder decode, SIZE size, bool darkened);
  SizedPicture(const SizedPicture&) = delete;
  SizedPicture& operator=(const SizedPicture&) = delete;

  SIZE size() const { return size_; }
  // 0 when the picture cannot be decoded: nothing to draw.
  size_t FrameCount();
  int DelayMs(size_t frame);
  // Draws the frame onto `target` (normally the control's client area, of this size); false
  // when there is nothing to draw.
  bool Draw(HDC dc, const RECT& target, size_t frame);

 private:
  bool Know();

  Decoder decode_;
  SIZE size_;
  bool darkened_;
  bool known_ = false;  // frame count and delays are known (the original was decoded once)
  std::shared_ptr<const Picture> original_;
  std::vector<GdiObject<HBITMAP>> scaled_;
  std::vector<int> delays_;
};

}  // namespace zv::win32
