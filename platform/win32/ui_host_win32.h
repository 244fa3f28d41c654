// The window host on Windows: builds top-level windows and their child controls from catalogue
// rows, turns window messages into the program's events and runs the message loops. Lives on
// the GUI thread; only InfoBox may be called from another thread.
//
// It is the one place where layout units (the catalogue's pixels at 96 DPI) become device pixels
// at the scale of the display each window is on, and back: places and sizes of windows and
// controls, fonts, pictures. A window moved to a display of another scale is laid out again.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui_host.h"
#include "platform/win32/fonts.h"
#include "platform/win32/picture_cache.h"
#include "ui/catalogue.h"
#include "ui/display_scale.h"

namespace zv::win32 {

// Child controls get this ID plus their row number in the window's table, so an outside probe
// can map window handles back to layout names.
inline constexpr int kFirstControlId = 1000;

class Win32UiHost final : public IUiHost {
 public:
  // Pictures are looked up among the resources of `module` (the exe).
  explicit Win32UiHost(HINSTANCE module);
  Win32UiHost(const Win32UiHost&) = delete;
  Win32UiHost& operator=(const Win32UiHost&) = delete;
  ~Win32UiHost() override;

  void SetEventSink(IEventSink* sink) override;
  WindowId Load(const WindowSpec& layout, Modality modality) override;
  void RunLoop(WindowId main) override;
  void Destroy(WindowId window) override;
  bool Exists(WindowId window) const override;
  void ShowWindow(WindowId window, bool visible) override;
  bool IsWindowShown(WindowId window) const override;
  ScreenRect WindowRect(WindowId window) const override;
  void MoveWindow(WindowId window, const ScreenRect& rect) override;

  std::string Text(WindowId window, const std::string& control) const override;
  void SetText(WindowId window, const std::string& control, const std::string& text) override;
  bool IsShown(WindowId window, const std::string& control) const override;
  void Show(WindowId window, const std::string& control, bool visible) override;
  int Interval(WindowId window, const std::string& timer) const override;
  void SetInterval(WindowId window, const std::string& timer, int milliseconds) override;
  int Position(WindowId window, const std::string& control) const override;
  void SetPosition(WindowId window, const std::string& control, int position) override;
  bool IsChecked(WindowId window, const std::string& control) const override;
  void SetChecked(WindowId window, const std::string& control, bool checked) override;
  void SetFill(WindowId window, const std::string& control, unsigned colour) override;
  std::string PaneText(WindowId window, const std::string& control, int pane) const override;
  void SetPaneText(WindowId window, const std::string& control, int pane,
                   const std::string& text) override;
  void InfoBox(const std::string& title, const std::string& text, BoxIcon icon) override;

  // The top-level window handle, for tests and the later browser embedding; null if unknown.
  HWND Handle(WindowId window) const;

 private:
  struct Control {
    const ControlSpec* layout = nullptr;
    HWND window = nullptr;  // null for the kinds without a window
    // Windowless controls keep these here; windowed ones ask their window.
    std::string text;
    bool visible = true;
    int interval = 0;
  };
  struct Window {
    Win32UiHost* host = nullptr;
    WindowId id = kNoWindow;
    const WindowSpec* layout = nullptr;
    HWND handle = nullptr;
    std::vector<Control> controls;
    std::unordered_map<std::string, size_t> byName;
    UINT dpi = kLayoutDpi;         // the scale the window is laid out at
    SIZE layoutSize{};             // layout units, frame included, as the program last set it
    OwnedIcon bigIcon, smallIcon;  // at this scale's icon sizes
    bool closing = false;
    std::vector<WindowId> heldDisabled;  // windows this modal window disabled
    std::vector<size_t> deferred;        // rows created once the window has first painted
  };

  static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(Window& window, WPARAM wParam, LPARAM lParam);
  void OnTimer(Window& window, WPARAM timerId);
  void OnClose(Window& window);
  void OnDpiChanged(Window& window, UINT dpi, const RECT& suggested);

  bool Build(Window& window);
  bool StandsAtStart(const Window& window, size_t row) const;
  HWND CreateRow(Window& window, size_t row, const ControlSpec& state);
  void BuildDeferred(Window& window);
  RECT DeviceRect(const Window& window, const ControlSpec& control) const;
  void LayOutAgain(Window& window);
  void SetIcon(Window& window);
  void StartTimer(Window& window, size_t row, int milliseconds);
  void HoldOthersDisabled(Window& modal);
  void ReleaseHeld(Window& modal);
  void RunUntilGone(WindowId window);
  void Raise(WindowId window, const ControlSpec* control, EventKind kind, int arg = 0);

  Window* Find(WindowId window) const;
  Control* FindControl(WindowId window, const std::string& name) const;
  HWND ControlWindow(WindowId window, const std::string& name, ControlKind kind) const;

  HINSTANCE module_;
  IEventSink* sink_ = nullptr;
  FontCache fonts_;
  PictureCache pictures_;
  std::map<WindowId, std::unique_ptr<Window>> windows_;
  WindowId nextId_ = 1;
  WindowId loopWindow_ = kNoWindow;  // the window whose end ends RunLoop
};

}  // namespace zv::win32
