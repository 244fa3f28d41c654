// Window state and a deterministic virtual clock for behaviour tests.
#include "platform/fake/fake_ui_host.h"

#include <algorithm>

namespace zv {

WindowId FakeUiHost::Load(const WindowSpec& layout, Modality) {
  const WindowId id = nextId_++;
  Window window{&layout, layout.caption, false, {}, {layout.left, layout.top, layout.width, layout.height}};
  for (const ControlSpec& c : layout.controls) {
    Control control{&c, c.text, c.visible, c.interval, now_ + c.interval, 0, c.position, false,
                    c.fill, std::vector<std::string>(static_cast<size_t>(c.panes)), {}};
    window.controls.push_back(control);
  }
  windows_[id] = std::move(window);
  Raise(id, nullptr, EventKind::Created);
  if (Exists(id)) windows_[id].shown = true;
  return id;
}

void FakeUiHost::Advance(long long milliseconds) {
  const long long end = now_ + milliseconds;
  for (;;) {
    // The earliest due timer of all windows fires next; ties go by window and catalogue order.
    WindowId dueWindow = kNoWindow;
    const ControlSpec* dueTimer = nullptr;
    long long dueAt = end + 1;
    for (const auto& [id, window] : windows_) {
      for (const Control& control : window.controls) {
        if (control.layout->kind == ControlKind::Timer && control.interval > 0 &&
            control.due < dueAt) {
          dueWindow = id;
          dueTimer = control.layout;
          dueAt = control.due;
        }
      }
    }
    if (dueTimer == nullptr) break;
    now_ = dueAt;
    Control* timer = Lookup(dueWindow, dueTimer->name);
    timer->due = now_ + timer->interval;
    ++timer->ticks;
    Raise(dueWindow, dueTimer, EventKind::Tick);
  }
  now_ = end;
}

void FakeUiHost::Click(WindowId window, const std::string& control) {
  const Control* c = Lookup(window, control);
  if (c == nullptr) return;
  // An automatic radio button is selected by the click before its handler runs.
  if (c->layout->kind == ControlKind::RadioButton) SetChecked(window, control, true);
  Raise(window, c->layout, EventKind::Click);
}

void FakeUiHost::Press(WindowId window, const std::string& control) {
  if (const Control* c = Lookup(window, control)) Raise(window, c->layout, EventKind::Press);
}

void FakeUiHost::Close(WindowId window) {
  if (!Exists(window)) return;
  Raise(window, nullptr, EventKind::Closing);
  Destroy(window);
}

WindowId FakeUiHost::Find(const std::string& specId) const {
  for (const auto& [id, window] : windows_) {
    if (window.layout->id == specId) return id;
  }
  return kNoWindow;
}

int FakeUiHost::TickCount(WindowId window, const std::string& timer) const {
  const Control* c = Lookup(window, timer);
  return c ? c->ticks : 0;
}

unsigned FakeUiHost::Fill(WindowId window, const std::string& shape) const {
  const Control* c = Lookup(window, shape);
  return c ? c->fill : 0;
}

std::vector<std::string> FakeUiHost::TextHistory(WindowId window,
                                                 const std::string& control) const {
  if (const Control* c = Lookup(window, control)) return c->history;
  auto it = destroyed_.find(window);
  if (it == destroyed_.end()) return {};
  for (const Control& c : it->second.controls) {
    if (c.layout->name == control) return c.history;
  }
  return {};
}

void FakeUiHost::Destroy(WindowId window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  destroyed_[window] = std::move(it->second);
  windows_.erase(it);
}

void FakeUiHost::ShowWindow(WindowId window, bool visible) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.shown = visible;
}

bool FakeUiHost::IsWindowShown(WindowId window) const {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.shown;
}

ScreenRect FakeUiHost::WindowRect(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? ScreenRect{} : it->second.rect;
}

void FakeUiHost::MoveWindow(WindowId window, const ScreenRect& rect) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.rect = rect;
}

std::string FakeUiHost::Text(WindowId window, const std::string& control) const {
  if (control.empty()) {
    auto it = windows_.find(window);
    return it == windows_.end() ? "" : it->second.caption;
  }
  const Control* c = Lookup(window, control);
  return c ? c->text : "";
}

void FakeUiHost::SetText(WindowId window, const std::string& control, const std::string& text) {
  if (control.empty()) {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.caption = text;
  } else if (Control* c = Lookup(window, control)) {
    c->text = text;
    c->history.push_back(text);
  }
}

bool FakeUiHost::IsShown(WindowId window, const std::string& control) const {
  const Control* c = Lookup(window, control);
  return c && c->visible;
}

void FakeUiHost::Show(WindowId window, const std::string& control, bool visible) {
  if (Control* c = Lookup(window, control)) c->visible = visible;
}

int FakeUiHost::Interval(WindowId window, const std::string& timer) const {
  const Control* c = Lookup(window, timer);
  return c ? c->interval : 0;
}

void FakeUiHost::SetInterval(WindowId window, const std::string& timer, int milliseconds) {
  if (Control* c = Lookup(window, timer)) {
    c->interval = std::max(0, milliseconds);
    c->due = now_ + c->interval;
  }
}

int FakeUiHost::Position(WindowId window, const std::string& control) const {
  const Control* c = Lookup(window, control);
  return c ? c->position : 0;
}

void FakeUiHost::SetPosition(WindowId window, const std::string& control, int position) {
  // Like the real bars, a position outside the range is clamped to it.
  if (Control* c = Lookup(window, control)) {
    c->position = std::clamp(position, c->layout->rangeMin, c->layout->rangeMax);
  }
}

bool FakeUiHost::IsChecked(WindowId window, const std::string& control) const {
  const Control* c = Lookup(window, control);
  return c && c->checked;
}

void FakeUiHost::SetChecked(WindowId window, const std::string& control, bool checked) {
  Control* c = Lookup(window, control);
  if (c == nullptr) return;
  // Like the real host: selecting one radio button clears the others in its container.
  if (checked && c->layout->kind == ControlKind::RadioButton) {
    for (Control& other : windows_[window].controls) {
      if (other.layout->kind == ControlKind::RadioButton &&
          other.layout->container == c->layout->container) {
        other.checked = false;
      }
    }
  }
  c->checked = checked;
}

void FakeUiHost::SetFill(WindowId window, const std::string& control, unsigned colour) {
  if (Control* c = Lookup(window, control)) c->fill = colour;
}

std::string FakeUiHost::PaneText(WindowId window, const std::string& control, int pane) const {
  const Control* c = Lookup(window, control);
  if (!c || pane < 0 || pane >= static_cast<int>(c->panes.size())) return "";
  return c->panes[static_cast<size_t>(pane)];
}

void FakeUiHost::SetPaneText(WindowId window, const std::string& control, int pane,
                             const std::string& text) {
  Control* c = Lookup(window, control);
  if (c && pane >= 0 && pane < static_cast<int>(c->panes.size())) {
    c->panes[static_cast<size_t>(pane)] = text;
  }
}

void FakeUiHost::InfoBox(const std::string& title, const std::string& text, BoxIcon icon) {
  log_.push_back(std::string(icon == BoxIcon::Information ? "box(i):" : "box:") + title + "|" +
                 text);
}

FakeUiHost::Control* FakeUiHost::Lookup(WindowId window, const std::string& control) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return nullptr;
  for (Control& c : it->second.controls) {
    if (c.layout->name == control) return &c;
  }
  return nullptr;
}

const FakeUiHost::Control* FakeUiHost::Lookup(WindowId window, const std::string& control) const {
  return const_cast<FakeUiHost*>(this)->Lookup(window, control);
}

void FakeUiHost::Raise(WindowId window, const ControlSpec* control, EventKind kind, int arg) {
  auto it = windows_.find(window);
  if (sink_ == nullptr || it == windows_.end()) return;
  sink_->OnEvent(UiEvent{window, it->second.layout, control, kind, arg});
}

}  // namespace zv
