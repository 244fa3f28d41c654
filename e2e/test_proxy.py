"""The program behind a proxy, as on an office or school network: the prefix's Internet Settings
name a loopback tinyproxy, and the version check, the forum page of the online count and the
self-update download all go through it (its log lists them) while the program works as without
one. The setting is taken out again after each test, since other modules share the prefix.
"""

import os

import harness
import winebox
from harness import ProgramTest, wait_until
from test_online import NEW_NAME, NOTICE, UPDATE_CAPTION, UpdateSite, mc_page_shown
from tinyproxy_server import Tinyproxy

setUpModule = harness.start_session
tearDownModule = harness.stop_session

INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"


class ProxyTest(ProgramTest):
    def setUp(self):
        session = harness.session()
        self.proxy = Tinyproxy(session.dir).start()
        self.addCleanup(self.proxy.stop)
        self.set_setting("ProxyServer", "REG_SZ", self.proxy.address)
        self.set_setting("ProxyEnable", "REG_DWORD", "1")

    def set_setting(self, name, kind, value):
        session = harness.session()
        winebox.run_wine(["wine", "reg", "add", INTERNET_SETTINGS, "/v", name, "/t", kind, "/d",
                          value, "/f"], session.env, session.wine_log)
        self.addCleanup(winebox.run_wine, ["wine", "reg", "delete", INTERNET_SETTINGS, "/v", name,
                                           "/f"], session.env, session.wine_log, check=False)

    def assert_through_proxy(self, path):
        """The proxy passed the request on, and the site saw none that came another way
        (tinyproxy names itself in a Via header)."""
        session = harness.session()
        self.assertIn(f"http://{session.config.site_host}{path}", self.proxy.requested())
        seen = session.site.requests(path)
        self.assertTrue(seen)
        self.assertEqual([r for r in seen if "tinyproxy" not in r["headers"].get("Via", "")], [])

    def test_version_check_and_online_count_go_through_the_proxy(self):
        program, _ = self.start()
        window = program.wait_window(mc_page_shown, timeout=30, what="the MC sound page")
        self.assertEqual(window["编辑框版本号"]["text"], "1")
        window = program.wait_window(lambda w: w["透明标签11"]["text"] != "在线人数获取中......",
                                     timeout=20, what="the online count")
        self.assertEqual(window["透明标签11"]["text"], "（当前在线人数：123人）")
        self.assert_through_proxy("/111.txt")
        self.assert_through_proxy("/forum.php")

    def test_self_update_downloads_through_the_proxy(self):
        site = UpdateSite(self)
        program, _ = self.start()
        program.wait_window(lambda w: w.visible, caption=UPDATE_CAPTION, timeout=30,
                            what="the update window")
        wait_until(lambda: program.box(NOTICE), timeout=60, what="the completion box")
        program.dismiss(NOTICE)
        self.assertEqual(program.wait_exit(timeout=30), 0)
        with open(os.path.join(program.cwd, NEW_NAME + ".exe"), "rb") as f:
            self.assertEqual(f.read(), site.program_bytes)
        self.assert_through_proxy("/111.txt")
        self.assert_through_proxy("/new.exe")


if __name__ == "__main__":
    harness.main()
