// Quick-send hotkeys on the fake platform: switching F1..F12 on and off and the exact strokes
// and clipboard content a press of Fn produces.
#include <gtest/gtest.h>

#include "fake_world.h"
#include "quicksend/quick_send_texts.h"

namespace zv {
namespace {

constexpr unsigned kF1 = 0x70;
constexpr unsigned kShift = 0x0004, kControl = 0x0002;  // MOD_SHIFT, MOD_CONTROL
const std::string kOnBox = "box:温馨提示：|快捷键开启成功！鼠标点击聊天框！按F1-12即可发送指定数据！";

unsigned F(int n) { return kF1 + static_cast<unsigned>(n) - 1; }

EffectLog SendOf(const std::string& text) {
  return {"key:0D down", "key:0D up",   "clipboard:" + text, "key:11 down", "key:56 down",
          "key:11 up",   "key:56 up",   "key:0D down",       "key:0D up"};
}

struct QuickSendKeysTest : testing::Test {
  FakeWorld world;
  Form main = world.Start();

  void TurnOn() {
    world.ui.Click(main.Id(), "保存配置按钮1");
    world.log.clear();
  }
};

TEST_F(QuickSendKeysTest, OnRegistersF1ToF12InOrderAndSaysSo) {
  world.ui.Click(main.Id(), "保存配置按钮1");
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), F(n)), 33000 + n) << "F" << n;
  }
  EXPECT_EQ(world.log, EffectLog{kOnBox});
}

struct SendCase {
  std::string name;
  int slot;
  std::string text;
};

class QuickSendPressTest : public QuickSendKeysTest,
                           public testing::WithParamInterface<SendCase> {};

TEST_P(QuickSendPressTest, SendsEnterThePastedBoxTextAndEnter) {
  const SendCase& c = GetParam();
  main.SetText(QuickSendBoxName(c.slot), c.text);  // edited, never saved
  TurnOn();
  EXPECT_TRUE(world.hotkeys.Press(F(c.slot)));
  EXPECT_EQ(world.log, SendOf(c.text));
  EXPECT_EQ(world.clipboard.text, c.text) << "the clipboard keeps the last text sent";
}

INSTANTIATE_TEST_SUITE_P(Table, QuickSendPressTest,
                         testing::Values(SendCase{"first", 1, "欢迎来到直播间！"},
                                         SendCase{"third", 3, "谢谢老板的礼物"},
                                         SendCase{"last", 12, "bye"},
                                         SendCase{"emptyBox", 5, ""}),
                         [](const auto& info) { return info.param.name; });

TEST_F(QuickSendKeysTest, KeysWithModifiersAndKeysWhileOffReachTheFocusedProgram) {
  EXPECT_FALSE(world.hotkeys.Press(F(3))) << "nothing is taken before switching on";
  TurnOn();
  EXPECT_FALSE(world.hotkeys.Press(F(3), kShift));
  EXPECT_FALSE(world.hotkeys.Press(F(3), kControl));
  world.ui.Click(main.Id(), "保存配置按钮2");
  EXPECT_FALSE(world.hotkeys.Press(F(3)));
  EXPECT_TRUE(world.log.empty());
  EXPECT_FALSE(world.hotkeys.IsIntercepting(main.Id()));
}

TEST_F(QuickSendKeysTest, AKeyHeldByAnotherProgramIsSkippedAndTheRestWork) {
  world.hotkeys.HoldByOtherProgram(F(5));
  main.SetText("快捷编辑框6", "六");
  world.hotkeys.HoldByOtherProgram(F(12));
  world.ui.Click(main.Id(), "保存配置按钮1");
  EXPECT_EQ(world.log, EffectLog{"box:温馨提示：|以下按键已被其他程序占用，无法使用：F5、F12。"
                                 "其余按键已开启，鼠标点击聊天框即可发送指定数据！"});
  world.log.clear();
  world.hotkeys.Press(F(5));
  EXPECT_TRUE(world.log.empty());
  world.hotkeys.Press(F(6));
  EXPECT_EQ(world.log, SendOf("六"));
}

TEST_F(QuickSendKeysTest, EveryKeyRefusedIsNoSuccess) {
  for (int n = 1; n <= 12; ++n) world.hotkeys.HoldByOtherProgram(F(n));
  world.ui.Click(main.Id(), "保存配置按钮1");
  EXPECT_EQ(world.log, EffectLog{"box:温馨提示：|F1-12已全部被其他程序占用，快捷键未能开启！"
                                 "请关闭占用这些按键的程序后再试。"});
  EXPECT_EQ(world.hotkeys.HeldByUs(), 0u);
}

TEST_F(QuickSendKeysTest, SecondOnKeepsWorkingKeysAndRetriesRefusedOnes) {
  world.hotkeys.HoldByOtherProgram(F(5));
  main.SetText("快捷编辑框1", "一");
  main.SetText("快捷编辑框5", "五");
  TurnOn();
  world.hotkeys.ReleaseByOtherProgram(F(5));
  world.ui.Click(main.Id(), "保存配置按钮1");
  EXPECT_EQ(world.log, EffectLog{kOnBox});
  EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), F(1)), 33001);
  EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), F(5)), 33013);
  world.log.clear();
  world.hotkeys.Press(F(1));
  world.hotkeys.Press(F(5));
  EffectLog both = SendOf("一");
  const EffectLog five = SendOf("五");
  both.insert(both.end(), five.begin(), five.end());
  EXPECT_EQ(world.log, both);
}

TEST_F(QuickSendKeysTest, OffBeforeOnDoesNothing) {
  world.ui.Click(main.Id(), "保存配置按钮2");
  EXPECT_EQ(world.hotkeys.unregisterCalls, 0);
  EXPECT_TRUE(world.log.empty());
}

TEST_F(QuickSendKeysTest, ABusyClipboardLeavesItsContentAndTheKeysStillGo) {
  world.clipboard.text = "旧的";
  world.clipboard.busy = true;
  main.SetText("快捷编辑框1", "新的");
  TurnOn();
  world.hotkeys.Press(F(1));
  const EffectLog keysOnly = {"key:0D down", "key:0D up", "key:11 down", "key:56 down",
                              "key:11 up",   "key:56 up", "key:0D down", "key:0D up"};
  EXPECT_EQ(world.log, keysOnly);
  EXPECT_EQ(world.clipboard.text, "旧的");
}

}  // namespace
}  // namespace zv
