"""What the key tests share: the tests' chat box (e2e/chatbox), a window of its own process
that logs the keys it receives and the lines sent from it; keys pressed with xdotool on the
session's X display as a user would; and a program started with saved quick-send texts.
"""

import os
import subprocess

import harness
import winebox
from harness import ProgramTest, wait_until

DATA_FOLDER = "Zanvoro助手"
CONFIG_NAME = "快捷键配置.txt"
SEPARATOR = "￥￥￥￥￥￥%%%%%%%".encode("gbk")
QUICK_ON_TITLE = "温馨提示："
QUICK_ON_TEXT = "快捷键开启成功！鼠标点击聊天框！按F1-12即可发送指定数据！"

TEXTS = ["欢迎来到直播间！", "", "谢谢老板的礼物！666 ～", "", "关注主播不迷路", "",
         "", "", "", "", "", "晚安"]

CHATBOX_AT = (720, 115)  # inside its edit box (window at 700,100)
DESKTOP_AT = (1275, 1019)  # a corner of the screen no window covers
FOCUS_ATTEMPTS = 3


def config_bytes(texts):
    return b"".join(t.encode("gbk") + SEPARATOR for t in texts)


def xdotool(*args):
    subprocess.run(["xdotool", *args], env=harness.session().env, check=True, timeout=15,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def wait_box(program, title, text):
    """Waits for the program's message box with this title, checks its text and dismisses it."""
    def box():
        return [w for w in program.boxes() if w["caption"] == title]
    found = wait_until(box, what=f"the box {title}")[0]
    if text not in [t["text"] for t in found["texts"]]:
        raise AssertionError(f"the box {title} says {found['texts']}, not {text}")
    if program.shows_icon(found):
        raise AssertionError(f"the box {title} shows an icon; it has none")
    program.dismiss(title)


class ChatBox:
    """chatbox.exe from the cross build, in its own process beside the program."""

    def __init__(self, work_dir, hold_keys=()):
        session = harness.session()
        exe = os.path.join(os.path.dirname(os.path.dirname(session.config.probe)), "chatbox",
                           "chatbox.exe")
        self.log = os.path.join(work_dir, "chatbox.log")
        held = ",".join(f"{key:X}" for key in hold_keys)
        args = ["wine", exe, winebox.win_path(self.log)] + ([held] if held else [])
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
        """Clicks into the edit box until a key typed there arrives. After one of the
        program's boxes goes away, Wine can take the click without handing the chat box the
        keyboard (the click is seen, keys go nowhere), so the focus is proven with the barrier
        key Escape, which neither quick-send nor the piano takes; a retry first clicks the
        empty desktop so that the next click activates the chat box anew."""
        for attempt in range(FOCUS_ATTEMPTS):
            if attempt:
                xdotool("mousemove", str(DESKTOP_AT[0]), str(DESKTOP_AT[1]), "click", "1")
            mark = len(self.lines())
            xdotool("mousemove", str(CHATBOX_AT[0]), str(CHATBOX_AT[1]), "click", "1")
            wait_until(lambda: "click" in self.lines()[mark:], what="the chat box to take the click")
            xdotool("key", "Escape")
            try:
                wait_until(lambda: "down:1B" in self.lines()[mark:], timeout=3,
                           what="a key typed into the chat box")
                return
            except AssertionError:
                continue
        raise AssertionError(f"keys never reached the chat box in {FOCUS_ATTEMPTS} clicks")

    def after(self, mark, kinds=("down:", "send:")):
        return [line for line in self.lines()[mark:] if line.startswith(kinds)]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def send_lines(text):
    """What the chat box sees of one quick-send: Enter, Ctrl+V, Enter (key downs only)."""
    return ["down:0D", "send:", "down:11", "down:56", "down:0D", "send:" + text]


class ChatBoxTest(ProgramTest):
    """A program started with saved quick-send texts, and the chat box beside it."""

    def start_with_texts(self, texts):
        d_dir = os.path.join(harness.session().dir, f"d-{self.id().rsplit('.', 1)[-1]}")
        winebox.fresh_dir(d_dir)
        os.makedirs(os.path.join(d_dir, DATA_FOLDER))
        with open(os.path.join(d_dir, DATA_FOLDER, CONFIG_NAME), "wb") as f:
            f.write(config_bytes(texts))
        program, window = self.start(d_dir)
        return program, window, d_dir

    def chat_box(self, program, hold_keys=()):
        chat = ChatBox(program.dir, hold_keys)
        self.addCleanup(chat.stop)
        return chat

    def switch_on(self, program, text=QUICK_ON_TEXT):
        program.click("保存配置按钮1", post=True)  # its box is modal
        wait_box(program, QUICK_ON_TITLE, text)

    def press(self, chat, keys, expect):
        """Presses keys (xdotool names, separated by blanks) with the chat box focused; waits
        until its log ends with `expect` and returns what it saw of them."""
        chat.focus()
        mark = len(chat.lines())
        xdotool("key", *keys.split())
        wait_until(lambda: chat.after(mark)[-len(expect):] == expect, timeout=10,
                   what=f"{expect} in the chat box after {keys}")
        return chat.after(mark)
