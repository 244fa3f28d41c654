// The hotkey binder over the fake hotkey table: numbering, the one target, interception and
// harmless releases.
#include "quicksend/hotkey_binder.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_hotkeys.h"

namespace zv {
namespace {

constexpr WindowId kMain = 1, kPiano = 2;
constexpr unsigned kF1 = 0x70, kF2 = 0x71, kF3 = 0x72;

struct Recorder : IEventSink {
  std::vector<std::pair<std::string, int>> hotkeys;  // (window id of the layout, identifier)
  void OnEvent(const UiEvent& e) override {
    ASSERT_EQ(e.kind, EventKind::Hotkey);
    ASSERT_NE(e.control, nullptr);
    EXPECT_EQ(e.control->name, "标签1");
    hotkeys.emplace_back(e.windowSpec->id, e.arg);
  }
};

struct BinderTest : testing::Test {
  FakeHotkeys system;
  Recorder sink;
  HotkeyBinder binder{system, sink};
  HotkeyTarget mainLabel = LabelTarget(kMain, MainWindowSpec(), "标签1");
  HotkeyTarget pianoLabel = LabelTarget(kPiano, PianoWindowSpec(), "标签1");
};

TEST_F(BinderTest, NumbersFrom33001AndRefusedKeysStillUseTheirNumber) {
  system.HoldByOtherProgram(kF2);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF1), 33001);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF2), 0);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF3), 33003);
  binder.Unregister(kMain, 33001);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF1), 33004) << "never reused";
}

TEST_F(BinderTest, EveryKeyReachesTheMostRecentTarget) {
  binder.Register(kMain, mainLabel, kNoModifiers, kF1);
  binder.Register(kPiano, pianoLabel, kNoModifiers, kF2);
  system.Press(kF1);
  system.Press(kF2);
  const std::vector<std::pair<std::string, int>> expected = {{"piano", 33001}, {"piano", 33002}};
  EXPECT_EQ(sink.hotkeys, expected);
}

TEST_F(BinderTest, InterceptsAWindowOnlyWhileItHoldsAKey) {
  EXPECT_FALSE(system.IsIntercepting(kMain));
  const int f1 = binder.Register(kMain, mainLabel, kNoModifiers, kF1);
  const int f2 = binder.Register(kMain, mainLabel, kNoModifiers, kF2);
  EXPECT_TRUE(system.IsIntercepting(kMain));
  binder.Unregister(kMain, f1);
  EXPECT_TRUE(system.IsIntercepting(kMain));
  binder.Unregister(kMain, f2);
  EXPECT_FALSE(system.IsIntercepting(kMain));
  EXPECT_EQ(system.HeldByUs(), 0u);
}

TEST_F(BinderTest, AWindowWhoseOnlyKeyWasRefusedIsNotLeftIntercepted) {
  system.HoldByOtherProgram(kF1);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF1), 0);
  EXPECT_FALSE(system.IsIntercepting(kMain));
}

TEST_F(BinderTest, ReleasingZeroRefusedOrReleasedIdentifiersChangesNothing) {
  system.HoldByOtherProgram(kF2);
  const int f1 = binder.Register(kMain, mainLabel, kNoModifiers, kF1);
  binder.Register(kMain, mainLabel, kNoModifiers, kF2);  // refused as 33002
  const int f3 = binder.Register(kMain, mainLabel, kNoModifiers, kF3);
  binder.Unregister(kMain, f3);
  const int callsBefore = system.unregisterCalls;
  for (int identifier : {0, 33002, f3, 99999}) binder.Unregister(kMain, identifier);
  binder.Unregister(kPiano, f1);  // right number, wrong window
  EXPECT_EQ(system.unregisterCalls, callsBefore);
  EXPECT_EQ(system.HolderIdentifier(kMain, kF1), f1);
  EXPECT_TRUE(system.Press(kF1));
  EXPECT_EQ(sink.hotkeys.size(), 1u);
  EXPECT_EQ(binder.Register(kMain, mainLabel, kNoModifiers, kF3), 33004);
}

TEST_F(BinderTest, IgnoresIdentifiersItNeverIssued) {
  binder.Register(kMain, mainLabel, kNoModifiers, kF1);
  for (int identifier : {0, 1, 33000, 33002, -33001}) binder.OnHotkey(kMain, identifier);
  EXPECT_TRUE(sink.hotkeys.empty());
  binder.OnHotkey(kMain, 33001);
  EXPECT_EQ(sink.hotkeys.size(), 1u);
}

TEST(BinderLifetimeTest, GivesEveryKeyBackWhenDestroyed) {
  FakeHotkeys system;
  Recorder sink;
  {
    HotkeyBinder binder(system, sink);
    binder.Register(kMain, LabelTarget(kMain, MainWindowSpec(), "标签1"), kNoModifiers, kF1);
  }
  EXPECT_EQ(system.HeldByUs(), 0u);
  EXPECT_FALSE(system.IsIntercepting(kMain));
  EXPECT_FALSE(system.Press(kF1));
}

}  // namespace
}  // namespace zv
