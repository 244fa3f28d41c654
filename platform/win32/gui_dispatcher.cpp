// The posted work travels as a heap-allocated function in the message's LPARAM; whoever fails
// to deliver or finishes running it frees it.
#include "platform/win32/gui_dispatcher.h"

#include <memory>

namespace zv::win32 {
namespace {

constexpr UINT kRunPosted = WM_APP + 0x51;
constexpr const wchar_t* kClassName = L"ZanvoroDispatcher";

}  // namespace

GuiDispatcher::GuiDispatcher(HINSTANCE module) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                            nullptr);
}

GuiDispatcher::~GuiDispatcher() {
  if (window_) DestroyWindow(window_);
}

void GuiDispatcher::Post(std::function<void()> work) { PostTo(window_, std::move(work)); }

void GuiDispatcher::PostTo(HWND window, std::function<void()> work) {
  auto box = std::make_unique<std::function<void()>>(std::move(work));
  if (window && PostMessageW(window, kRunPosted, 0, reinterpret_cast<LPARAM>(box.get()))) {
    box.release();
  }
}

LRESULT CALLBACK GuiDispatcher::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message != kRunPosted) return DefWindowProcW(window, message, wParam, lParam);
  std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
  try {
    if (work && *work) (*work)();
  } catch (...) {
    // Nothing crosses a window procedure.
  }
  return 0;
}

}  // namespace zv::win32
