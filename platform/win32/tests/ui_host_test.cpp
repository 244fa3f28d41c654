// The window host against real windows: placement and IDs, texts, values, events, timers,
// closing and the message loops. Needs a display; without one the tests skip.
// clang-format off: <commctrl.h> needs <windows.h> before it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/fonts.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/ui_host_win32.h"
#include "platform/win32/window_text.h"
#include "tests/case_name.h"
#include "ui/catalogue_builder.h"

namespace zv::win32 {
namespace {

using layout::Add;
using layout::AddTimer;

WindowSpec TestWindow() {
  WindowSpec w;
  w.id = "test";
  w.caption = "测试窗口";
  w.left = 60;
  w.top = 70;
  w.width = 520;
  w.height = 400;
  Add(w, "图片框1", ControlKind::PictureBox, "", 10, 10, 240, 100).picture = "still.jpg";
  Add(w, "按钮1", ControlKind::Button, "图片框1", 5, 5, 60, 24, "按钮");
  Add(w, "编辑框1", ControlKind::EditBox, "", 10, 120, 200, 22, "初始");
  Add(w, "透明标签1", ControlKind::TransparentLabel, "图片框1", 80, 40, 150, 40, "标签");
  AddTimer(w, "时钟1", "", 0, Action::None);
  ControlSpec& bar = Add(w, "进度条1", ControlKind::ProgressBar, "", 10, 150, 200, 12);
  bar.visible = false;
  bar.position = 7;
  ControlSpec& slider = Add(w, "滑块条1", ControlKind::Slider, "", 10, 170, 200, 30);
  slider.rangeMin = 1;
  slider.rangeMax = 22;
  slider.position = 5;
  Add(w, "单选框1", ControlKind::RadioButton, "", 10, 205, 80, 20, "变速");
  Add(w, "单选框2", ControlKind::RadioButton, "", 100, 205, 80, 20, "变声");
  Add(w, "状态条1", ControlKind::StatusBar, "", 0, 330, 400, 20).panes = 4;
  Add(w, "外形框1", ControlKind::ShapeBox, "", 300, 120, 24, 24).fill = 0x00C0C0C0;
  ControlSpec& graphic =
      Add(w, "图形按钮1", ControlKind::GraphicButton, "", 300, 160, 96, 32, "保存配置");
  graphic.picture = "still.jpg";
  graphic.font = FontSpec{"仿宋_GB2312", 13, true};
  Add(w, "分组框1", ControlKind::GroupBox, "", 300, 200, 150, 80);
  Add(w, "分组按钮", ControlKind::Button, "分组框1", 10, 20, 60, 24, "组");
  Add(w, "远处编辑框", ControlKind::EditBox, "", 360, 900, 80, 20);
  Add(w, "标签1", ControlKind::Label, "", 10, 240, 80, 20, "标签一");
  Add(w, "超文本浏览框1", ControlKind::HtmlViewer, "", 600, 10, 100, 50, "http://h/forum.php");
  Add(w, "录音1", ControlKind::WaveRecorder, "", 0, 0, 0, 0);
  AddTimer(w, "时钟2", "", 15, Action::None);
  Add(w, "窗口标签", ControlKind::TransparentLabel, "", 10, 270, 100, 20, "在窗口上");
  // A page nobody sees at first, with the kinds that wait for the window and a later row lying
  // over them.
  Add(w, "隐页", ControlKind::PictureBox, "", 260, 300, 200, 60).visible = false;
  Add(w, "隐页编辑框", ControlKind::EditBox, "隐页", 5, 5, 100, 20, "原文");
  Add(w, "隐页图形按钮", ControlKind::GraphicButton, "隐页", 5, 5, 96, 32, "原文");
  Add(w, "隐页标签", ControlKind::TransparentLabel, "隐页", 5, 5, 80, 20, "原文");
  Add(w, "隐页按钮", ControlKind::Button, "隐页", 5, 5, 60, 20, "上面");
  return w;
}

struct Seen {
  WindowId window;
  EventKind kind;
  std::string control;
  bool windowShown;
};

// Records events and runs an optional reaction, as the program's handlers would.
class Recorder : public IEventSink {
 public:
  explicit Recorder(Win32UiHost& host) : host_(host) {}
  void OnEvent(const UiEvent& event) override {
    seen.push_back({event.window, event.kind, event.control ? event.control->name : "",
                    host_.IsWindowShown(event.window)});
    if (react) react(event);
  }
  int Count(EventKind kind, const std::string& control = "") const {
    int count = 0;
    for (const Seen& s : seen) count += s.kind == kind && s.control == control;
    return count;
  }
  std::vector<Seen> seen;
  std::function<void(const UiEvent&)> react;

 private:
  Win32UiHost& host_;
};

// Dispatches messages until `done` or the time is up; true if `done` was reached.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 2000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return done();
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  }
  return true;
}

class UiHostTest : public testing::Test {
 protected:
  void SetUp() override {
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       nullptr, nullptr);
    if (!probe) GTEST_SKIP() << "no display to create windows on";
    DestroyWindow(probe);
    host_.SetEventSink(&sink_);
  }

  WindowId LoadTest() {
    const WindowId id = host_.Load(layout_, Modality::Modeless);
    EXPECT_NE(id, kNoWindow);
    return id;
  }
  HWND Child(WindowId window, size_t row) const {
    return FindChild(host_.Handle(window), kFirstControlId + static_cast<int>(row));
  }
  static HWND FindChild(HWND top, int id) {
    struct Search {
      int id;
      HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<Search*>(context);
          if (GetDlgCtrlID(child) != s->id) return TRUE;
          s->found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  size_t RowOf(const std::string& name) const {
    for (size_t i = 0; i < layout_.controls.size(); ++i) {
      if (layout_.controls[i].name == name) return i;
    }
    ADD_FAILURE() << name;
    return 0;
  }
  // What look(dc, client) sees of a control drawn into a bitmap as it would paint itself.
  template <typename Look>
  static auto Printed(HWND control, Look&& look) {
    RECT client{};
    GetClientRect(control, &client);
    WindowDc screen(nullptr);
    MemoryDc dc(CreateCompatibleDC(screen.get()));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    Selection selected(dc.get(), bitmap.get());
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    return look(dc.get(), client);
  }
  // The colour a control shows at (x, y) of its client area.
  static COLORREF Painted(HWND control, int x, int y) {
    return Printed(control, [&](HDC dc, const RECT&) { return GetPixel(dc, x, y); });
  }

  WindowSpec layout_ = TestWindow();
  Win32UiHost host_{GetModuleHandleW(nullptr)};
  Recorder sink_{host_};
};

TEST_F(UiHostTest, WindowHasTheWholeFrameRectAndCaption) {
  const WindowId id = LoadTest();
  RECT frame{};
  GetWindowRect(host_.Handle(id), &frame);
  EXPECT_EQ(frame.left, 60);
  EXPECT_EQ(frame.top, 70);
  EXPECT_EQ(frame.right - frame.left, 520);
  EXPECT_EQ(frame.bottom - frame.top, 400);
  EXPECT_EQ(WindowText(host_.Handle(id)), L"测试窗口");
  EXPECT_EQ(host_.Text(id, ""), "测试窗口");
  const LONG_PTR style = GetWindowLongPtrW(host_.Handle(id), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
}

TEST_F(UiHostTest, OnlyWindowsWithAnIconGetIt) {
  const WindowId plain = LoadTest();
  EXPECT_EQ(SendMessageW(host_.Handle(plain), WM_GETICON, ICON_BIG, 0), 0);
  layout_.icon = "update.ico";
  const WindowId withIcon = LoadTest();
  EXPECT_NE(SendMessageW(host_.Handle(withIcon), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(host_.Handle(withIcon), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(UiHostTest, EveryWindowedRowIsAChildAtItsPlaceWithItsId) {
  const WindowId id = LoadTest();
  // Edit boxes on hidden pages come once the window has painted.
  ASSERT_TRUE(PumpUntil([&] { return Child(id, RowOf("隐页编辑框")) != nullptr; }));
  const HWND top = host_.Handle(id);
  for (size_t row = 0; row < layout_.controls.size(); ++row) {
    const ControlSpec& control = layout_.controls[row];
    const HWND child = Child(id, row);
    if (!control.HasWindow()) {
      EXPECT_EQ(child, nullptr) << control.name;
      continue;
    }
    ASSERT_NE(child, nullptr) << control.name;
    const HWND expectedParent =
        control.container.empty() ? top : Child(id, RowOf(control.container));
    EXPECT_EQ(GetParent(child), expectedParent) << control.name;
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, control.left) << control.name;
    EXPECT_EQ(place.top, control.top) << control.name;
    EXPECT_EQ(place.right - place.left, control.width) << control.name;
    EXPECT_EQ(place.bottom - place.top, control.height) << control.name;
  }
}

struct ClassCase {
  const char* name;
  const wchar_t* windowClass;
};

class ControlClass : public UiHostTest, public testing::WithParamInterface<ClassCase> {};

TEST_P(ControlClass, KindGetsItsWindowClass) {
  const WindowId id = LoadTest();
  wchar_t name[64] = {};
  GetClassNameW(Child(id, RowOf(GetParam().name)), name, 64);
  EXPECT_STRCASEEQ(WideToGbk(name).c_str(), WideToGbk(GetParam().windowClass).c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ControlClass,
    testing::Values(ClassCase{"编辑框1", L"Edit"}, ClassCase{"按钮1", L"Button"},
                    ClassCase{"分组框1", L"Button"}, ClassCase{"标签1", L"Static"},
                    ClassCase{"进度条1", PROGRESS_CLASSW}, ClassCase{"滑块条1", TRACKBAR_CLASSW},
                    ClassCase{"状态条1", STATUSCLASSNAMEW}, ClassCase{"图片框1", L"ZanvoroPictureBox"},
                    ClassCase{"图形按钮1", L"ZanvoroGraphicButton"},
                    ClassCase{"透明标签1", L"ZanvoroTransparentLabel"},
                    ClassCase{"外形框1", L"ZanvoroShapeBox"},
                    ClassCase{"超文本浏览框1", L"ZanvoroHtmlViewer"}),
    test::NamedBy([](const ClassCase& c) { return WideToGbk(c.windowClass); }));

TEST_F(UiHostTest, TextsRoundTripThroughTheWindowsInGbk) {
  const WindowId id = LoadTest();
  // The edit box below the window comes once the window has painted.
  ASSERT_TRUE(PumpUntil([&] { return Child(id, RowOf("远处编辑框")) != nullptr; }));
  EXPECT_EQ(host_.Text(id, "编辑框1"), "初始");
  EXPECT_EQ(host_.Text(id, "超文本浏览框1"), "http://h/forum.php");
  for (const char* name : {"编辑框1", "透明标签1", "图形按钮1", "标签1", "远处编辑框", "按钮1"}) {
    host_.SetText(id, name, "快捷键F1：你好");
    EXPECT_EQ(host_.Text(id, name), "快捷键F1：你好") << name;
    EXPECT_EQ(WindowText(Child(id, RowOf(name))), L"快捷键F1：你好") << name;
  }
  host_.SetText(id, "", "新标题");
  EXPECT_EQ(WindowText(host_.Handle(id)), L"新标题");
}

TEST_F(UiHostTest, EditBoxKeepsWholeConfigurationTexts) {
  const WindowId id = LoadTest();
  // Longer than the typing limit, with line breaks a hand-edited file may bring.
  const std::string whole = std::string(40000, 'a') + "\r\n第二行\n";
  host_.SetText(id, "远处编辑框", whole);
  EXPECT_EQ(host_.Text(id, "远处编辑框"), whole);
}

struct HiddenRowCase {
  const char* row;
  const char* kind;
};

class HiddenPageRow : public UiHostTest, public testing::WithParamInterface<HiddenRowCase> {};

TEST_P(HiddenPageRow, StandsOnceTheWindowHasPainted) {
  const std::string name = GetParam().row;
  const WindowId id = LoadTest();
  // Driven before its window exists: the row keeps what the program set.
  EXPECT_EQ(host_.Text(id, name), "原文");
  host_.SetText(id, name, "配置文件的内容");
  host_.Show(id, name, false);
  EXPECT_EQ(host_.Text(id, name), "配置文件的内容");
  EXPECT_FALSE(host_.IsShown(id, name));

  ASSERT_TRUE(PumpUntil([&] { return Child(id, RowOf(name)) != nullptr; }));
  const HWND made = Child(id, RowOf(name));
  EXPECT_EQ(WindowText(made), GbkToWide("配置文件的内容"));
  EXPECT_EQ(host_.Text(id, name), "配置文件的内容");
  EXPECT_FALSE(GetWindowLongPtrW(made, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(GetParent(made), Child(id, RowOf("隐页")));
  // In place among its siblings: beneath the next row, as if it had been made first.
  EXPECT_EQ(GetWindow(Child(id, RowOf(name) + 1), GW_HWNDNEXT), made);
  host_.Show(id, name, true);
  EXPECT_TRUE(GetWindowLongPtrW(made, GWL_STYLE) & WS_VISIBLE);
}

INSTANTIATE_TEST_SUITE_P(Kinds, HiddenPageRow,
                         testing::Values(HiddenRowCase{"隐页编辑框", "edit"},
                                         HiddenRowCase{"隐页图形按钮", "graphicButton"},
                                         HiddenRowCase{"隐页标签", "transparentLabel"}),
                         test::NamedBy([](const HiddenRowCase& c) { return c.kind; }));

TEST_F(UiHostTest, WindowlessControlsKeepTheirOwnValues) {
  const WindowId id = LoadTest();
  host_.SetText(id, "录音1", "值");
  EXPECT_EQ(host_.Text(id, "录音1"), "值");
  EXPECT_TRUE(host_.IsShown(id, "录音1"));
  host_.Show(id, "录音1", false);
  EXPECT_FALSE(host_.IsShown(id, "录音1"));
}

TEST_F(UiHostTest, VisibilityIsTheControlsOwnFlag) {
  const WindowId id = LoadTest();
  EXPECT_FALSE(host_.IsShown(id, "进度条1"));
  EXPECT_FALSE(GetWindowLongPtrW(Child(id, RowOf("进度条1")), GWL_STYLE) & WS_VISIBLE);
  host_.Show(id, "进度条1", true);
  EXPECT_TRUE(host_.IsShown(id, "进度条1"));
  host_.Show(id, "图片框1", false);
  EXPECT_TRUE(host_.IsShown(id, "按钮1"));  // its container is hidden, it is not
  EXPECT_FALSE(IsWindowVisible(Child(id, RowOf("按钮1"))));
  EXPECT_TRUE(host_.IsShown(id, "远处编辑框"));  // outside the window, yet shown
}

TEST_F(UiHostTest, ValuesOfBarsSlidersRadiosAndPanes) {
  const WindowId id = LoadTest();
  EXPECT_EQ(host_.Position(id, "进度条1"), 7);
  EXPECT_EQ(host_.Position(id, "滑块条1"), 5);
  host_.SetPosition(id, "进度条1", 100);
  host_.SetPosition(id, "滑块条1", 22);
  EXPECT_EQ(host_.Position(id, "进度条1"), 100);
  EXPECT_EQ(host_.Position(id, "滑块条1"), 22);

  host_.SetChecked(id, "单选框1", true);
  host_.SetChecked(id, "单选框2", true);
  EXPECT_FALSE(host_.IsChecked(id, "单选框1"));  // one group: never two checked
  EXPECT_TRUE(host_.IsChecked(id, "单选框2"));
  host_.SetChecked(id, "单选框2", false);
  EXPECT_FALSE(host_.IsChecked(id, "单选框2"));

  EXPECT_EQ(SendMessageW(Child(id, RowOf("状态条1")), SB_GETPARTS, 0, 0), 4);
  host_.SetPaneText(id, "状态条1", 3, "已下载 50%");
  EXPECT_EQ(host_.PaneText(id, "状态条1", 3), "已下载 50%");
  EXPECT_EQ(host_.PaneText(id, "状态条1", 0), "");
  host_.SetPaneText(id, "状态条1", 4, "x");
  host_.SetPaneText(id, "状态条1", -1, "x");
  EXPECT_EQ(host_.PaneText(id, "状态条1", 4), "");
}

TEST_F(UiHostTest, UnknownNamesAndWindowsAreHarmless) {
  const WindowId id = LoadTest();
  for (const WindowId window : {id, WindowId{9999}}) {
    const std::string name = "不存在";
    host_.SetText(window, name, "x");
    host_.Show(window, name, true);
    host_.SetInterval(window, name, 10);
    host_.SetPosition(window, name, 3);
    host_.SetChecked(window, name, true);
    host_.SetFill(window, name, 0xFF);
    host_.SetPaneText(window, name, 0, "x");
    EXPECT_EQ(host_.Text(window, name), "");
    EXPECT_FALSE(host_.IsShown(window, name));
    EXPECT_EQ(host_.Interval(window, name), 0);
    EXPECT_EQ(host_.Position(window, name), 0);
    EXPECT_FALSE(host_.IsChecked(window, name));
    EXPECT_EQ(host_.PaneText(window, name, 0), "");
  }
  host_.Destroy(9999);
  host_.ShowWindow(9999, true);
  EXPECT_FALSE(host_.Exists(9999));
  EXPECT_EQ(host_.Position(id, "编辑框1"), 0);  // a value of the wrong kind
  EXPECT_EQ(host_.Interval(id, "编辑框1"), 0);
}

TEST_F(UiHostTest, PicturesAndFillsArePainted) {
  const WindowId id = LoadTest();
  const COLORREF green = Painted(Child(id, RowOf("图片框1")), 230, 90);  // stretched to the box
  EXPECT_LT(GetRValue(green), 40);
  EXPECT_GT(GetGValue(green), 120);
  // The label shows the picture beneath it where it has no text.
  const COLORREF beneath = Painted(Child(id, RowOf("透明标签1")), 140, 35);
  EXPECT_EQ(beneath, green);
  EXPECT_EQ(Painted(Child(id, RowOf("窗口标签")), 95, 15), GetSysColor(COLOR_BTNFACE));

  EXPECT_EQ(Painted(Child(id, RowOf("外形框1")), 5, 5), RGB(192, 192, 192));
  host_.SetFill(id, "外形框1", 0x000000FF);
  EXPECT_EQ(Painted(Child(id, RowOf("外形框1")), 5, 5), RGB(255, 0, 0));
}

TEST_F(UiHostTest, LabelTextStaysReadableOnDarkAndLightBackgrounds) {
  const WindowId id = LoadTest();
  const auto count = [](HWND label, auto&& wanted) {
    return Printed(label, [&](HDC dc, const RECT& client) {
      int n = 0;
      for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) n += wanted(GetPixel(dc, x, y)) ? 1 : 0;
      }
      return n;
    });
  };
  const auto light = [](COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200; };
  const auto dark = [](COLORREF c) { return GetRValue(c) < 120 && GetGValue(c) < 120; };
  // 透明标签1 lies on the dark green picture, 窗口标签 on the light window face.
  EXPECT_GT(count(Child(id, RowOf("透明标签1")), light), 10);
  EXPECT_EQ(count(Child(id, RowOf("透明标签1")), dark), 0);
  EXPECT_GT(count(Child(id, RowOf("窗口标签")), dark), 10);
}

TEST_F(UiHostTest, GraphicButtonGetsItsFont) {
  const WindowId id = LoadTest();
  const auto font = reinterpret_cast<HFONT>(
      SendMessageW(Child(id, RowOf("图形按钮1")), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW description{};
  GetObjectW(font, sizeof(description), &description);
  EXPECT_EQ(description.lfHeight, -13);
  EXPECT_EQ(description.lfWeight, FW_BOLD);
  LOGFONTW stock{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
  EXPECT_STREQ(description.lfFaceName,
               IsFaceInstalled(L"仿宋_GB2312") ? L"仿宋_GB2312" : stock.lfFaceName);
}

// A place in layout units at 150 %: to the nearest device pixel, halves away from zero.
LONG AtOneAndAHalf(LONG layout) { return static_cast<LONG>(std::lround(layout * 1.5)); }

RECT PlaceInParent(HWND child) {
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// What Windows sends when the window is dragged to a display at 150 % or the user changes the
// scale: the window takes the suggested place and lays itself out again at the new scale.
TEST_F(UiHostTest, MovedToADisplayAtAnotherScaleItIsLaidOutAgain) {
  const WindowId id = LoadTest();
  ASSERT_TRUE(PumpUntil([&] { return Child(id, RowOf("隐页编辑框")) != nullptr; }));
  const HWND top = host_.Handle(id);
  RECT client{};
  GetClientRect(top, &client);
  const LONG width = client.right, height = client.bottom;

  RECT suggested{150, 180, 150 + 700, 180 + 500};  // the size is the window's own choice
  SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

  RECT frame{};
  GetWindowRect(top, &frame);
  EXPECT_EQ(frame.left, 150);
  EXPECT_EQ(frame.top, 180);
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, AtOneAndAHalf(width));
  EXPECT_EQ(client.bottom, AtOneAndAHalf(height));

  for (const char* name : {"图片框1", "按钮1", "图形按钮1", "状态条1", "隐页编辑框", "透明标签1"}) {
    const ControlSpec& control = layout_.controls[RowOf(name)];
    const RECT place = PlaceInParent(Child(id, RowOf(name)));
    EXPECT_EQ(place.left, AtOneAndAHalf(control.left)) << name;
    EXPECT_EQ(place.top, AtOneAndAHalf(control.top)) << name;
    EXPECT_EQ(place.right - place.left, AtOneAndAHalf(control.width)) << name;
    EXPECT_EQ(place.bottom - place.top, AtOneAndAHalf(control.height)) << name;
  }

  // 13 px at 150 % is 19.5: the font of the new scale, not the old one stretched.
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Child(id, RowOf("图形按钮1")), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -20);
  // The picture covers the box at its new size, up to its far corner.
  const COLORREF green = Painted(Child(id, RowOf("图片框1")), 355, 145);
  EXPECT_GT(GetGValue(green), 120);
  EXPECT_LT(GetRValue(green), 40);
  // Four equal panes over the bar's 600 device pixels.
  int edges[4] = {};
  SendMessageW(Child(id, RowOf("状态条1")), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(edges[0], 150);
  EXPECT_EQ(edges[2], 450);

  // The program goes on in layout units: the place it reads back and the place it sets.
  const ScreenRect read = host_.WindowRect(id);
  EXPECT_EQ(read.left, 100);
  EXPECT_EQ(read.top, 120);
  EXPECT_EQ(read.width, layout_.width);
  EXPECT_EQ(read.height, layout_.height);
  host_.MoveWindow(id, {read.left + 20, read.top + 10, read.width, read.height});
  GetWindowRect(top, &frame);
  EXPECT_EQ(frame.left, 180);
  EXPECT_EQ(frame.top, 195);
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, AtOneAndAHalf(width));
}

TEST_F(UiHostTest, CreatedComesOnceWithControlsBuiltAndBeforeShowing) {
  std::string textAtCreation;
  sink_.react = [&](const UiEvent& event) {
    if (event.kind == EventKind::Created) textAtCreation = host_.Text(event.window, "编辑框1");
  };
  const WindowId id = LoadTest();
  ASSERT_EQ(sink_.Count(EventKind::Created), 1);
  EXPECT_FALSE(sink_.seen.front().windowShown);
  EXPECT_EQ(sink_.seen.front().window, id);
  EXPECT_EQ(textAtCreation, "初始");
  EXPECT_TRUE(host_.IsWindowShown(id));
}

TEST_F(UiHostTest, ClicksAndPressesReachTheSink) {
  const WindowId id = LoadTest();
  SendMessageW(Child(id, RowOf("按钮1")), BM_CLICK, 0, 0);   // inside a picture box
  SendMessageW(Child(id, RowOf("分组按钮")), BM_CLICK, 0, 0);  // inside a group box
  SendMessageW(Child(id, RowOf("图形按钮1")), BM_CLICK, 0, 0);
  SendMessageW(Child(id, RowOf("单选框2")), BM_CLICK, 0, 0);
  SendMessageW(Child(id, RowOf("图片框1")), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 80));
  SendMessageW(Child(id, RowOf("透明标签1")), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(Child(id, RowOf("标签1")), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  for (const char* name : {"按钮1", "分组按钮", "图形按钮1", "单选框2"}) {
    EXPECT_EQ(sink_.Count(EventKind::Click, name), 1) << name;
  }
  EXPECT_TRUE(host_.IsChecked(id, "单选框2"));
  EXPECT_EQ(sink_.Count(EventKind::Press, "图片框1"), 1);
  EXPECT_EQ(sink_.Count(EventKind::Press, "透明标签1"), 1);
  EXPECT_EQ(sink_.Count(EventKind::Press, "标签1"), 0);
}

TEST_F(UiHostTest, GraphicButtonClicksOnlyWhenReleasedInside) {
  const WindowId id = LoadTest();
  const HWND button = Child(id, RowOf("图形按钮1"));
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(200, 10));  // dragged off first
  EXPECT_EQ(sink_.Count(EventKind::Click, "图形按钮1"), 1);
}

TEST_F(UiHostTest, TimersTickFromLoadAndStopAtZero) {
  const WindowId id = LoadTest();
  EXPECT_EQ(host_.Interval(id, "时钟2"), 15);
  EXPECT_EQ(host_.Interval(id, "时钟1"), 0);
  ASSERT_TRUE(PumpUntil([&] { return sink_.Count(EventKind::Tick, "时钟2") >= 3; }));
  host_.SetInterval(id, "时钟2", 0);
  const int stopped = sink_.Count(EventKind::Tick, "时钟2");
  host_.SetInterval(id, "时钟1", 10);
  ASSERT_TRUE(PumpUntil([&] { return sink_.Count(EventKind::Tick, "时钟1") >= 2; }));
  EXPECT_EQ(sink_.Count(EventKind::Tick, "时钟2"), stopped);
  EXPECT_EQ(host_.Interval(id, "时钟1"), 10);
  EXPECT_EQ(sink_.Count(EventKind::Tick), 0);  // ticks always name their timer
}

TEST_F(UiHostTest, CloseRaisesClosingOnceThenDestroys) {
  sink_.react = [&](const UiEvent& event) {
    // A closing handler that destroys the window itself, as the secondary windows' do.
    if (event.kind == EventKind::Closing) host_.Destroy(event.window);
  };
  const WindowId id = LoadTest();
  SendMessageW(host_.Handle(id), WM_CLOSE, 0, 0);
  EXPECT_EQ(sink_.Count(EventKind::Closing), 1);
  EXPECT_FALSE(host_.Exists(id));

  sink_.react = nullptr;
  const WindowId second = LoadTest();
  SendMessageW(host_.Handle(second), WM_CLOSE, 0, 0);
  EXPECT_EQ(sink_.Count(EventKind::Closing), 2);
  EXPECT_FALSE(host_.Exists(second));
}

TEST_F(UiHostTest, ModalLoadReturnsWhenClosedAndOtherTimersKeepTicking) {
  const WindowId main = LoadTest();  // 时钟2 ticks every 15 ms
  WindowSpec dialog;
  dialog.id = "dialog";
  dialog.caption = "对话框";
  dialog.width = 200;
  dialog.height = 100;
  AddTimer(dialog, "关闭时钟", "", 200, Action::None);
  WindowId modal = kNoWindow;
  bool mainEnabledDuringModal = true;
  int mainTicksDuringModal = 0;
  sink_.react = [&](const UiEvent& event) {
    if (event.kind == EventKind::Created && event.windowSpec == &dialog) modal = event.window;
    if (event.kind == EventKind::Tick && event.window == main && host_.Exists(modal)) {
      ++mainTicksDuringModal;
      mainEnabledDuringModal = IsWindowEnabled(host_.Handle(main)) != FALSE;
    }
    if (event.kind == EventKind::Tick && event.window == modal) {
      PostMessageW(host_.Handle(modal), WM_CLOSE, 0, 0);
    }
  };
  const WindowId returned = host_.Load(dialog, Modality::Modal);
  EXPECT_EQ(returned, modal);
  EXPECT_FALSE(host_.Exists(modal));
  EXPECT_GE(mainTicksDuringModal, 3);
  EXPECT_FALSE(mainEnabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(host_.Handle(main)));
}

TEST_F(UiHostTest, QuitInsideAModalLoopReachesTheOuterLoop) {
  WindowSpec dialog;
  dialog.id = "dialog";
  dialog.width = 200;
  dialog.height = 100;
  AddTimer(dialog, "时钟", "", 10, Action::None);
  sink_.react = [&](const UiEvent& event) {
    if (event.kind == EventKind::Tick) PostQuitMessage(7);
  };
  const WindowId modal = host_.Load(dialog, Modality::Modal);
  EXPECT_TRUE(host_.Exists(modal));  // the loop ended for the quit, not for the window
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 7u);
}

TEST_F(UiHostTest, RunLoopEndsWhenTheMainWindowIsDestroyed) {
  const WindowId main = LoadTest();
  sink_.react = [&](const UiEvent& event) {
    if (event.kind == EventKind::Tick) host_.Destroy(main);
  };
  host_.RunLoop(main);
  EXPECT_FALSE(host_.Exists(main));
  MSG message{};
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // consumed
  host_.RunLoop(main);  // gone already: returns at once
}

}  // namespace
}  // namespace zv::win32
