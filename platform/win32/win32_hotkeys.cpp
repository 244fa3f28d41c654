// Hotkey registration and the subclass procedure that hands WM_HOTKEY to the listener before
// the window's own procedure sees it.
#include "platform/win32/win32_hotkeys.h"

#include <commctrl.h>

namespace zv::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x7A76;  // one subclass of ours per window

// https://learn.microsoft.com/windows/win32/api/commctrl/nf-commctrl-setwindowsubclass
LRESULT CALLBACK HotkeySubclass(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR, DWORD_PTR data) {
  auto* interception = reinterpret_cast<Win32Hotkeys::Interception*>(data);
  if (message == WM_HOTKEY) {
    // wParam is the identifier given to RegisterHotKey.
    try {
      interception->listener->OnHotkey(interception->window, static_cast<int>(wParam));
    } catch (...) {
      // A failing handler must not take the window procedure down with it.
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(handle, HotkeySubclass, kSubclassId);
  }
  return DefSubclassProc(handle, message, wParam, lParam);
}

}  // namespace

Win32Hotkeys::~Win32Hotkeys() {
  for (const auto& [window, interception] : interceptions_) {
    RemoveWindowSubclass(interception->handle, HotkeySubclass, kSubclassId);
  }
}

// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-registerhotkey
bool Win32Hotkeys::Register(WindowId window, int identifier, unsigned modifiers,
                            unsigned virtualKey) {
  const HWND handle = handleOf_(window);
  return handle != nullptr && RegisterHotKey(handle, identifier, modifiers, virtualKey) != 0;
}

void Win32Hotkeys::Unregister(WindowId window, int identifier) {
  if (const HWND handle = handleOf_(window)) UnregisterHotKey(handle, identifier);
}

void Win32Hotkeys::Intercept(WindowId window, IHotkeyListener& listener) {
  const HWND handle = handleOf_(window);
  if (handle == nullptr) return;
  StopIntercepting(window);
  auto interception = std::make_unique<Interception>(Interception{window, handle, &listener});
  if (SetWindowSubclass(handle, HotkeySubclass, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(interception.get()))) {
    interceptions_[window] = std::move(interception);
  }
}

void Win32Hotkeys::StopIntercepting(WindowId window) {
  auto it = interceptions_.find(window);
  if (it == interceptions_.end()) return;
  // Fails harmlessly when the window is already gone and took its subclass with it.
  RemoveWindowSubclass(it->second->handle, HotkeySubclass, kSubclassId);
  interceptions_.erase(it);
}

}  // namespace zv::win32
