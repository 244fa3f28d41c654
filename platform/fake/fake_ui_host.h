// An in-memory window host for behaviour tests: windows and controls are plain state, time is
// a virtual clock that fires timers in order, and everything the program shows the user or
// hands to the system is written to a log the test can read.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/ui_host.h"
#include "ui/catalogue.h"

namespace zv {

// What the program did outside its windows, in order ("box:<title>|<text>", "open:<url>").
using EffectLog = std::vector<std::string>;

class FakeShell : public IShell {
 public:
  explicit FakeShell(EffectLog& log) : log_(log) {}
  void OpenUrl(const std::string& url) override { log_.push_back("open:" + url); }

 private:
  EffectLog& log_;
};

class FakeUiHost : public IUiHost {
 public:
  explicit FakeUiHost(EffectLog& log) : log_(log) {}

  // Test controls.
  long long Now() const { return now_; }
  void Advance(long long milliseconds);
  void Click(WindowId window, const std::string& control);
  void Press(WindowId window, const std::string& control);
  void Close(WindowId window);  // the user closes the window
  WindowId Find(const std::string& specId) const;  // an open window by layout id
  int TickCount(WindowId window, const std::string& timer) const;
  unsigned Fill(WindowId window, const std::string& shape) const;
  // Every text the program set on a control, oldest first; still there once the window is gone.
  std::vector<std::string> TextHistory(WindowId window, const std::string& control) const;

  // IUiHost
  void SetEventSink(IEventSink* sink) override { sink_ = sink; }
  WindowId Load(const WindowSpec& layout, Modality modality) override;
  void RunLoop(WindowId) override {}
  void Destroy(WindowId window) override;
  bool Exists(WindowId window) const override { return windows_.count(window) != 0; }
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

 private:
  struct Control {
    const ControlSpec* layout;
    std::string text;
    bool visible;
    int interval;
    long long due;
    int ticks = 0;
    int position;
    bool checked = false;
    unsigned fill;
    std::vector<std::string> panes;
    std::vector<std::string> history;
  };
  struct Window {
    const WindowSpec* layout;
    std::string caption;
    bool shown = false;
    std::vector<Control> controls;
    ScreenRect rect;
  };

  Control* Lookup(WindowId window, const std::string& control);
  const Control* Lookup(WindowId window, const std::string& control) const;
  void Raise(WindowId window, const ControlSpec* control, EventKind kind, int arg = 0);

  EffectLog& log_;
  IEventSink* sink_ = nullptr;
  std::map<WindowId, Window> windows_;
  std::map<WindowId, Window> destroyed_;
  WindowId nextId_ = 1;
  long long now_ = 0;
};

}  // namespace zv
