// GDI+ start-up and shut-down for the lifetime of one object; pictures decode only while one
// lives. Decoded pictures hold plain GDI bitmaps, so they may outlive it.
#pragma once

#include <cstdint>

namespace zv::win32 {

class GdiplusSession {
 public:
  GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();
  bool ok() const { return token_ != 0; }

 private:
  std::uintptr_t token_ = 0;
};

}  // namespace zv::win32
