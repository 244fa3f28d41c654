"""Online services against the loopback site: the version check leading to the MC page or to
the update, the download in parts that starts the new program and ends this one, the failures
that tell the user and go on (or end), and the online count in the banner, from a GBK or a
UTF-8 forum page."""

import os
import shutil
import subprocess
import tempfile
import threading
import time

import numpy as np
from PIL import Image

import harness
import winebox
from harness import ProgramTest, wait_until

setUpModule = harness.start_session
tearDownModule = harness.stop_session

CONTACT = "QQ 10001"
NEW_NAME = "新版本"
UPDATE_CAPTION = "自动更新"
NOTICE = "提示"
DONE_TEXT = "下载完成，请手动删除旧版本！软件自动运行新版本！"
FAILED_TEXT = "更新下载失败，请稍后再试，或到官方网站下载新版本！"
NO_DOCUMENT_TITLE = "信息："
NO_DOCUMENT_TEXT = "无法检测到网络文件，或者网站正在维护,请稍后再试！请联系" + CONTACT
TRACE = "new_version_started.txt"
READING = "正在读取服务器数据"
SLOW_SITE_S = 8
HUNG_POLL_S = 0.25
PAGES = ("图片框4", "图片框3", "图片框1")


def new_version_exe():
    path = os.environ.get("ZANVORO_NEW_VERSION_EXE", "")
    if not os.path.isfile(path):
        raise RuntimeError("new_version.exe is missing: build the Windows side first")
    return path


def mc_page_shown(window):
    return (not window.shown("图片框9") and [p for p in PAGES if window.shown(p)] == ["图片框3"])


def box_texts(found):
    return [t["text"] for t in found["texts"]]


class UpdateSite:
    """The session's site serving a version document that publishes version 2 with the tiny
    new program behind it; the default documents come back afterwards."""

    def __init__(self, test):
        session = harness.session()
        self.docs = tempfile.mkdtemp(prefix="docs-", dir=session.dir)
        test.addCleanup(shutil.rmtree, self.docs, True)
        shutil.copy(os.path.join(harness.DEFAULT_DOCS, "forum.php"), self.docs)
        host = session.config.site_host
        with open(os.path.join(self.docs, "111.txt"), "wb") as f:
            f.write(f"2---http://{host}/new.exe---{NEW_NAME}".encode("gbk"))
        self.site = session.start_site(self.docs)
        self.site.add_file("/new.exe", new_version_exe())
        with open(new_version_exe(), "rb") as f:
            self.program_bytes = f.read()
        test.addCleanup(session.start_site, harness.DEFAULT_DOCS)


class DefaultSiteTest(ProgramTest):
    """The bundled site: version 1 is published, the forum shows 123 users online."""

    @classmethod
    def setUpClass(cls):
        harness.session().start_site(harness.DEFAULT_DOCS)
        cls.program, _ = cls.start_shared()
        cls.window = cls.program.wait_window(mc_page_shown, timeout=30,
                                             what="the MC sound page after the version check")

    def test_same_version_goes_on_to_the_mc_page(self):
        self.assertEqual(self.window["透明标签状态"]["text"], "读取服务器数据完成")
        self.assertEqual(self.window["编辑框版本号"]["text"], "1")
        self.assertEqual(self.window["编辑框软件名字"]["text"], "Zanvoro助手")
        self.assertIsNone(self.program.window(UPDATE_CAPTION))
        self.assertTrue(self.window["图片框3"]["visible"])

    def test_version_document_is_read_once_the_old_browser_way(self):
        requests = harness.session().site.requests("/111.txt")
        self.assertEqual(len(requests), 1)
        self.assertEqual(requests[0]["version"], "HTTP/1.0")
        self.assertEqual(requests[0]["headers"].get("Accept"), "*/*")
        self.assertEqual(requests[0]["headers"].get("User-Agent"),
                         "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)")

    def test_banner_shows_the_count_from_the_forum_page(self):
        window = self.program.wait_window(
            lambda w: w["透明标签11"]["text"] != "在线人数获取中......", timeout=20,
            what="the online count")
        self.assertEqual(window["透明标签11"]["text"], "（当前在线人数：123人）")
        self.assertEqual(len(harness.session().site.requests("/forum.php")), 1)
        harness.session().screenshot("banner-count", window)


class Utf8ForumTest(ProgramTest):
    """A forum that sends its index page in UTF-8, naming the charset in the header or only in
    the page's own <meta>."""

    def test_banner_shows_the_count_from_a_utf8_forum_page(self):
        site = harness.session().site
        self.addCleanup(site.misbehave, "/forum.php", None)
        for header in (1, 0):
            with self.subTest(charset_in_header=bool(header)):
                site.misbehave("/forum.php", "utf8", header=header)
                program, _ = self.start()
                window = program.wait_window(
                    lambda w: w["透明标签11"]["text"] != "在线人数获取中......", timeout=20,
                    what="the online count")
                self.assertEqual(window["透明标签11"]["text"], "（当前在线人数：123人）")
                self.assertEqual(site.requests("/forum.php")[-1].get("misbehaviour"), "utf8")
                program.stop()


class UpdateTest(ProgramTest):
    def test_newer_version_is_downloaded_in_parts_started_and_the_program_ends(self):
        site = UpdateSite(self)
        program, main = self.start()
        update = program.wait_window(lambda w: w.visible, caption=UPDATE_CAPTION, timeout=30,
                                     what="the update window")
        left, top, _, _ = main.rect
        self.assertEqual(update.rect, (left + 100, top + 480, 442, 59))

        done = wait_until(lambda: program.box(NOTICE), timeout=60, what="the completion box")
        self.assertIn(DONE_TEXT, box_texts(done))
        self.assertTrue(program.shows_icon(done), "the completion box carries the information icon")
        # The figures keep coming while the box is up and reach the whole file.
        update = program.wait_window(lambda w: w["透明标签1"]["text"] == "100%",
                                     caption=UPDATE_CAPTION, what="100% in the update window")
        harness.session().screenshot("update-done")
        ranges = [r["headers"].get("Range") for r in site.site.requests("/new.exe")]
        self.assertGreaterEqual(len(ranges), 5, "five parts, each by its own range")
        self.assertTrue(all(ranges), ranges)
        self.assertFalse(os.path.exists(os.path.join(program.cwd, TRACE)),
                         "nothing starts before the box is dismissed")

        program.dismiss(NOTICE)
        self.assertEqual(program.wait_exit(timeout=30), 0)
        target = os.path.join(program.cwd, NEW_NAME + ".exe")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), site.program_bytes)
        with open(os.path.join(program.cwd, TRACE), encoding="utf-8") as f:
            command_line = f.readline().rstrip("\n")
        self.assertEqual(command_line, '"' + winebox.win_path(target) + '"')
        self.assertEqual(sorted(os.listdir(program.cwd)), sorted([NEW_NAME + ".exe", TRACE]))

    def test_cut_off_download_is_reported_as_failed_and_starts_nothing(self):
        site = UpdateSite(self)
        site.site.misbehave("/new.exe", "cut", at=len(site.program_bytes) // 2)
        program, _ = self.start()
        failed = wait_until(lambda: program.box(NOTICE), timeout=90, what="the failure box")
        self.assertIn(FAILED_TEXT, box_texts(failed))
        self.assertTrue(program.shows_icon(failed))
        program.dismiss(NOTICE)

        window = program.wait_window(mc_page_shown, timeout=20, what="the MC page after the failure")
        self.assertTrue(window.visible)
        self.assertIsNone(program.window(UPDATE_CAPTION))
        self.assertTrue(program.running())
        self.assertEqual(os.listdir(program.cwd), [], "no partial program is left or started")


class DeadSiteTest(ProgramTest):
    def test_unreachable_site_tells_the_user_and_ends(self):
        session = harness.session()
        session.site.stop()
        session.site = None
        self.addCleanup(session.start_site, harness.DEFAULT_DOCS)
        program = self.launch()
        found = wait_until(lambda: program.box(NO_DOCUMENT_TITLE), timeout=60,
                           what="the box about the missing document")
        self.assertIn(NO_DOCUMENT_TEXT, box_texts(found))
        self.assertFalse(program.shows_icon(found), "this box has no icon")
        window = program.main()
        self.assertTrue(window.shown("图片框9"), "the MC page never shows")
        self.assertFalse(window.shown("图片框3"))
        program.dismiss(NO_DOCUMENT_TITLE)
        self.assertEqual(program.wait_exit(timeout=30), 0)

    def test_site_that_never_answers_is_given_up_on(self):
        session = harness.session()
        session.site.hold("/111.txt")
        self.addCleanup(session.site.release)
        started = time.monotonic()
        program = self.launch()
        # The read waits at most the receive time-out (10 s) once connected.
        found = wait_until(lambda: program.box(NO_DOCUMENT_TITLE), timeout=60,
                           what="the box about the missing document")
        print(f"gave up on the silent site {time.monotonic() - started:.1f} s after start",
              flush=True)
        self.assertIn(NO_DOCUMENT_TEXT, box_texts(found))
        program.dismiss(NO_DOCUMENT_TITLE)
        self.assertEqual(program.wait_exit(timeout=30), 0)


class SlowSiteTest(ProgramTest):
    """The site holds the version document for 8 s while the program waits for it."""

    def window_pixels(self, name, rect):
        path = harness.session().screenshot(name)
        left, top, width, height = rect
        with Image.open(path) as shot:
            return np.asarray(shot.convert("RGB").crop((left, top, left + width, top + height)))

    def poll_hung(self, program, stop, seen):
        """Asks the system every 250 ms whether it takes the window for hung."""
        session = harness.session()
        out = os.path.join(session.dir, "hung.json")
        while not stop.is_set():
            answer = winebox.run_probe(session.config.probe, session.env, out, session.probe_log,
                                       ["hung", "--caption", program.main_caption], 30)
            seen.append(answer.get("hung") if answer.get("ok") else None)
            stop.wait(HUNG_POLL_S)

    def unpainted(self, program):
        answer = harness.session().probe("hung", "--caption", program.main_caption)
        return answer.get("unpainted") if answer.get("ok") else None

    def test_the_window_answers_and_repaints_while_the_site_is_slow(self):
        session = harness.session()
        session.site.hold("/111.txt")
        self.addCleanup(session.site.release)
        program, _ = self.start()
        window = program.wait_window(lambda w: w["透明标签状态"]["text"] == READING, timeout=30,
                                     what="the version read to begin")
        reading_since = time.monotonic()
        stop, seen = threading.Event(), []
        poller = threading.Thread(target=self.poll_hung, args=(program, stop, seen))
        poller.start()
        try:
            # The status text set just before the read is drawn while it waits.
            wait_until(lambda: self.unpainted(program) == 0, timeout=3,
                       what="every window of the program to be painted")
            before = self.window_pixels("slow-site-before", window.rect)
            left, top, width, height = window.rect
            cover = subprocess.Popen(["xmessage", "-geometry", f"{width}x{height}+{left}+{top}",
                                      "-bg", "black", "covering the program"], env=session.env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            try:
                wait_until(lambda: not np.array_equal(
                    self.window_pixels("slow-site-covered", window.rect), before),
                    timeout=10, interval=0.2, what="the window to be covered")
            finally:
                winebox.end_process(cover)
            wait_until(lambda: np.array_equal(
                self.window_pixels("slow-site-uncovered", window.rect), before)
                and self.unpainted(program) == 0,
                timeout=3, interval=0.2, what="the uncovered window to be painted again")
            self.assertLess(time.monotonic() - reading_since, SLOW_SITE_S,
                            "all of it happened while the site still held the document")
            # Past the 5 s after which Windows would call the window hung.
            stop.wait(max(0.0, SLOW_SITE_S - (time.monotonic() - reading_since)))
        finally:
            stop.set()
            poller.join()
        session.site.release()
        program.wait_window(mc_page_shown, timeout=30, what="the MC page once the document came")
        self.assertGreaterEqual(len(seen), SLOW_SITE_S / (HUNG_POLL_S + 1), seen)
        self.assertEqual(set(seen), {False}, "never taken for hung, and every poll answered")


if __name__ == "__main__":
    harness.main()
