// Transparent label: text with no background of its own. It asks its container to draw itself
// into the label's buffer first (WM_PRINTCLIENT with the origin shifted), so whatever picture
// lies beneath shows through, then word-wraps its caption over it: light text on a dark picture,
// dark text on a light one. Reports a left-button press.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/control_classes.h"
#include "platform/win32/control_window.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/window_text.h"
#include "platform/win32/text_wrap.h"

namespace zv::win32 {
namespace {

constexpr int kDarkBelow = 110;
constexpr COLORREF kLightText = RGB(255, 255, 255);

struct TransparentLabelState {
  explicit TransparentLabelState(void*) {}
  HFONT font = nullptr;
};

void DrawBeneath(HWND window, HDC dc, const RECT& client) {
  const HWND parent = GetParent(window);
  if (!parent) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  POINT origin{0, 0};
  MapWindowPoints(window, parent, &origin, 1);
  POINT previous{};
  SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void DrawCaption(HWND window, const TransparentLabelState& state, HDC dc, const RECT& client,
                 COLORREF colour) {
  const std::wstring caption = WindowText(window);
  if (caption.empty()) return;
  Selection font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(window) ? colour : GetSysColor(COLOR_GRAYTEXT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const auto measure = [dc](const wchar_t* text, size_t count) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(count), &size);
    return static_cast<int>(size.cx);
  };
  // A label one line high is a caption: wrapping would push its end onto a line nobody sees,
  // so it is clipped at the right edge instead.
  const bool roomForMore = client.bottom >= 2 * metrics.tmHeight;
  const std::vector<std::wstring> lines =
      roomForMore ? WrapText(caption, client.right, measure) : SplitLines(caption);
  int top = 0;
  for (const std::wstring& line : lines) {
    if (top >= client.bottom) break;
    if (!line.empty()) TextOutW(dc, 0, top, line.c_str(), static_cast<int>(line.size()));
    top += metrics.tmHeight;
  }
}

// Average brightness (0..255) of a 32-bit top-down pixel buffer.
int AverageBrightness(const std::uint8_t* pixels, size_t count) {
  if (count == 0) return 255;
  unsigned long long sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = pixels + i * 4;  // blue, green, red, unused
    sum += (p[2] * 299u + p[1] * 587u + p[0] * 114u) / 1000u;
  }
  return static_cast<int>(sum / count);
}

void Paint(HWND window, const TransparentLabelState& state, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  MemoryDc buffer(CreateCompatibleDC(dc));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!buffer || !bitmap || !bits) {
    DrawCaption(window, state, dc, client, GetSysColor(COLOR_WINDOWTEXT));
    return;
  }
  Selection selected(buffer.get(), bitmap.get());
  DrawBeneath(window, buffer.get(), client);
  GdiFlush();
  // Text over a dark picture (the banner) is drawn light, or it could not be read.
  const int brightness = AverageBrightness(static_cast<const std::uint8_t*>(bits),
                                           static_cast<size_t>(client.right) * client.bottom);
  const COLORREF colour = brightness < kDarkBelow ? kLightText : GetSysColor(COLOR_WINDOWTEXT);
  DrawCaption(window, state, buffer.get(), client, colour);
  BitBlt(dc, 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
}

LRESULT Handle(HWND window, TransparentLabelState& state, UINT message, WPARAM wParam,
               LPARAM lParam) {
  LRESULT result = 0;
  if (HandleCaptionMessage(window, state.font, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_LBUTTONDOWN:
      NotifyParent(window, STN_CLICKED);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterTransparentLabelClass(HINSTANCE instance) {
  return RegisterControlClass(instance, kTransparentLabelClass,
                              &ControlWindowProc<TransparentLabelState, &Paint, &Handle>);
}

}  // namespace zv::win32
