"""The main window as it stands after start-up on a first run, and a clean exit.

The site holds the version document back while the window is first read, so the program is
caught before its version check has finished: the overlay up, no page shown, the status label
telling the user what is going on.
"""

import os

import harness
from harness import ProgramTest

setUpModule = harness.start_session
tearDownModule = harness.stop_session

DATA_FOLDER = "Zanvoro助手"

# What the status label may read while the program waits for the version document: the last
# start-up step, the dots of the waiting animation, the fetch itself.
WAITING_STATUS = {
    "正在加载...",
    "正在获取在线人数",
    "正在检测服务器版本.",
    "正在检测服务器版本..",
    "正在检测服务器版本...",
    "正在读取服务器数据",
}

# name, container ("" = the window), left, top, width, height, text (None: not checked)
LAYOUT_SAMPLE = [
    ("图片框2", "", 0, 0, 688, 72, None),
    ("透明标签5", "图片框2", 8, 0, 48, 24, "官方网站"),
    ("透明标签12", "图片框2", 392, 0, 48, 24, "使用教程"),
    ("图片框7", "图片框2", 544, 32, 88, 24, None),
    ("特定按钮1", "", 8, 72, 100, 45, "快捷键"),
    ("特定按钮4", "", 320, 72, 100, 45, "模拟钢琴"),
    ("特定按钮6", "", 528, 72, 100, 45, "BOX打碟"),
    ("图片框3", "", 8, 128, 640, 456, None),
    ("图片框1", "", 8, 128, 640, 456, None),
    ("图片框4", "", 8, 128, 640, 456, None),
    ("官方音按钮1", "图片框3", 8, 16, 96, 32, "QQ消息音"),
    ("官方音按钮18", "图片框3", 528, 96, 96, 32, "鬼叫声(男)"),
    ("官方音按钮47", "图片框3", 424, 296, 96, 32, "Tobrin笑声"),
    ("官方音按钮52", "图片框3", 320, 336, 96, 32, "官方网站"),
    ("自定义歌曲名字1", "图片框1", 8, 16, 72, 48, "亲，你还没有选择场景音哦！点击我！选择歌曲！"),
    ("自定义停止按钮18", "图片框1", 544, 336, 50, 50, ""),
    ("透明标签F12", "图片框4", 16, 296, 96, 24, "快捷键F12："),
    ("快捷编辑框1", "图片框4", 112, 32, 448, 20, ""),
    ("快捷编辑框12", "图片框4", 112, 296, 448, 20, ""),
    ("保存配置按钮1", "图片框4", 344, 336, 96, 32, "开启热键"),
    ("图片框9", "", 168, 152, 312, 312, None),
    ("透明标签状态", "图片框9", 0, 280, 312, 32, None),
    ("标签1", "", 360, 792, 32, 24, None),
]


class FirstRunTest(ProgramTest):
    @classmethod
    def setUpClass(cls):
        # One look while the version document is held back, then let the program go on: a
        # fetch held for long would end in the program's own time-out and its failure box.
        site = harness.session().site
        site.hold(harness.VERSION_DOCUMENT)
        try:
            cls.program, cls.window = cls.start_shared()
        finally:
            site.release()

    def test_data_folder_is_created_empty(self):
        d = self.program.d_dir
        self.assertEqual(os.listdir(d), [DATA_FOLDER])
        self.assertTrue(os.path.isdir(os.path.join(d, DATA_FOLDER)))
        self.assertEqual(os.listdir(os.path.join(d, DATA_FOLDER)), [],
                         "neither configuration file may be written at start-up")

    def test_window_frame_and_caption(self):
        self.assertEqual(self.window.caption,
                         "ZanvoroMC音效YY变声器模拟钢琴快捷发送助手v2.0（官方网站"
                         + harness.session().config.site_host + "）")
        self.assertEqual(self.window.rect, (50, 50, 643, 584))
        self.assertTrue(self.window.visible)

    def test_overlay_covers_the_pages_until_the_version_check(self):
        window = self.window
        for page in ("图片框3", "图片框1", "图片框4"):
            with self.subTest(page):
                self.assertFalse(window.shown(page))
                self.assertFalse(window[page]["visible"])
        self.assertTrue(window["图片框9"]["visible"])
        status = window["透明标签状态"]
        self.assertTrue(status["visible"])
        self.assertIn(status["text"], WAITING_STATUS)

    def test_control_places_and_texts(self):
        for name, container, left, top, width, height, text in LAYOUT_SAMPLE:
            with self.subTest(name):
                control = self.window[name]
                self.assertEqual(control["parent"], container)
                self.assertEqual(control.rect, (left, top, width, height))
                if text is not None:
                    self.assertEqual(control["text"], text)

    def test_value_holders_exist_out_of_sight(self):
        client_height = self.window.raw["client"][3]
        for name in ("标签1", "编辑框老版本号", "编辑框自定义配置", "编辑框快捷配置", "编辑框更新"):
            with self.subTest(name):
                control = self.window[name]
                top = control.rect[1]
                parent = control["parent"]
                if parent:
                    top += self.window[parent].rect[1]
                self.assertGreaterEqual(top, client_height, "must lie below the visible area")
        self.assertEqual(self.window["编辑框老版本号"]["text"], "1")
        self.assertEqual(self.window["编辑框自定义配置"]["text"], "")
        self.assertEqual(self.window["编辑框快捷配置"]["text"], "")
        self.assertEqual(self.window["快捷编辑框1"]["class"].lower(), "edit")

    def test_screenshot_of_the_main_window(self):
        path = harness.session().screenshot("first-run", self.window)
        self.assertGreater(os.path.getsize(path), 10_000, "an empty capture compresses far smaller")


class ExitTest(ProgramTest):
    def test_closing_the_main_window_ends_the_program_and_saves_nothing(self):
        program, _ = self.start()
        program.close()
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(os.listdir(os.path.join(program.d_dir, DATA_FOLDER)), [])


if __name__ == "__main__":
    harness.main()
