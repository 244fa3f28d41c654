// GdiplusStartup / GdiplusShutdown.
#include "platform/win32/gdiplus_session.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace zv::win32 {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) token_ = token;
}

GdiplusSession::~GdiplusSession() {
  if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace zv::win32
