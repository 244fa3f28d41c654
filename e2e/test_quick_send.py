"""Quick-send for real: the texts saved to and loaded from drive D:, F1..F12 taken system-wide
while switched on, and box n typed into the chat box of another program (Enter, paste, Enter)
with its Chinese intact.

The chat box is e2e/chatbox: a window of its own process that logs the keys it receives and
the lines sent from it. Keys are pressed with xdotool on the session's X display, as a user
would; the chat box gets the keyboard focus through a real click.
"""

import os
import subprocess

import harness
import winebox
from harness import ProgramTest, wait_until

setUpModule = harness.start_session
tearDownModule = harness.stop_session

DATA_FOLDER = "Zanvoro助手"
CONFIG_NAME = "快捷键配置.txt"
SEPARATOR = "￥￥￥￥￥￥%%%%%%%".encode("gbk")
PLACEHOLDER = "还没有设置"
ON_TITLE = "温馨提示："
ON_TEXT = "快捷键开启成功！鼠标点击聊天框！按F1-12即可发送指定数据！"

TEXTS = ["欢迎来到直播间！", "", "谢谢老板的礼物！666 ～", "", "关注主播不迷路", "",
         "", "", "", "", "", "晚安"]

CHATBOX_AT = (720, 115)  # inside its edit box (window at 700,100)
F = {n: f"F{n}" for n in range(1, 13)}


def config_bytes(texts):
    return b"".join(t.encode("gbk") + SEPARATOR for t in texts)


def xdotool(*args):
    subprocess.run(["xdotool", *args], env=harness.session().env, check=True, timeout=15,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


class ChatBox:
    """chatbox.exe from the cross build, in its own process beside the program."""

    def __init__(self, work_dir, hold_key=None):
        session = harness.session()
        exe = os.path.join(os.path.dirname(os.path.dirname(session.config.probe)), "chatbox",
                           "chatbox.exe")
        self.log = os.path.join(work_dir, "chatbox.log")
        args = ["wine", exe, winebox.win_path(self.log)] + ([f"{hold_key:X}"] if hold_key else [])
        with open(os.path.join(work_dir, "chatbox.out"), "ab") as out:
            self.proc = subprocess.Popen(args, env=session.env, stdin=subprocess.DEVNULL,
                                         stdout=out, stderr=out)
        wait_until(lambda: "ready" in self.lines(), timeout=30, what="the chat box to start")

    def lines(self):
        try:
            with open(self.log, encoding="utf-8") as f:
                text = f.read()
        except FileNotFoundError:
            return []
        return text.split("\n")[:-1]  # a line still being written has no newline yet

    def focus(self):
        """Clicks into the edit box and waits until the click has been handled, which leaves
        the keyboard focus there."""
        mark = len(self.lines())
        xdotool("mousemove", str(CHATBOX_AT[0]), str(CHATBOX_AT[1]), "click", "1")
        wait_until(lambda: "click" in self.lines()[mark:], what="the chat box to take the click")

    def after(self, mark, kinds=("down:", "send:")):
        return [line for line in self.lines()[mark:] if line.startswith(kinds)]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def send_lines(text):
    """What the chat box sees of one quick-send: Enter, Ctrl+V, Enter (key downs only)."""
    return ["down:0D", "send:", "down:11", "down:56", "down:0D", "send:" + text]


class QuickSendTest(ProgramTest):
    def start_with_texts(self, texts):
        d_dir = os.path.join(harness.session().dir, f"d-{self.id().rsplit('.', 1)[-1]}")
        winebox.fresh_dir(d_dir)
        os.makedirs(os.path.join(d_dir, DATA_FOLDER))
        with open(os.path.join(d_dir, DATA_FOLDER, CONFIG_NAME), "wb") as f:
            f.write(config_bytes(texts))
        program, window = self.start(d_dir)
        return program, window, d_dir

    def chat_box(self, program, hold_key=None):
        chat = ChatBox(program.dir, hold_key)
        self.addCleanup(chat.stop)
        return chat

    def switch_on(self, program):
        program.click("保存配置按钮1", post=True)  # its box is modal
        box = wait_until(lambda: [w for w in program.boxes() if w["caption"] == ON_TITLE],
                         what="the hotkeys-on box")[0]
        self.assertIn(ON_TEXT, [t["text"] for t in box["texts"]])
        program.dismiss(ON_TITLE)

    def press(self, chat, keys, expect):
        """Presses keys with the chat box focused; waits until its log ends with `expect`."""
        chat.focus()
        mark = len(chat.lines())
        xdotool("key", keys)
        wait_until(lambda: chat.after(mark)[-len(expect):] == expect, timeout=10,
                   what=f"{expect} in the chat box after {keys}")
        return chat.after(mark)

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

    def test_a_key_another_program_holds_stays_with_it_and_the_others_work(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program, hold_key=0x74)  # F5
        self.assertIn("held:74", chat.lines())
        self.switch_on(program)
        chat.focus()
        mark = len(chat.lines())
        xdotool("key", "F5")
        wait_until(lambda: "hotkey:74" in chat.lines()[mark:],
                   what="F5 to reach the program holding it")
        self.assertEqual(chat.after(mark), [], "F5 neither types nor sends")
        self.assertEqual(self.press(chat, "F12", send_lines(TEXTS[11]))[-6:],
                         send_lines(TEXTS[11]))
        self.assertNotIn("send:" + TEXTS[4], chat.lines())

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
