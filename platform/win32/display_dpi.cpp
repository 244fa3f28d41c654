// Per-monitor DPI functions resolved at run time, with the system-wide scale as fallback.
// https://learn.microsoft.com/windows/win32/hidpi/high-dpi-desktop-application-development-on-windows
#include "platform/win32/display_dpi.h"

#include "platform/win32/scoped_handles.h"
#include "ui/display_scale.h"

namespace zv::win32 {
namespace {

struct DpiFunctions {
  UINT(WINAPI* forSystem)() = nullptr;
  UINT(WINAPI* forWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  int(WINAPI* metricForDpi)(int, UINT) = nullptr;
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  // Through void(*)(): GetProcAddress's FARPROC says nothing of the real signature.
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions found;
    // user32 is loaded in every GUI process; nothing to free.
    if (const HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      Resolve(user32, "GetDpiForSystem", found.forSystem);
      Resolve(user32, "GetDpiForWindow", found.forWindow);
      Resolve(user32, "AdjustWindowRectExForDpi", found.adjustForDpi);
      Resolve(user32, "GetSystemMetricsForDpi", found.metricForDpi);
    }
    return found;
  }();
  return functions;
}

}  // namespace

UINT SystemDpi() {
  if (Functions().forSystem) return Functions().forSystem();
  const WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kLayoutDpi;
}

UINT WindowDpi(HWND window) {
  const UINT dpi = Functions().forWindow ? Functions().forWindow(window) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

RECT FrameAround(DWORD style, DWORD extendedStyle, UINT dpi) {
  RECT frame{0, 0, 0, 0};
  if (Functions().adjustForDpi) {
    Functions().adjustForDpi(&frame, style, FALSE, extendedStyle, dpi);
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  }
  return frame;
}

int SystemMetric(int index, UINT dpi) {
  if (Functions().metricForDpi) return Functions().metricForDpi(index, dpi);
  return ScaleRounded(GetSystemMetrics(index), static_cast<int>(dpi),
                      static_cast<int>(SystemDpi()));
}

}  // namespace zv::win32
