// Owners for the handles the platform layer creates, so every early return and exception path
// gives them back. Stock objects are never put in these.
#pragma once

#include <windows.h>

#include <utility>

namespace zv::win32 {

// One move-only owner for every kind of handle. `Traits` names the handle type, which values
// hold nothing (Valid) and how a handle is given back (Close).
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // Gives up ownership without closing (someone else owns or closed it now).
  Handle Release() { return std::exchange(handle_, Handle{}); }
  void Reset(Handle handle = Handle{}) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

// Handles for which only null means none.
template <typename H>
struct NullIsNone {
  using Handle = H;
  static bool Valid(H handle) { return handle != nullptr; }
};

// Files and other kernel objects; CreateFile reports failure as INVALID_HANDLE_VALUE instead.
struct KernelTraits {
  using Handle = HANDLE;
  static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelTraits>;

// A GDI object (font, bitmap, brush, pen).
template <typename H>
struct GdiTraits : NullIsNone<H> {
  static void Close(H handle) { DeleteObject(handle); }
};
template <typename H>
using GdiObject = UniqueHandle<GdiTraits<H>>;

// A memory device context from CreateCompatibleDC.
struct MemoryDcTraits : NullIsNone<HDC> {
  static void Close(HDC dc) { DeleteDC(dc); }
};
using MemoryDc = UniqueHandle<MemoryDcTraits>;

// An icon loaded at a size of our choosing (not shared with the system's cache).
struct IconTraits : NullIsNone<HICON> {
  static void Close(HICON icon) { DestroyIcon(icon); }
};
using OwnedIcon = UniqueHandle<IconTraits>;

// A block from GlobalAlloc.
struct GlobalTraits : NullIsNone<HGLOBAL> {
  static void Close(HGLOBAL block) { GlobalFree(block); }
};
using GlobalMemory = UniqueHandle<GlobalTraits>;

// Selects an object into a DC for the lifetime of the guard and puts the old one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// GetDC / ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace zv::win32
