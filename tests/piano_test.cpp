// The piano window on the fake platform: its 46 hotkeys, the note handler, and how it takes
// F1..F12 from quick-send and gives them back to nobody.
#include <gtest/gtest.h>

#include <set>

#include "case_name.h"
#include "fake_world.h"
#include "piano/piano.h"
#include "sound/clip_catalogue.h"
#include "wave_maker.h"

namespace zv {
namespace {

constexpr unsigned kF1 = 0x70;
const std::string kPianoBox = "box:温馨提示|模拟钢琴开启成功！现在就演奏吧~！";

// Registration order: F1..F12, 1..8, A..Z.
std::vector<unsigned> RegistrationOrder() {
  std::vector<unsigned> keys;
  for (unsigned k = 0x70; k <= 0x7B; ++k) keys.push_back(k);
  for (unsigned k = '1'; k <= '8'; ++k) keys.push_back(k);
  for (unsigned k = 'A'; k <= 'Z'; ++k) keys.push_back(k);
  return keys;
}

TEST(PianoKeysTest, LookupOrderVisitsEveryKeyOnceNotesFirst) {
  std::set<size_t> seen(PianoLookupOrder().begin(), PianoLookupOrder().end());
  EXPECT_EQ(seen.size(), kPianoKeyCount);
  std::string order;
  for (size_t index : PianoLookupOrder()) order += std::string(PianoKeys()[index].name) + " ";
  EXPECT_EQ(order,
            "Q W E A S Z X R T D F G C V Y U I H J B N O P K L M "
            "F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 1 2 3 4 5 6 7 8 ");
}

struct PianoWindowTest : testing::Test {
  FakeWorld world;
  Form main = world.Start();

  Form OpenPiano() {
    world.ui.Click(main.Id(), "特定按钮4");
    return Form(world.ui, world.ui.Find("piano"));
  }
  size_t PianoKeysHeld(const Form& piano) const {
    size_t held = 0;
    for (unsigned key : RegistrationOrder()) {
      held += world.hotkeys.HolderIdentifier(piano.Id(), key) != 0 ? 1 : 0;
    }
    return held;
  }
};

TEST_F(PianoWindowTest, OpeningSwitchesQuickSendOffAndHidesTheMainWindow) {
  world.ui.Click(main.Id(), "保存配置按钮1");
  const Form piano = OpenPiano();
  ASSERT_NE(piano.Id(), kNoWindow);
  EXPECT_FALSE(world.ui.IsWindowShown(main.Id()));
  EXPECT_EQ(world.hotkeys.HeldByUs(), 0u);
  EXPECT_FALSE(world.hotkeys.IsIntercepting(main.Id()));
  EXPECT_FALSE(world.hotkeys.Press(kF1)) << "F1 belongs to nobody until the piano is on";
}

class PianoOnTest : public PianoWindowTest, public testing::WithParamInterface<std::string> {};

TEST_P(PianoOnTest, RegistersAll46KeysInOrderOnThePianoWindow) {
  const Form piano = OpenPiano();
  world.log.clear();
  world.ui.Click(piano.Id(), GetParam());
  const std::vector<unsigned> keys = RegistrationOrder();
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(world.hotkeys.HolderIdentifier(piano.Id(), keys[i]), 33001 + int(i)) << keys[i];
  }
  EXPECT_EQ(world.log, EffectLog{kPianoBox});
  EXPECT_TRUE(world.hotkeys.IsIntercepting(piano.Id()));
}

INSTANTIATE_TEST_SUITE_P(BothOnControls, PianoOnTest, testing::Values("保存配置按钮1", "按钮1"),
                         test::NamedBy([](const std::string& control) { return control; }));

class PianoOffTest : public PianoWindowTest, public testing::WithParamInterface<std::string> {};

TEST_P(PianoOffTest, ReleasesAllKeysAndKeepsTheWindowOpen) {
  const Form piano = OpenPiano();
  world.ui.Click(piano.Id(), "按钮1");
  world.log.clear();
  world.ui.Click(piano.Id(), GetParam());
  EXPECT_EQ(world.hotkeys.HeldByUs(), 0u);
  EXPECT_FALSE(world.hotkeys.IsIntercepting(piano.Id()));
  EXPECT_TRUE(world.ui.Exists(piano.Id()));
  EXPECT_TRUE(world.log.empty());
}

INSTANTIATE_TEST_SUITE_P(BothOffControls, PianoOffTest, testing::Values("保存配置按钮2", "按钮2"),
                         test::NamedBy([](const std::string& control) { return control; }));

TEST_F(PianoWindowTest, IdentifiersRunOnAcrossQuickSendPianoAndQuickSendAgain) {
  world.ui.Click(main.Id(), "保存配置按钮1");
  EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), kF1 + 11), 33012);
  const Form piano = OpenPiano();
  world.ui.Click(piano.Id(), "保存配置按钮1");
  EXPECT_EQ(world.hotkeys.HolderIdentifier(piano.Id(), kF1), 33013);
  EXPECT_EQ(world.hotkeys.HolderIdentifier(piano.Id(), 'Z'), 33058);
  world.ui.Close(piano.Id());
  world.ui.Click(main.Id(), "保存配置按钮1");
  EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), kF1), 33059);
  EXPECT_EQ(world.hotkeys.HolderIdentifier(main.Id(), kF1 + 11), 33070);
}

TEST_F(PianoWindowTest, ClosingReleasesEveryKeyShowsTheMainWindowAndLeavesQuickSendOff) {
  world.ui.Click(main.Id(), "保存配置按钮1");
  const Form piano = OpenPiano();
  world.ui.Click(piano.Id(), "保存配置按钮1");
  world.ui.Close(piano.Id());
  EXPECT_FALSE(world.ui.Exists(piano.Id()));
  EXPECT_TRUE(world.ui.IsWindowShown(main.Id()));
  EXPECT_EQ(world.hotkeys.HeldByUs(), 0u);
  EXPECT_FALSE(world.hotkeys.IsIntercepting(piano.Id()));
  EXPECT_FALSE(world.hotkeys.Press(kF1));
  EXPECT_FALSE(world.hotkeys.Press('Q'));
}

TEST_F(PianoWindowTest, QuickSendWorksAgainAfterEachPianoVisit) {
  main.SetText("快捷编辑框1", "来了");
  for (int visit = 0; visit < 3; ++visit) {
    const Form piano = OpenPiano();
    world.ui.Click(piano.Id(), "按钮1");
    EXPECT_EQ(PianoKeysHeld(piano), kPianoKeyCount) << "visit " << visit;
    world.ui.Close(piano.Id());
    world.ui.Click(main.Id(), "保存配置按钮1");
    world.log.clear();
    EXPECT_TRUE(world.hotkeys.Press(kF1));
    ASSERT_EQ(world.log.size(), 9u) << "visit " << visit;
    EXPECT_EQ(world.log[2], "clipboard:来了");
  }
}

TEST_F(PianoWindowTest, OffBeforeOnAndClosingWhileOffDoNothing) {
  const Form piano = OpenPiano();
  const int before = world.hotkeys.unregisterCalls;
  world.ui.Click(piano.Id(), "保存配置按钮2");
  world.ui.Close(piano.Id());
  EXPECT_EQ(world.hotkeys.unregisterCalls, before);
  EXPECT_TRUE(world.ui.IsWindowShown(main.Id()));
}

TEST_F(PianoWindowTest, SecondOnKeepsTheKeysThatWork) {
  world.hotkeys.HoldByOtherProgram('Q');
  const Form piano = OpenPiano();
  world.ui.Click(piano.Id(), "保存配置按钮1");
  EXPECT_EQ(PianoKeysHeld(piano), kPianoKeyCount - 1);
  world.log.clear();
  world.ui.Click(piano.Id(), "按钮1");
  EXPECT_EQ(world.log, EffectLog{"box:温馨提示|以下按键已被其他程序占用，无法使用：Q。"
                                 "其余按键已开启，现在就演奏吧~！"})
      << "only Q was tried again, and it is still held";
  EXPECT_EQ(world.hotkeys.HolderIdentifier(piano.Id(), 'W'), 33001 + 20 + 22);
  EXPECT_EQ(PianoKeysHeld(piano), kPianoKeyCount - 1) << "Q is still held elsewhere";
}

TEST_F(PianoWindowTest, EveryPressStartsOneMorePlaybackOfItsKeysClip) {
  // Nothing plays out here: every playback keeps its voice.
  // Each clip is told apart by its first sample.
  const std::vector<std::pair<unsigned, int>> presses = {{'Q', 1}, {'W', 2}, {'Q', 1}, {kF1, 3}};
  for (const auto& [key, mark] : presses) {
    world.resources.files[PianoClipName(static_cast<int>(key))] = test::PcmClip(20000, mark);
  }
  const Form piano = OpenPiano();
  world.ui.Click(piano.Id(), "按钮1");
  for (const auto& [key, mark] : presses) world.hotkeys.Press(key);
  ASSERT_TRUE(world.workers.Settle());
  ASSERT_EQ(world.audio.VoiceCount(), presses.size());
  std::multiset<char> firstSamples;
  for (size_t i = 0; i < presses.size(); ++i) {
    ASSERT_FALSE(world.audio.Voice(i).samples.empty()) << i;
    firstSamples.insert(world.audio.Voice(i).samples[0]);
    EXPECT_FALSE(world.audio.Voice(i).stopped) << "a new note never stops another";
  }
  EXPECT_EQ(firstSamples, (std::multiset<char>{1, 1, 2, 3}));
}

// The note handler, driven through the binder as the window's hotkey events would drive it.
struct RecordingSound : IKeySound {
  std::vector<std::string> played;
  void Play(const PianoKey& key) override { played.push_back(key.name); }
};

struct NoteHandlerTest : testing::Test, IEventSink {
  EffectLog log;
  FakeUiHost ui{log};
  FakeHotkeys system;
  FakeKeyboard keyboard{log};
  FakeClipboard clipboard{log};
  RecordingSound sound;
  HotkeyBinder binder{system, *this};
  QuickSendKeys quickSend{binder, keyboard, clipboard};
  Piano piano{binder, quickSend, sound};
  Form pianoForm{ui, 7};

  void OnEvent(const UiEvent& e) override {
    ASSERT_EQ(e.control->action, Action::PianoHotkey);
    piano.OnHotkey(e.arg);
  }
};

TEST_F(NoteHandlerTest, EachPressPlaysItsKeysClipOnceAndNothingIsStopped) {
  piano.Enable(pianoForm);
  for (unsigned key : {0x51u, 0x57u, 0x45u, 0x51u, 0x70u, 0x38u, 0x4Du}) system.Press(key);
  const std::vector<std::string> expected = {"Q", "W", "E", "Q", "F1", "8", "M"};
  EXPECT_EQ(sound.played, expected);
  EXPECT_EQ(log, EffectLog{kPianoBox}) << "F1 sends no quick-send text";
}

TEST_F(NoteHandlerTest, RefusedKeysAreNamedInTheBoxAndStaySilentWhileTheOthersPlay) {
  system.HoldByOtherProgram('E');
  system.HoldByOtherProgram(0x74);  // F5
  piano.Enable(pianoForm);
  EXPECT_EQ(log, EffectLog{"box:温馨提示|以下按键已被其他程序占用，无法使用：F5、E。"
                           "其余按键已开启，现在就演奏吧~！"})
      << "named in the order the keys are taken: F-keys, digits, letters";
  for (unsigned key : {0x51u, 0x45u, 0x52u, 0x74u}) system.Press(key);
  const std::vector<std::string> expected = {"Q", "R"};
  EXPECT_EQ(sound.played, expected);
}

TEST_F(NoteHandlerTest, NothingPlaysOnceTheKeysAreReleased) {
  piano.Enable(pianoForm);
  piano.Disable(pianoForm);
  EXPECT_FALSE(system.Press('Q'));
  EXPECT_TRUE(sound.played.empty());
}

}  // namespace
}  // namespace zv
