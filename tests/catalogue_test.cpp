// The window tables: structure that every window must satisfy, and a sample of places, texts
// and fonts written out independently of the tables.
#include "ui/catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "case_name.h"

namespace zv {
namespace {

// A missing control fails the case it is looked up in rather than ending the whole run.
const ControlSpec& Control(const WindowSpec* window, const std::string& name) {
  static const ControlSpec kMissing;
  const ControlSpec* control = window->Find(name);
  if (control == nullptr) ADD_FAILURE() << name << " is missing";
  return control != nullptr ? *control : kMissing;
}

const WindowSpec* const kWindows[] = {&MainWindowSpec(), &UpdateWindowSpec(), &PianoWindowSpec(),
                                      &VoiceWindowSpec()};

class EveryWindowTest : public testing::TestWithParam<const WindowSpec*> {};

TEST_P(EveryWindowTest, NamesAreUniqueAndContainersComeFirst) {
  std::set<std::string> seen;
  for (const ControlSpec& control : GetParam()->controls) {
    EXPECT_TRUE(seen.insert(control.name).second) << control.name;
    if (!control.container.empty()) {
      const ControlSpec* container = GetParam()->Find(control.container);
      ASSERT_NE(container, nullptr) << control.name;
      EXPECT_TRUE(seen.count(control.container)) << control.name << " before its container";
      EXPECT_TRUE(container->kind == ControlKind::PictureBox ||
                  container->kind == ControlKind::GroupBox)
          << control.name;
    }
  }
}

TEST_P(EveryWindowTest, EveryVisualControlHasASizeAndEveryEventAnAction) {
  for (const ControlSpec& control : GetParam()->controls) {
    if (control.HasWindow()) {
      EXPECT_GT(control.width * control.height, 0) << control.name;
    }
    const bool raisesEvent = control.kind == ControlKind::Button ||
                             control.kind == ControlKind::GraphicButton ||
                             control.kind == ControlKind::RadioButton;
    if (raisesEvent) {
      EXPECT_NE(control.action, Action::None) << control.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindowTest, testing::ValuesIn(kWindows),
    test::NamedBy([](const WindowSpec* w) { return w->id; }));

struct WindowCase {
  const WindowSpec* layout;
  std::string caption;
  int width, height;
  size_t controls;
};

TEST(WindowTableTest, SizesCaptionsAndCounts) {
  const WindowCase cases[] = {
      {&UpdateWindowSpec(), "自动更新", 440, 59, 4},
      {&PianoWindowSpec(), "Zanvoro模拟钢琴", 572, 494, 7},
      {&VoiceWindowSpec(), "落Zanvoro变声器", 373, 359, 18},
  };
  for (const WindowCase& c : cases) {
    EXPECT_EQ(c.layout->caption, c.caption);
    EXPECT_EQ(c.layout->width, c.width);
    EXPECT_EQ(c.layout->height, c.height);
    EXPECT_EQ(c.layout->left, 50);
    EXPECT_EQ(c.layout->top, 50);
    EXPECT_EQ(c.layout->controls.size(), c.controls) << c.caption;
  }
  const WindowSpec& main = MainWindowSpec();
  EXPECT_EQ(main.width, 643);
  EXPECT_EQ(main.height, 584);
  EXPECT_EQ(main.caption.rfind("ZanvoroMC音效YY变声器模拟钢琴快捷发送助手v2.0（官方网站", 0), 0u);
  EXPECT_EQ(main.caption.substr(main.caption.size() - 2), "）");
}

struct PlaceCase {
  const WindowSpec* layout;
  std::string name, container;
  int left, top, width, height;
  std::string text;
};

class PlaceTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceTest, ControlStandsWhereTheLayoutPutsIt) {
  const PlaceCase& c = GetParam();
  const ControlSpec* control = c.layout->Find(c.name);
  ASSERT_NE(control, nullptr) << c.name;
  EXPECT_EQ(control->container, c.container);
  EXPECT_EQ(control->left, c.left);
  EXPECT_EQ(control->top, c.top);
  EXPECT_EQ(control->width, c.width);
  EXPECT_EQ(control->height, c.height);
  EXPECT_EQ(control->text, c.text);
}

const WindowSpec* M = &MainWindowSpec();
const WindowSpec* P = &PianoWindowSpec();
const WindowSpec* V = &VoiceWindowSpec();
const WindowSpec* U = &UpdateWindowSpec();

INSTANTIATE_TEST_SUITE_P(
    Sample, PlaceTest,
    testing::Values(
        PlaceCase{M, "图片框2", "", 0, 0, 688, 72, ""},
        PlaceCase{M, "透明标签11", "图片框2", 456, 0, 176, 24, "在线人数获取中......"},
        PlaceCase{M, "图片框7", "图片框2", 544, 32, 88, 24, ""},
        PlaceCase{M, "特定按钮4", "", 320, 72, 100, 45, "模拟钢琴"},
        PlaceCase{M, "特定按钮6", "", 528, 72, 100, 45, "BOX打碟"},
        PlaceCase{M, "图片框4", "", 8, 128, 640, 456, ""},
        PlaceCase{M, "官方音按钮1", "图片框3", 8, 16, 96, 32, "QQ消息音"},
        PlaceCase{M, "官方音按钮12", "图片框3", 528, 56, 96, 32, "电话占线"},
        PlaceCase{M, "官方音按钮47", "图片框3", 424, 296, 96, 32, "Tobrin笑声"},
        PlaceCase{M, "官方音按钮52", "图片框3", 320, 336, 96, 32, "官方网站"},
        PlaceCase{M, "自定义歌曲名字7", "图片框1", 208, 16, 72, 48,
                  "亲，你还没有选择场景音哦！点击我！选择歌曲！"},
        PlaceCase{M, "自定义播放按钮6", "图片框1", 88, 336, 50, 50, ""},
        PlaceCase{M, "自定义停止按钮18", "图片框1", 544, 336, 50, 50, ""},
        PlaceCase{M, "透明标签F9", "图片框4", 24, 224, 72, 24, "快捷键F9："},
        PlaceCase{M, "透明标签F10", "图片框4", 16, 248, 88, 24, "快捷键F10："},
        PlaceCase{M, "透明标签F12", "图片框4", 16, 296, 96, 24, "快捷键F12："},
        PlaceCase{M, "快捷编辑框12", "图片框4", 112, 296, 448, 20, ""},
        PlaceCase{M, "保存配置按钮2", "图片框4", 456, 336, 96, 32, "关闭热键"},
        PlaceCase{M, "图片框9", "", 168, 152, 312, 312, ""},
        PlaceCase{M, "透明标签状态", "图片框9", 0, 280, 312, 32, "正在加载..."},
        PlaceCase{M, "标签1", "", 360, 792, 32, 24, ""},
        PlaceCase{M, "编辑框老版本号", "", 432, 672, 64, 24, "1"},
        PlaceCase{M, "编辑框官方下载地址60", "分组框3", 8, 16, 72, 20, ""},
        PlaceCase{U, "状态条1", "", 0, 39, 385, 20, ""},
        PlaceCase{P, "图片框2", "", 8, -16, 456, 200, ""},
        PlaceCase{P, "按钮2", "", 520, 416, 48, 24, "关闭"},
        PlaceCase{V, "编辑框2", "", 152, 47, 96, 32, "200"},
        PlaceCase{V, "按钮1", "", 464, 88, 88, 32, "开始"},
        PlaceCase{V, "录音音波1", "", 568, 136, 26, 26, ""}),
    test::NamedBy([](const PlaceCase& c) { return c.layout->id + "_" + c.name; }));

TEST(MainWindowTableTest, HoldsEveryNumberedFamily) {
  const struct {
    std::string stem;
    int count;
  } families[] = {{"官方音按钮", 52},        {"自定义歌曲名字", 18},   {"自定义播放按钮", 18},
                  {"自定义停止按钮", 18},    {"快捷编辑框", 12},       {"透明标签F", 12},
                  {"编辑框自定义地址", 62},  {"编辑框官方地址", 78},   {"编辑框官方下载地址", 60},
                  {"特定按钮", 6}};
  for (const auto& family : families) {
    for (int n = 1; n <= family.count; ++n) {
      EXPECT_NE(MainWindowSpec().Find(family.stem + std::to_string(n)), nullptr)
          << family.stem << n;
    }
    EXPECT_EQ(MainWindowSpec().Find(family.stem + std::to_string(family.count + 1)), nullptr);
  }
}

TEST(MainWindowTableTest, PagesStartHiddenAndTheOverlayShown) {
  for (const char* hidden : {"图片框1", "图片框3", "图片框4", "分组框1", "进度条1", "进度条2"}) {
    EXPECT_FALSE(Control(M, hidden).visible) << hidden;
  }
  EXPECT_TRUE(Control(M, "图片框9").visible);
}

struct SettingCase {
  const WindowSpec* layout;
  std::string name;
  int interval, rangeMin, rangeMax, position;
};

TEST(SettingTableTest, TimersBarsAndSlider) {
  const SettingCase cases[] = {
      {M, "时钟1", 1, 0, 100, 0},     {M, "时钟2", 0, 0, 100, 0},
      {M, "时钟3", 0, 0, 100, 0},     {U, "时钟1", 500, 0, 100, 0},
      {V, "时钟1", 0, 0, 100, 0},     {V, "进度条1", 0, 0, 3000, 0},
      {V, "滑块条1", 0, 1, 22, 5},    {U, "进度条1", 0, 0, 100, 0},
  };
  for (const SettingCase& c : cases) {
    const ControlSpec* control = c.layout->Find(c.name);
    ASSERT_NE(control, nullptr) << c.name;
    EXPECT_EQ(control->interval, c.interval) << c.name;
    EXPECT_EQ(control->rangeMin, c.rangeMin) << c.name;
    EXPECT_EQ(control->rangeMax, c.rangeMax) << c.name;
    EXPECT_EQ(control->position, c.position) << c.name;
  }
  EXPECT_EQ(Control(V, "外形框1").fill, 0x00C0C0C0u);
  EXPECT_EQ(Control(U, "状态条1").panes, 4);
}

struct FontCase {
  const WindowSpec* layout;
  std::string name, face;
  int pixels;
  bool bold;
};

TEST(FontTableTest, FontsOfTheCaptionedControls) {
  const FontCase cases[] = {
      {M, "官方音按钮30", "黑体", 11, false},   {M, "特定按钮2", "仿宋_GB2312", 15, true},
      {M, "透明标签F11", "仿宋_GB2312", 15, true}, {M, "保存配置按钮", "仿宋_GB2312", 13, true},
      {P, "保存配置按钮2", "仿宋_GB2312", 13, true}, {M, "自定义播放按钮3", "仿宋_GB2312", 24, true},
      {M, "透明标签6", "宋体", 12, false},       {M, "透明标签2", "宋体", 12, false},
      {V, "透明标签1", "宋体", 12, false},       {U, "透明标签1", "宋体", 21, false},
  };
  for (const FontCase& c : cases) {
    const FontSpec& font = Control(c.layout, c.name).font;
    EXPECT_EQ(font.face, c.face) << c.name;
    EXPECT_EQ(font.pixels, c.pixels) << c.name;
    EXPECT_EQ(font.bold, c.bold) << c.name;
  }
}

}  // namespace
}  // namespace zv
