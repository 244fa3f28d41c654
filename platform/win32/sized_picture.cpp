// Lazy scaling of one picture to one size.
#include "platform/win32/sized_picture.h"

#include <algorithm>

namespace zv::win32 {

SizedPicture::SizedPicture(Decoder decode, SIZE size, bool darkened)
    : decode_(std::move(decode)), size_(size), darkened_(darkened) {}

bool SizedPicture::Know() {
  if (known_) return !scaled_.empty();
  known_ = true;
  original_ = decode_ ? decode_() : nullptr;
  if (!original_) return false;
  for (size_t i = 0; i < original_->frameCount(); ++i) delays_.push_back(original_->DelayMs(i));
  scaled_.resize(original_->frameCount());
  return !scaled_.empty();
}

size_t SizedPicture::FrameCount() { return Know() ? scaled_.size() : 0; }

int SizedPicture::DelayMs(size_t frame) {
  return Know() && frame < delays_.size() ? delays_[frame] : 0;
}

bool SizedPicture::Draw(HDC dc, const RECT& target, size_t frame) {
  if (!Know()) return false;
  GdiObject<HBITMAP>& scaled = scaled_[frame % scaled_.size()];
  if (!scaled) {
    if (!original_) original_ = decode_();
    if (!original_) return false;
    scaled = RenderScaled(*original_, frame, size_.cx, size_.cy, darkened_);
    if (std::all_of(scaled_.begin(), scaled_.end(),
                    [](const GdiObject<HBITMAP>& made) { return bool(made); })) {
      original_.reset();
    }
  }
  if (scaled) {
    DrawBitmap(dc, scaled.get(), size_, target);
    return true;
  }
  // Without memory for a scaled frame the original serves, stretched at every paint.
  if (!original_->Frame(frame)) return false;
  original_->Draw(dc, target, frame);
  return true;
}

}  // namespace zv::win32
