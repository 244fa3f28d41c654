// Window creation from catalogue rows, control lookup by layout name, message-to-event mapping
// and the message loops. Event handlers may destroy the very window whose message is being
// handled, so after raising an event nothing here touches that window's record again.
#include "platform/win32/ui_host_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "platform/win32/code_page.h"
#include "platform/win32/control_classes.h"
#include "platform/win32/control_factory.h"
#include "platform/win32/display_dpi.h"
#include "platform/win32/window_text.h"
#include "ui/display_scale.h"

namespace zv::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"ZanvoroWindow";
// Fixed-size frame: caption, system menu and minimise box, no resizing or maximising.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kIconResource = 1;
// Timers live on the top-level window; their IDs are the row number plus this.
constexpr UINT_PTR kFirstTimerId = 1;
// Far above any row's timer. A zero-interval timer fires once the queue holds nothing but
// timers, so after the first paint of every control already standing.
constexpr UINT_PTR kDeferredBuildTimer = 0x7FFF;
// Containers hold containers only a few levels deep; more is a loop in a broken table.
constexpr int kDeepestNesting = 16;
// Sent before WM_DPICHANGED to windows aware of each display's scale (Windows 10 1703), so the
// size the system suggests is the one we lay the window out at.
// https://learn.microsoft.com/windows/win32/hidpi/wm-getdpiscaledsize
constexpr UINT kGetDpiScaledSize = 0x02E4;

// The kinds a hidden page is mostly made of; windows of other kinds are cheap or few.
bool WaitsForWindow(ControlKind kind) {
  return kind == ControlKind::EditBox || kind == ControlKind::GraphicButton ||
         kind == ControlKind::TransparentLabel;
}

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::PictureBox || kind == ControlKind::GroupBox;
}

int Dpi(UINT dpi) { return static_cast<int>(dpi); }

SIZE FrameExtent(UINT dpi) {
  const RECT frame = FrameAround(kWindowStyle, 0, dpi);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// A window's size in layout units includes its frame as drawn at 96 DPI. What scales is the
// client area; at other scales the frame the system draws there goes around it.
SIZE DeviceClientSize(int width, int height, UINT dpi) {
  const SIZE layoutFrame = FrameExtent(kLayoutDpi);
  return {LayoutToDevice(width - layoutFrame.cx, Dpi(dpi)),
          LayoutToDevice(height - layoutFrame.cy, Dpi(dpi))};
}

SIZE DeviceWindowSize(int width, int height, UINT dpi) {
  const SIZE client = DeviceClientSize(width, height, dpi);
  const SIZE frame = FrameExtent(dpi);
  return {client.cx + frame.cx, client.cy + frame.cy};
}

// Puts the window's frame corner at `origin` with a client area of `client`, whatever frame the
// system draws: where it is not the one it describes for this scale, the size is corrected.
// A window already there is left alone.
void PlaceWindow(HWND handle, POINT origin, SIZE client, UINT dpi) {
  RECT outer{}, drawn{};
  const auto stands = [&] {
    return GetWindowRect(handle, &outer) && GetClientRect(handle, &drawn);
  };
  if (stands() && outer.left == origin.x && outer.top == origin.y && drawn.right == client.cx &&
      drawn.bottom == client.cy) {
    return;
  }
  const SIZE frame = FrameExtent(dpi);
  SetWindowPos(handle, nullptr, origin.x, origin.y, client.cx + frame.cx, client.cy + frame.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (!stands() || (drawn.right == client.cx && drawn.bottom == client.cy)) return;
  SetWindowPos(handle, nullptr, 0, 0, outer.right - outer.left + client.cx - drawn.right,
               outer.bottom - outer.top + client.cy - drawn.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceWindow(HWND handle, const ScreenRect& layout, UINT dpi) {
  PlaceWindow(handle, {LayoutToDevice(layout.left, Dpi(dpi)), LayoutToDevice(layout.top, Dpi(dpi))},
              DeviceClientSize(layout.width, layout.height, dpi), dpi);
}

void PlaceChild(HWND child, const RECT& rect) {
  SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32UiHost::Win32UiHost(HINSTANCE module) : module_(module), pictures_(module) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                    ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  RegisterControlClasses(module_);

  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.lpfnWndProc = &Win32UiHost::WindowProc;
  description.hInstance = module_;
  description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  description.lpszClassName = kWindowClass;
  RegisterClassExW(&description);  // fails harmlessly when another host registered it
}

Win32UiHost::~Win32UiHost() {
  loopWindow_ = kNoWindow;
  sink_ = nullptr;
  std::vector<HWND> handles;
  for (const auto& entry : windows_) handles.push_back(entry.second->handle);
  for (HWND handle : handles) DestroyWindow(handle);
  windows_.clear();
}

void Win32UiHost::SetEventSink(IEventSink* sink) { sink_ = sink; }

// ---------------------------------------------------------------- loading and loops

WindowId Win32UiHost::Load(const WindowSpec& layout, Modality modality) {
  const WindowId id = nextId_++;
  auto owned = std::make_unique<Window>();
  owned->host = this;
  owned->id = id;
  owned->layout = &layout;
  Window* window = owned.get();
  windows_.emplace(id, std::move(owned));

  const std::wstring caption = GbkToWide(layout.caption);
  // Position and size are those of the whole window, frame included, as CreateWindow takes them.
  // The window opens on the display the system scale belongs to, unless it lies on another.
  const ScreenRect place{layout.left, layout.top, layout.width, layout.height};
  const UINT systemDpi = SystemDpi();
  const SIZE size = DeviceWindowSize(layout.width, layout.height, systemDpi);
  const HWND handle = CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle,
                                      LayoutToDevice(layout.left, Dpi(systemDpi)),
                                      LayoutToDevice(layout.top, Dpi(systemDpi)), size.cx, size.cy,
                                      nullptr, nullptr, module_, window);
  if (!handle) {
    windows_.erase(id);
    return kNoWindow;
  }
  window->dpi = WindowDpi(handle);
  window->layoutSize = {layout.width, layout.height};
  PlaceWindow(handle, place, window->dpi);
  SetIcon(*window);
  Build(*window);
  for (size_t row = 0; row < window->controls.size(); ++row) {
    const Control& control = window->controls[row];
    if (control.layout->kind == ControlKind::Timer && control.interval > 0) {
      StartTimer(*window, row, control.interval);
    }
  }

  Raise(id, nullptr, EventKind::Created);
  window = Find(id);
  if (!window) return id;  // the created handler closed it again
  if (modality == Modality::Modal) HoldOthersDisabled(*window);
  ::ShowWindow(handle, SW_SHOW);
  UpdateWindow(handle);
  if (!window->deferred.empty()) SetTimer(handle, kDeferredBuildTimer, 0, nullptr);
  if (modality == Modality::Modal) RunUntilGone(id);
  return id;
}

bool Win32UiHost::Build(Window& window) {
  const WindowSpec& layout = *window.layout;
  window.controls.reserve(layout.controls.size());
  for (size_t row = 0; row < layout.controls.size(); ++row) {
    const ControlSpec& entry = layout.controls[row];
    Control control;
    control.layout = &entry;
    control.text = entry.text;
    control.visible = entry.visible;
    control.interval = entry.kind == ControlKind::Timer ? std::max(0, entry.interval) : 0;
    window.controls.push_back(std::move(control));
    window.byName.emplace(entry.name, row);  // the first of two equal names wins
  }

  bool all = true;
  for (size_t row = 0; row < window.controls.size(); ++row) {
    const ControlSpec& control = *window.controls[row].layout;
    if (!control.HasWindow()) continue;
    // Edit boxes (about half a millisecond each under Wine), graphic buttons and transparent
    // labels sit mostly on pages or holders nobody sees at first: those wait until the window
    // stands. Until then their text and visibility live in the row, which is all the state
    // they have.
    if (WaitsForWindow(control.kind) && !StandsAtStart(window, row)) {
      window.deferred.push_back(row);
      continue;
    }
    all = CreateRow(window, row, control) != nullptr && all;
  }
  return all;
}

// Whether the row can be seen when the window first appears: it and every container it lies
// in are visible, and it does not start beyond the window's extent (where value holders live).
bool Win32UiHost::StandsAtStart(const Window& window, size_t row) const {
  int left = 0, top = 0;
  for (int depth = 0; depth < kDeepestNesting; ++depth) {
    const ControlSpec& control = *window.controls[row].layout;
    if (!control.visible) return false;
    left += control.left;
    top += control.top;
    const auto container = control.container.empty() ? window.byName.end()
                                                     : window.byName.find(control.container);
    if (container == window.byName.end() || container->second == row) break;
    row = container->second;
  }
  return left < window.layout->width && top < window.layout->height;
}

HWND Win32UiHost::CreateRow(Window& window, size_t row, const ControlSpec& state) {
  const ControlSpec& control = *window.controls[row].layout;
  ControlPlacement placement;
  placement.parent = window.handle;
  if (!control.container.empty()) {
    // A container named but not (yet) built leaves the control on the client area, where
    // it still exists and can be driven.
    const auto container = window.byName.find(control.container);
    if (container != window.byName.end() && container->second != row &&
        IsContainer(window.controls[container->second].layout->kind) &&
        window.controls[container->second].window) {
      placement.parent = window.controls[container->second].window;
    }
  }
  placement.id = kFirstControlId + static_cast<int>(row);
  placement.rect = DeviceRect(window, control);
  placement.font = fonts_.Get(control.font, window.dpi);
  window.controls[row].window = CreateControlWindow(module_, state, placement, pictures_);
  return window.controls[row].window;
}

void Win32UiHost::BuildDeferred(Window& window) {
  std::vector<size_t> rows;
  rows.swap(window.deferred);
  for (size_t row : rows) {
    Control& control = window.controls[row];
    // Created as the row stands now, not as the table first had it.
    ControlSpec state = *control.layout;
    state.text.clear();
    state.visible = control.visible;
    const HWND created = CreateRow(window, row, state);
    if (!created) continue;
    SetWindowTextW(created, GbkToWide(control.text).c_str());
    // Later rows lie on top of earlier ones: slip the new window just beneath the first
    // later sibling that stands already.
    const std::string& container = control.layout->container;
    for (size_t later = row + 1; later < window.controls.size(); ++later) {
      const HWND other = window.controls[later].window;
      if (other && window.controls[later].layout->container == container) {
        SetWindowPos(created, other, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
      }
    }
  }
}

RECT Win32UiHost::DeviceRect(const Window& window, const ControlSpec& control) const {
  // Origin and size scale apart, so controls of one size stay of one size (and share their
  // scaled pictures).
  const int dpi = Dpi(window.dpi);
  const int left = LayoutToDevice(control.left, dpi);
  const int top = LayoutToDevice(control.top, dpi);
  return {left, top, left + LayoutToDevice(control.width, dpi),
          top + LayoutToDevice(control.height, dpi)};
}

void Win32UiHost::LayOutAgain(Window& window) {
  for (const Control& control : window.controls) {
    if (!control.window) continue;
    const RECT rect = DeviceRect(window, *control.layout);
    // Resized controls take their pictures at the new size themselves.
    PlaceChild(control.window, rect);
    SendMessageW(control.window, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fonts_.Get(control.layout->font, window.dpi)), TRUE);
    if (control.layout->kind == ControlKind::StatusBar) {
      SetPanes(control.window, *control.layout, rect.right - rect.left);
    }
  }
}

void Win32UiHost::SetIcon(Window& window) {
  if (window.layout->icon.empty()) return;
  // Loaded at this scale's sizes, which the system's shared copies need not have, so owned.
  const auto load = [this, &window](int widthMetric, int heightMetric) {
    return OwnedIcon(static_cast<HICON>(LoadImageW(
        module_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, SystemMetric(widthMetric, window.dpi),
        SystemMetric(heightMetric, window.dpi), LR_DEFAULTCOLOR)));
  };
  // The window lets go of the old icon before it is destroyed.
  if (OwnedIcon big = load(SM_CXICON, SM_CYICON)) {
    SendMessageW(window.handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    window.bigIcon = std::move(big);
  }
  if (OwnedIcon small = load(SM_CXSMICON, SM_CYSMICON)) {
    SendMessageW(window.handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    window.smallIcon = std::move(small);
  }
}

void Win32UiHost::RunLoop(WindowId main) {
  if (!Exists(main)) return;
  const WindowId outer = loopWindow_;
  loopWindow_ = main;
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  loopWindow_ = outer;
}

void Win32UiHost::RunUntilGone(WindowId window) {
  MSG message{};
  while (Exists(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: leave, and let the loop outside see the quit as well.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got == -1) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32UiHost::HoldOthersDisabled(Window& modal) {
  for (const auto& entry : windows_) {
    Window& other = *entry.second;
    if (other.id != modal.id && IsWindowEnabled(other.handle)) {
      EnableWindow(other.handle, FALSE);
      modal.heldDisabled.push_back(other.id);
    }
  }
}

void Win32UiHost::ReleaseHeld(Window& modal) {
  const std::vector<WindowId> held = std::move(modal.heldDisabled);
  modal.heldDisabled.clear();
  for (WindowId id : held) {
    if (const Window* other = Find(id)) EnableWindow(other->handle, TRUE);
  }
}

void Win32UiHost::StartTimer(Window& window, size_t row, int milliseconds) {
  const UINT_PTR timer = kFirstTimerId + row;
  KillTimer(window.handle, timer);
  window.controls[row].interval = std::max(0, milliseconds);
  if (milliseconds > 0) SetTimer(window.handle, timer, static_cast<UINT>(milliseconds), nullptr);
}

// ---------------------------------------------------------------- messages and events

LRESULT CALLBACK Win32UiHost::WindowProc(HWND handle, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->handle = handle;
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    return DefWindowProcW(handle, message, wParam, lParam);
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
  if (!window) return DefWindowProcW(handle, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
    window->host->windows_.erase(window->id);
    return DefWindowProcW(handle, message, wParam, lParam);
  }
  try {
    return window->host->OnMessage(*window, message, wParam, lParam);
  } catch (...) {
    // A handler failed; the message still gets its default treatment.
    return DefWindowProcW(handle, message, wParam, lParam);
  }
}

LRESULT Win32UiHost::OnMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(window, wParam, lParam);
      return 0;
    case WM_TIMER:
      OnTimer(window, wParam);
      return 0;
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case kGetDpiScaledSize:
      *reinterpret_cast<SIZE*>(lParam) =
          DeviceWindowSize(window.layoutSize.cx, window.layoutSize.cy, static_cast<UINT>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      ReleaseHeld(window);
      if (window.id == loopWindow_) PostQuitMessage(0);
      return 0;
    case WM_PRINTCLIENT: {
      // Transparent labels lying directly on the window ask for what is beneath them.
      RECT client{};
      GetClientRect(window.handle, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 0;
    }
    default:
      return DefWindowProcW(window.handle, message, wParam, lParam);
  }
}

void Win32UiHost::OnCommand(Window& window, WPARAM wParam, LPARAM lParam) {
  const auto from = reinterpret_cast<HWND>(lParam);
  // BN_CLICKED and STN_CLICKED share the code 0; menus and accelerators have no sender.
  if (!from || HIWORD(wParam) != BN_CLICKED) return;
  const int row = static_cast<int>(LOWORD(wParam)) - kFirstControlId;
  if (row < 0 || static_cast<size_t>(row) >= window.controls.size()) return;
  const Control& control = window.controls[static_cast<size_t>(row)];
  if (control.window != from) return;
  switch (control.layout->kind) {
    case ControlKind::Button:
    case ControlKind::RadioButton:
    case ControlKind::GraphicButton:
      Raise(window.id, control.layout, EventKind::Click);
      return;
    case ControlKind::PictureBox:
    case ControlKind::TransparentLabel:
      Raise(window.id, control.layout, EventKind::Press);
      return;
    default:
      return;
  }
}

void Win32UiHost::OnTimer(Window& window, WPARAM timerId) {
  if (timerId == kDeferredBuildTimer) {
    KillTimer(window.handle, kDeferredBuildTimer);
    BuildDeferred(window);
    return;
  }
  if (timerId < kFirstTimerId) return;
  const size_t row = timerId - kFirstTimerId;
  if (row >= window.controls.size()) return;
  const Control& control = window.controls[row];
  // A tick already queued when the timer was stopped is dropped.
  if (control.layout->kind != ControlKind::Timer || control.interval <= 0) return;
  Raise(window.id, control.layout, EventKind::Tick);
}

void Win32UiHost::OnClose(Window& window) {
  // A second close while the closing handler still runs (say, inside a message box) is the
  // same request; raising it twice would run the clean-up twice.
  if (window.closing) return;
  window.closing = true;
  const WindowId id = window.id;
  const HWND handle = window.handle;
  ReleaseHeld(window);
  Raise(id, nullptr, EventKind::Closing);
  if (Find(id)) DestroyWindow(handle);
  if (Window* still = Find(id)) still->closing = false;
}

void Win32UiHost::OnDpiChanged(Window& window, UINT dpi, const RECT& suggested) {
  if (dpi == 0) return;
  window.dpi = dpi;
  // Where the system suggests (under the pointer when dragged across displays), at our size.
  if (!IsIconic(window.handle)) {
    PlaceWindow(window.handle, {suggested.left, suggested.top},
                DeviceClientSize(window.layoutSize.cx, window.layoutSize.cy, dpi), dpi);
  }
  SetIcon(window);
  LayOutAgain(window);
}

void Win32UiHost::Raise(WindowId id, const ControlSpec* control, EventKind kind, int arg) {
  IEventSink* sink = sink_;
  const Window* window = Find(id);
  if (!sink || !window) return;
  sink->OnEvent(UiEvent{id, window->layout, control, kind, arg});
}

// ---------------------------------------------------------------- windows

void Win32UiHost::Destroy(WindowId id) {
  Window* window = Find(id);
  if (!window) return;
  ReleaseHeld(*window);
  DestroyWindow(window->handle);
}

bool Win32UiHost::Exists(WindowId id) const { return Find(id) != nullptr; }

void Win32UiHost::ShowWindow(WindowId id, bool visible) {
  if (const Window* window = Find(id)) ::ShowWindow(window->handle, visible ? SW_SHOW : SW_HIDE);
}

bool Win32UiHost::IsWindowShown(WindowId id) const {
  const Window* window = Find(id);
  return window && IsWindowVisible(window->handle);
}

ScreenRect Win32UiHost::WindowRect(WindowId id) const {
  RECT rect{};
  const Window* window = Find(id);
  if (!window || !GetWindowRect(window->handle, &rect)) return {};
  // The user moves the window; its size is only ever the program's.
  const int dpi = Dpi(window->dpi);
  return {DeviceToLayout(rect.left, dpi), DeviceToLayout(rect.top, dpi), window->layoutSize.cx,
          window->layoutSize.cy};
}

void Win32UiHost::MoveWindow(WindowId id, const ScreenRect& rect) {
  if (Window* window = Find(id)) {
    window->layoutSize = {rect.width, rect.height};
    PlaceWindow(window->handle, rect, window->dpi);
  }
}

HWND Win32UiHost::Handle(WindowId id) const {
  const Window* window = Find(id);
  return window ? window->handle : nullptr;
}

Win32UiHost::Window* Win32UiHost::Find(WindowId id) const {
  const auto found = windows_.find(id);
  return found == windows_.end() ? nullptr : found->second.get();
}

Win32UiHost::Control* Win32UiHost::FindControl(WindowId id, const std::string& name) const {
  Window* window = Find(id);
  if (!window) return nullptr;
  const auto found = window->byName.find(name);
  return found == window->byName.end() ? nullptr : &window->controls[found->second];
}

HWND Win32UiHost::ControlWindow(WindowId id, const std::string& name, ControlKind kind) const {
  const Control* control = FindControl(id, name);
  return control && control->layout->kind == kind ? control->window : nullptr;
}

// ---------------------------------------------------------------- controls

std::string Win32UiHost::Text(WindowId id, const std::string& name) const {
  if (name.empty()) {
    const Window* window = Find(id);
    return window ? WideToGbk(WindowText(window->handle)) : std::string();
  }
  const Control* control = FindControl(id, name);
  if (!control) return {};
  return control->window ? WideToGbk(WindowText(control->window)) : control->text;
}

void Win32UiHost::SetText(WindowId id, const std::string& name, const std::string& text) {
  if (name.empty()) {
    if (const Window* window = Find(id)) SetWindowTextW(window->handle, GbkToWide(text).c_str());
    return;
  }
  Control* control = FindControl(id, name);
  if (!control) return;
  if (control->window) {
    SetWindowTextW(control->window, GbkToWide(text).c_str());
  } else {
    control->text = text;
  }
}

bool Win32UiHost::IsShown(WindowId id, const std::string& name) const {
  const Control* control = FindControl(id, name);
  if (!control) return false;
  if (!control->window) return control->visible;
  return (GetWindowLongPtrW(control->window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32UiHost::Show(WindowId id, const std::string& name, bool visible) {
  Control* control = FindControl(id, name);
  if (!control) return;
  if (control->window) {
    ::ShowWindow(control->window, visible ? SW_SHOWNA : SW_HIDE);
  } else {
    control->visible = visible;
  }
}

int Win32UiHost::Interval(WindowId id, const std::string& timer) const {
  const Control* control = FindControl(id, timer);
  return control && control->layout->kind == ControlKind::Timer ? control->interval : 0;
}

void Win32UiHost::SetInterval(WindowId id, const std::string& timer, int milliseconds) {
  Window* window = Find(id);
  if (!window) return;
  const auto found = window->byName.find(timer);
  if (found == window->byName.end()) return;
  if (window->controls[found->second].layout->kind != ControlKind::Timer) return;
  StartTimer(*window, found->second, milliseconds);
}

int Win32UiHost::Position(WindowId id, const std::string& name) const {
  if (HWND bar = ControlWindow(id, name, ControlKind::ProgressBar)) {
    return static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
  }
  if (HWND slider = ControlWindow(id, name, ControlKind::Slider)) {
    return static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
  }
  return 0;
}

void Win32UiHost::SetPosition(WindowId id, const std::string& name, int position) {
  if (HWND bar = ControlWindow(id, name, ControlKind::ProgressBar)) {
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  } else if (HWND slider = ControlWindow(id, name, ControlKind::Slider)) {
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
  }
}

bool Win32UiHost::IsChecked(WindowId id, const std::string& name) const {
  const HWND radio = ControlWindow(id, name, ControlKind::RadioButton);
  return radio && SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32UiHost::SetChecked(WindowId id, const std::string& name, bool checked) {
  const HWND radio = ControlWindow(id, name, ControlKind::RadioButton);
  if (!radio) return;
  if (checked) {
    // Option buttons sharing a container are one group: checking one clears the others, as
    // a click would. BM_SETCHECK alone would leave two of them checked.
    const HWND container = GetParent(radio);
    for (const Control& other : Find(id)->controls) {
      if (other.window && other.window != radio && other.layout->kind == ControlKind::RadioButton &&
          GetParent(other.window) == container) {
        SendMessageW(other.window, BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
  }
  SendMessageW(radio, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32UiHost::SetFill(WindowId id, const std::string& name, unsigned colour) {
  if (HWND shape = ControlWindow(id, name, ControlKind::ShapeBox)) {
    SendMessageW(shape, kShapeSetFill, colour & 0x00FFFFFFu, 0);
  }
}

std::string Win32UiHost::PaneText(WindowId id, const std::string& name, int pane) const {
  const HWND bar = ControlWindow(id, name, ControlKind::StatusBar);
  if (!bar || pane < 0 || pane >= static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0))) {
    return {};
  }
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane), 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::wcslen(text.c_str()));
  return WideToGbk(text);
}

void Win32UiHost::SetPaneText(WindowId id, const std::string& name, int pane,
                              const std::string& text) {
  const HWND bar = ControlWindow(id, name, ControlKind::StatusBar);
  if (!bar || pane < 0 || pane >= static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0))) return;
  const std::wstring wide = GbkToWide(text);
  SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32UiHost::InfoBox(const std::string& title, const std::string& text, BoxIcon icon) {
  const UINT iconStyle = icon == BoxIcon::Information ? MB_ICONINFORMATION : 0;
  MessageBoxW(nullptr, GbkToWide(text).c_str(), GbkToWide(title).c_str(),
              MB_OK | MB_TASKMODAL | iconStyle);
}

}  // namespace zv::win32
