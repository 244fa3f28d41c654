"""Getting around the main window: the page buttons, the two secondary windows that stand in for
the main window while open, and the BOX notice with its forum link."""

import harness
from harness import ProgramTest, wait_until

setUpModule = harness.start_session
tearDownModule = harness.stop_session

PAGES = ("图片框4", "图片框3", "图片框1")

# button, the page it shows
PAGE_BUTTONS = [
    ("特定按钮1", "图片框4"),
    ("特定按钮2", "图片框3"),
    ("特定按钮3", "图片框1"),
    ("特定按钮1", "图片框4"),  # back from the custom sounds to the first page
]

# button, caption, frame of the secondary window
SECONDARY_WINDOWS = [
    ("特定按钮4", "Zanvoro模拟钢琴", (50, 50, 572, 494)),
    ("特定按钮5", "落Zanvoro变声器", (50, 50, 373, 359)),
]

BOX_TITLE = "温馨提示："
BOX_TEXT = "BOX打碟将在下个版本正式发布，目前作者还在了解BOX，如果你懂可以在论坛发帖联系我！"


def shown_pages(window):
    return [page for page in PAGES if window.shown(page)]


class PageButtonsTest(ProgramTest):
    def test_each_page_button_shows_exactly_its_page(self):
        program, _ = self.start()
        program.wait_settled()
        for button, page in PAGE_BUTTONS:
            with self.subTest(button=button, page=page):
                program.click(button)
                window = program.wait_window(lambda w: shown_pages(w) == [page],
                                             what=f"only {page} shown")
                self.assertTrue(window[page]["visible"], "the page must be seen, not only flagged")
                # The click handler has run when click() returns, so nothing may change now.
                program.click(button)
                self.assertEqual(shown_pages(program.main()), [page])


class SecondaryWindowTest(ProgramTest):
    def test_secondary_window_replaces_the_main_window_while_open(self):
        program, _ = self.start()
        program.wait_settled()
        for button, caption, frame in SECONDARY_WINDOWS:
            with self.subTest(caption):
                program.click(button, post=True)  # its handler runs the window's modal loop
                secondary = program.wait_window(lambda w: w.visible, caption=caption,
                                                what=f"{caption} to open")
                self.assertEqual(secondary.rect, frame)
                self.assertFalse(program.main().visible, "the main window hides while it is open")
                harness.session().screenshot(f"window-{button}", secondary)

                program.close(caption)
                program.wait_window(lambda w: w.visible, what="the main window to come back")
                wait_until(lambda: program.window(caption) is None, what=f"{caption} to be destroyed")

    def test_secondary_window_opens_again_after_closing(self):
        program, _ = self.start()
        program.wait_settled()
        button, caption, frame = SECONDARY_WINDOWS[0]
        for _ in range(2):
            program.click(button, post=True)
            self.assertEqual(program.wait_window(lambda w: w.visible, caption=caption).rect, frame)
            program.close(caption)
            program.wait_window(lambda w: w.visible, what="the main window to come back")


class BoxNoticeTest(ProgramTest):
    def test_notice_box_comes_first_then_the_forum_board(self):
        program, _ = self.start()
        program.wait_settled()
        program.click("特定按钮6", post=True)
        box = wait_until(lambda: program.box(BOX_TITLE), what="the notice box")
        self.assertIn(BOX_TEXT, [t["text"] for t in box["texts"]])
        self.assertFalse(program.shows_icon(box), "the notice has no icon")
        harness.session().screenshot("box-notice")
        self.assertEqual(program.opened_urls(), [], "the forum opens only after the box is dismissed")

        program.dismiss(BOX_TITLE)
        host = harness.session().config.site_host
        urls = wait_until(program.opened_urls, what="the forum board to open")
        self.assertEqual(urls, [f"http://{host}/forum.php?mod=forumdisplay&fid=49"])
        self.assertTrue(program.main().visible)


if __name__ == "__main__":
    harness.main()
