// The real clipboard and hotkey services: both text formats on the clipboard, a busy clipboard
// left alone, and WM_HOTKEY handed to the listener only while the window is intercepted.
// Needs a display for its windows; without one the tests skip.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_hotkeys.h"
#include "tests/case_name.h"

namespace zv::win32 {
namespace {

// What a paste in the given format would insert now.
template <typename Char>
std::basic_string<Char> ClipboardText(UINT format) {
  std::basic_string<Char> text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(format)) {
    if (const auto* chars = static_cast<const Char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::wstring ClipboardUnicode() { return ClipboardText<wchar_t>(CF_UNICODETEXT); }
std::string ClipboardAnsi() { return ClipboardText<char>(CF_TEXT); }

bool HaveDisplay() {
  const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
  if (probe) DestroyWindow(probe);
  return probe != nullptr;
}

class ClipboardTest : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
  }
  Win32Clipboard clipboard_;
};

TEST_P(ClipboardTest, HoldsTheTextAsGbkAndAsUnicode) {
  ASSERT_TRUE(clipboard_.PutText(GetParam()));
  EXPECT_EQ(ClipboardAnsi(), GetParam());
  EXPECT_EQ(ClipboardUnicode(), GbkToWide(GetParam()));
}

// An emoji (GB18030 94 39 FC 36) reaches Unicode readers whole; readers of plain GBK get a
// question mark in its place rather than two wrong characters.
TEST(ClipboardOutsideGbkTest, UnicodeKeepsTheEmojiAndGbkMarksIt) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  Win32Clipboard clipboard;
  ASSERT_TRUE(clipboard.PutText("\x94\x39\xFC\x36来了"));
  EXPECT_EQ(ClipboardUnicode(), L"\U0001F600来了");
  EXPECT_EQ(ClipboardAnsi(), "?来了");
}

INSTANTIATE_TEST_SUITE_P(Texts, ClipboardTest,
                         testing::Values("谢谢老板的礼物！666 ～", "plain", "",
                                         "还没有设置", "\xA3\xA3#"),
                         test::NamedBy([](const std::string& text) { return text; }));

TEST(ClipboardBusyTest, LeavesTheClipboardAsItWasWhenAnotherProgramHoldsIt) {
  if (!HaveDisplay()) GTEST_SKIP() << "no display";
  Win32Clipboard clipboard;
  ASSERT_TRUE(clipboard.PutText("旧的"));
  const KernelHandle opened(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const KernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&] {
    const bool open = OpenClipboard(nullptr) != 0;
    SetEvent(opened.get());
    WaitForSingleObject(release.get(), 10000);
    if (open) CloseClipboard();
  });
  WaitForSingleObject(opened.get(), 10000);
  EXPECT_FALSE(clipboard.PutText("新的"));
  SetEvent(release.get());
  other.join();
  EXPECT_EQ(ClipboardUnicode(), L"旧的");
}

struct Listener : IHotkeyListener {
  std::vector<std::pair<WindowId, int>> calls;
  void OnHotkey(WindowId window, int identifier) override { calls.emplace_back(window, identifier); }
};

int g_windowSawHotkeys = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) ++g_windowSawHotkeys;
  return DefWindowProcW(window, message, wParam, lParam);
}

class HotkeysTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZanvoroHotkeyTest";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"ZanvoroHotkeyTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    g_windowSawHotkeys = 0;
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

  static constexpr WindowId kWindow = 5;
  HWND window_ = nullptr;
  Listener listener_;
  Win32Hotkeys hotkeys_{[this](WindowId id) { return id == kWindow ? window_ : nullptr; }};
};

TEST_F(HotkeysTest, ListenerSeesHotkeysOnlyWhileInterceptingAndTheWindowAlways) {
  SendMessageW(window_, WM_HOTKEY, 33001, 0);
  hotkeys_.Intercept(kWindow, listener_);
  SendMessageW(window_, WM_HOTKEY, 33002, MAKELPARAM(0, VK_F2));
  hotkeys_.StopIntercepting(kWindow);
  SendMessageW(window_, WM_HOTKEY, 33003, 0);
  const std::vector<std::pair<WindowId, int>> expected = {{kWindow, 33002}};
  EXPECT_EQ(listener_.calls, expected);
  EXPECT_EQ(g_windowSawHotkeys, 3);
}

TEST_F(HotkeysTest, AKeyTakenOnceIsRefusedUntilReleased) {
  // A key nobody else uses: Ctrl+Alt+Shift+F24.
  const unsigned modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
  ASSERT_TRUE(hotkeys_.Register(kWindow, 40001, modifiers, VK_F24));
  EXPECT_FALSE(hotkeys_.Register(kWindow, 40002, modifiers, VK_F24));
  hotkeys_.Unregister(kWindow, 40001);
  EXPECT_TRUE(hotkeys_.Register(kWindow, 40003, modifiers, VK_F24));
  hotkeys_.Unregister(kWindow, 40003);
}

TEST_F(HotkeysTest, AnUnknownWindowRegistersNothing) {
  EXPECT_FALSE(hotkeys_.Register(kWindow + 1, 40010, MOD_CONTROL | MOD_ALT, VK_F23));
  hotkeys_.Intercept(kWindow + 1, listener_);  // nothing to subclass: no effect
  hotkeys_.StopIntercepting(kWindow + 1);
}

TEST_F(HotkeysTest, AWindowDestroyedWhileInterceptedTakesItsSubclassAlong) {
  hotkeys_.Intercept(kWindow, listener_);
  DestroyWindow(window_);
  window_ = nullptr;
  hotkeys_.StopIntercepting(kWindow);  // must not touch the dead window's memory
  EXPECT_TRUE(listener_.calls.empty());
}

}  // namespace
}  // namespace zv::win32
