"""The simulated piano for real: opening its window takes F1..F12 from quick-send, switching it
on takes 46 plain keys system-wide, and closing it gives every key back to nobody.

Keys are pressed with xdotool while the tests' chat box (e2e/chatbox) has the focus; whatever
the program does not take arrives there as a plain key. A key nobody takes (Escape, which also
empties the chat box) closes each burst of presses, so the test knows the keys before it have
been handled.
"""

import harness
from chat_keys import TEXTS, ChatBoxTest, send_lines, wait_box
from harness import wait_until

setUpModule = harness.start_session
tearDownModule = harness.stop_session

PIANO = "Zanvoro模拟钢琴"
ON_TITLE = "温馨提示"
ON_TEXT = "模拟钢琴开启成功！现在就演奏吧~！"
BARRIER = ["down:1B"]


class PianoKeysTest(ChatBoxTest):
    def open_piano(self, program):
        program.click("特定按钮4", post=True)  # the piano window is modal
        program.wait_window(lambda w: w.visible, caption=PIANO, what="the piano window")
        self.assertFalse(program.main().visible)

    def piano_on(self, program, control="保存配置按钮1"):
        program.click(control, caption=PIANO, post=True)
        wait_box(program, ON_TITLE, ON_TEXT)

    def typed(self, chat, keys):
        """What the chat box receives of `keys` followed by the barrier key."""
        return self.press(chat, " ".join(keys + ["Escape"]), BARRIER)[:-1]

    def test_piano_takes_its_keys_from_quick_send_and_gives_them_to_nobody(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program)
        self.switch_on(program)
        self.assertEqual(self.press(chat, "F1", send_lines(TEXTS[0])), send_lines(TEXTS[0]))

        self.open_piano(program)
        self.assertEqual(self.typed(chat, ["F1", "q"]), ["down:70", "down:51"],
                         "opening the piano switches quick-send off")

        self.piano_on(program)
        self.assertEqual(self.typed(chat, ["F1", "q", "w", "e", "1", "8", "F12", "m"]), [],
                         "the piano's keys never reach the focused program")
        self.assertEqual(self.typed(chat, ["shift+q", "9"]), ["down:10", "down:51", "down:39"])
        harness.session().screenshot("piano-on")

        program.click("按钮2", caption=PIANO)  # "关闭": off, the window stays
        self.assertEqual(self.typed(chat, ["q", "F1"]), ["down:51", "down:70"])
        self.piano_on(program, "按钮1")
        self.assertEqual(self.typed(chat, ["q"]), [])

        program.close(PIANO)
        program.wait_window(lambda w: w.visible, what="the main window to come back")
        wait_until(lambda: program.window(PIANO) is None, what="the piano window to go")
        self.assertEqual(self.typed(chat, ["F1", "q"]), ["down:70", "down:51"],
                         "closing releases every key and leaves quick-send off")

        self.switch_on(program)
        self.assertEqual(self.press(chat, "F1", send_lines(TEXTS[0])), send_lines(TEXTS[0]))


if __name__ == "__main__":
    harness.main()
