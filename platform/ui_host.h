// The window system as the feature code sees it: windows built from catalogue specs, their
// controls addressed by layout name, timers, information boxes and the message loop.
// Texts crossing this interface are GBK bytes; conversion happens inside the implementation.
#pragma once

#include <string>

namespace zv {

struct WindowSpec;
struct ControlSpec;

using WindowId = int;
constexpr WindowId kNoWindow = 0;

enum class EventKind {
  Created,  // the window's controls exist
  Closing,  // the window is about to be destroyed (user closed it)
  Click,    // button, graphic button, radio button
  Press,    // left button pressed on a picture box or transparent label
  Tick,     // timer interval elapsed
  Hotkey,   // a global hotkey registered against a label; arg = identifier
};

struct UiEvent {
  WindowId window;
  const WindowSpec* windowSpec;
  const ControlSpec* control;  // null for window events
  EventKind kind;
  int arg;
};

class IEventSink {
 public:
  virtual ~IEventSink() = default;
  virtual void OnEvent(const UiEvent& event) = 0;
};

enum class Modality { Modeless, Modal };

// A top-level window's place on the screen, frame included.
struct ScreenRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Most of the program's boxes carry no icon; the update's notices carry the information one.
enum class BoxIcon { None, Information };

class IUiHost {
 public:
  virtual ~IUiHost() = default;

  virtual void SetEventSink(IEventSink* sink) = 0;

  // Creates the window and all its controls from the layout, starts its running timers, raises
  // Created, then shows it. Modeless returns at once. Modal runs a nested message loop and
  // returns once the window has been destroyed (a fake host may return while it stays open).
  virtual WindowId Load(const WindowSpec& layout, Modality modality) = 0;
  // Runs the message loop until the window is destroyed.
  virtual void RunLoop(WindowId main) = 0;
  virtual void Destroy(WindowId window) = 0;
  virtual bool Exists(WindowId window) const = 0;
  virtual void ShowWindow(WindowId window, bool visible) = 0;
  virtual bool IsWindowShown(WindowId window) const = 0;
  virtual ScreenRect WindowRect(WindowId window) const = 0;
  virtual void MoveWindow(WindowId window, const ScreenRect& rect) = 0;

  // Caption or text of a control; for windows the caption is addressed by an empty name.
  virtual std::string Text(WindowId window, const std::string& control) const = 0;
  virtual void SetText(WindowId window, const std::string& control, const std::string& text) = 0;
  // The control's own visibility flag (containers are not considered).
  virtual bool IsShown(WindowId window, const std::string& control) const = 0;
  virtual void Show(WindowId window, const std::string& control, bool visible) = 0;
  // Timers: 0 stops; a new interval restarts the count from now.
  virtual int Interval(WindowId window, const std::string& timer) const = 0;
  virtual void SetInterval(WindowId window, const std::string& timer, int milliseconds) = 0;
  // Progress bars and sliders.
  virtual int Position(WindowId window, const std::string& control) const = 0;
  virtual void SetPosition(WindowId window, const std::string& control, int position) = 0;

  // Radio buttons.
  virtual bool IsChecked(WindowId window, const std::string& control) const = 0;
  virtual void SetChecked(WindowId window, const std::string& control, bool checked) = 0;
  // Shape boxes: fill colour 0x00BBGGRR.
  virtual void SetFill(WindowId window, const std::string& control, unsigned colour) = 0;
  // Status bar panes, counted from 0.
  virtual std::string PaneText(WindowId window, const std::string& control, int pane) const = 0;
  virtual void SetPaneText(WindowId window, const std::string& control, int pane,
                           const std::string& text) = 0;

  // Task-modal box with one OK button and no owner; returns when dismissed.
  virtual void InfoBox(const std::string& title, const std::string& text, BoxIcon icon) = 0;
};

}  // namespace zv
