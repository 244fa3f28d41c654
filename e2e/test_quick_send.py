"""Quick-send for real: the texts saved to and loaded from drive D:, F1..F12 taken system-wide
while switched on, and box n typed into the chat box of another program (Enter, paste, Enter)
with its Chinese intact.
"""

import os

import harness
from chat_keys import (CONFIG_NAME, DATA_FOLDER, TEXTS, ChatBoxTest, config_bytes, send_lines,
                       xdotool)
from harness import wait_until

setUpModule = harness.start_session
tearDownModule = harness.stop_session

PLACEHOLDER = "还没有设置"
HELD_TEXT = "以下按键已被其他程序占用，无法使用：F5、F12。其余按键已开启，鼠标点击聊天框即可发送指定数据！"
EMOJI_TEXT = "主播好😀 안녕"


class QuickSendTest(ChatBoxTest):
    def test_keys_are_plain_keys_until_switched_on_and_after_switched_off(self):
        program, window, _ = self.start_with_texts(TEXTS)
        self.assertEqual(window["快捷编辑框3"]["text"], TEXTS[2], "the saved texts are loaded")
        chat = self.chat_box(program)

        self.assertEqual(self.press(chat, "F3", ["down:72"]), ["down:72"])

        self.switch_on(program)
        seen = self.press(chat, "F3", send_lines(TEXTS[2]))
        self.assertEqual(seen, send_lines(TEXTS[2]), "F3 itself never reaches the chat box")
        seen = self.press(chat, "F1", send_lines(TEXTS[0]))
        self.assertEqual(seen, send_lines(TEXTS[0]))
        # Shift+F3 is not one of the keys: the chat box gets it as typed.
        self.assertEqual(self.press(chat, "shift+F3", ["down:10", "down:72"]),
                         ["down:10", "down:72"])

        program.click("保存配置按钮2")
        self.assertEqual(self.press(chat, "F3", ["down:72"]), ["down:72"])
        program.click("特定按钮1")
        harness.session().screenshot("chat-box")

    def test_an_edited_box_is_sent_at_once_and_an_empty_box_sends_an_empty_line(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program)
        self.switch_on(program)
        answer = harness.session().probe("settext", "--caption", program.main_caption,
                                         "--name", "快捷编辑框5", "--text", "改过的：再来一次")
        self.assertTrue(answer.get("ok"), answer)
        self.assertEqual(self.press(chat, "F5", send_lines("改过的：再来一次"))[-6:],
                         send_lines("改过的：再来一次"))
        self.assertEqual(self.press(chat, "F2", send_lines(""))[-6:], send_lines(""))

    def test_keys_another_program_holds_are_named_stay_with_it_and_the_others_work(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program, hold_keys=(0x74, 0x7B))  # F5, F12
        self.assertEqual([l for l in chat.lines() if "held:" in l], ["held:74", "held:7B"])
        self.switch_on(program, HELD_TEXT)
        for key, code in (("F5", "74"), ("F12", "7B")):
            chat.focus()
            mark = len(chat.lines())
            xdotool("key", key)
            wait_until(lambda: f"hotkey:{code}" in chat.lines()[mark:],
                       what=f"{key} to reach the program holding it")
            self.assertEqual(chat.after(mark), [], f"{key} neither types nor sends")
        self.assertEqual(self.press(chat, "F1", send_lines(TEXTS[0]))[-6:], send_lines(TEXTS[0]))
        self.assertNotIn("send:" + TEXTS[4], chat.lines())

    def test_a_text_with_an_emoji_arrives_whole_and_the_keys_carry_scan_codes(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program)
        self.switch_on(program)
        answer = harness.session().probe("settext", "--caption", program.main_caption,
                                         "--name", "快捷编辑框7", "--text", EMOJI_TEXT)
        self.assertTrue(answer.get("ok"), answer)
        mark = len(chat.lines())
        self.assertEqual(self.press(chat, "F7", send_lines(EMOJI_TEXT))[-6:],
                         send_lines(EMOJI_TEXT))
        # Enter, Ctrl and V as a keyboard sends them: the set-1 scan codes 1C, 1D and 2F.
        scans = {line for line in chat.lines()[mark:] if line.startswith("scan:")}
        self.assertLessEqual({"scan:0D:1C", "scan:11:1D", "scan:56:2F"}, scans)

    def test_save_writes_every_text_with_its_separator_and_fills_the_first_empty_box(self):
        program, _, d_dir = self.start_with_texts(TEXTS)
        answer = harness.session().probe("settext", "--caption", program.main_caption,
                                         "--name", "快捷编辑框12", "--text", "")
        self.assertTrue(answer.get("ok"), answer)
        program.click("保存配置按钮")
        expected = list(TEXTS)
        expected[1] = PLACEHOLDER
        expected[11] = ""
        folder = os.path.join(d_dir, DATA_FOLDER)
        with open(os.path.join(folder, CONFIG_NAME), "rb") as f:
            self.assertEqual(f.read(), config_bytes(expected))
        self.assertEqual(sorted(os.listdir(folder)), [CONFIG_NAME], "no scratch file is left")
        self.assertEqual(program.main()["快捷编辑框2"]["text"], PLACEHOLDER)


if __name__ == "__main__":
    harness.main()
