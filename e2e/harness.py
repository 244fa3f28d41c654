"""End-to-end harness: the real zanvoro.exe under Wine on a private X display, with the official
site served on loopback, read and driven through the probe.

One session per test module (X display, Wine server and services, site); one program per test,
each with a fresh folder as drive D:. Every wait polls with a deadline; teardown runs on failure.
CTest passes the paths in the environment (see e2e/CMakeLists.txt).
"""

import atexit
import fcntl
import os
import signal
import socket
import struct
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(HERE)
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(SOURCE_DIR, "site"))

import winebox  # noqa: E402
from serve import SiteServer  # noqa: E402

DEFAULT_DOCS = os.path.join(SOURCE_DIR, "site", "docs")
URL_RECORDER = os.path.join(HERE, "record_url.sh")
PROBE_TIMEOUT_S = 30
CLOSE_TIMEOUT_S = 15
PORT_WAIT_S = 120
VERSION_DOCUMENT = "/111.txt"
NO_CHECK_GRACE_S = 5


# Modules that record no sound run two at a time (e2e/CMakeLists.txt), in lanes with a Wine
# prefix each; LANES[0] is the one the prefix fixture makes, the others are copies of it.
LANES = ("", "b")


def lane_folder(work_dir, name, lane):
    return os.path.join(work_dir, f"{name}-{lane}" if lane else name)


class Config:
    """What the build tells the harness: the two exes, the site host they were built for, the
    folder in the build tree where prefixes, logs and screenshots go, and the lane whose prefix
    this module uses."""

    def __init__(self, exe, probe, site_host, work_dir, lane=""):
        self.exe = exe
        self.probe = probe
        self.site_host = site_host
        self.work_dir = work_dir
        self.prefix = lane_folder(work_dir, "prefix", lane)
        self.home = lane_folder(work_dir, "home", lane)
        self.shots = os.path.join(work_dir, "shots")

    @property
    def site_port(self):
        return int(self.site_host.rsplit(":", 1)[1])

    @classmethod
    def from_env(cls):
        missing = [k for k in ("ZANVORO_WIN_EXE", "ZANVORO_PROBE_EXE", "ZANVORO_SITE_HOST",
                               "ZANVORO_E2E_DIR") if not os.environ.get(k)]
        if missing:
            raise RuntimeError("run the end-to-end tests through CTest (missing " + ", ".join(missing) + ")")
        return cls(os.environ["ZANVORO_WIN_EXE"], os.environ["ZANVORO_PROBE_EXE"],
                   os.environ["ZANVORO_SITE_HOST"], os.environ["ZANVORO_E2E_DIR"],
                   os.environ.get("ZANVORO_E2E_LANE", ""))


# The last row of the main window's table, a value holder made after the first paint.
LAST_HELD_CONTROL = "编辑框官方下载地址60"


def main_caption(site_host):
    return f"ZanvoroMC音效YY变声器模拟钢琴快捷发送助手v2.0（官方网站{site_host}）"


def wait_until(probe_fn, timeout=10.0, interval=0.05, what="the condition"):
    """Calls probe_fn until it returns something true and returns that; fails the test with the
    last value seen when the deadline passes."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = probe_fn()
        if last:
            return last
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}; last seen: {last!r}")
        time.sleep(interval)


class Control(dict):
    """One child window as the probe saw it (name, class, text, rect, visibility)."""

    @property
    def rect(self):
        return tuple(self["rect"])


class Window:
    """A dump of one top-level window: its frame and its controls by layout name."""

    def __init__(self, answer):
        self.raw = answer
        self.caption = answer["caption"]
        self.rect = tuple(answer["rect"])
        self.visible = answer["visible"]
        self.answers = answer["answers"]
        self.controls = {}
        for c in answer["controls"]:
            if c["name"]:
                self.controls[c["name"]] = Control(c)

    def __getitem__(self, name):
        try:
            return self.controls[name]
        except KeyError:
            raise AssertionError(f"no control {name!r} in window {self.caption!r}") from None

    def shown(self, name):
        """The control's own visibility flag, as the program sets it."""
        return self[name]["own_visible"]


# What drive D: is for a program: a folder (as on most machines), missing, or read-only.
DRIVE_D = "folder"
NO_DRIVE_D = "none"
READ_ONLY_DRIVE_D = "read-only"


def loopback_up():
    """CTest runs each module in a network namespace of its own (e2e/CMakeLists.txt), whose
    loopback starts down; elsewhere it is up already and left alone."""
    siocgifflags, siocsifflags, iff_up = 0x8913, 0x8914, 0x1
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        request = struct.pack("16sH14x", b"lo", 0)
        flags = struct.unpack("16sH", fcntl.ioctl(sock, siocgifflags, request)[:18])[1]
        if not flags & iff_up:
            fcntl.ioctl(sock, siocsifflags, struct.pack("16sH14x", b"lo", flags | iff_up))


def own_mount_namespace():
    """Runs the calling test module again in a mount namespace of its own, so that the
    read-only mounts its programs' drives get end with it, however the run ends. Needs root,
    as CI and the project's machines have it."""
    if os.environ.get("ZANVORO_OWN_MOUNTS") == "1":
        return
    if os.geteuid() != 0:
        raise RuntimeError("a read-only drive D: is made with a bind mount: run this test as root")
    os.environ["ZANVORO_OWN_MOUNTS"] = "1"
    os.execvp("unshare", ["unshare", "--mount", "--propagation", "private", sys.executable,
                          *sys.argv])


def _make_read_only(folder):
    if os.environ.get("ZANVORO_OWN_MOUNTS") != "1":
        raise RuntimeError("call harness.own_mount_namespace() first: the mount must not outlive "
                           "the test")
    for args in (["mount", "--bind", folder, folder],
                 ["mount", "-o", "remount,bind,ro", folder, folder]):
        subprocess.run(args, check=True, stdin=subprocess.DEVNULL, capture_output=True,
                       timeout=30)


class Program:
    """One run of zanvoro.exe (or of another build of it, made for `site_host`) with its own
    drive D: folder, or no drive D:, or a read-only one (`drive`)."""

    def __init__(self, session, number, d_dir, exe=None, site_host=None, drive=DRIVE_D):
        self.session = session
        self.dir = winebox.fresh_dir(os.path.join(session.dir, f"run{number}"))
        self.d_dir = d_dir or os.path.join(self.dir, "d")
        os.makedirs(self.d_dir, exist_ok=True)
        self.cwd = winebox.fresh_dir(os.path.join(self.dir, "cwd"))
        self.log_path = os.path.join(self.dir, "program.log")
        if drive == NO_DRIVE_D:
            winebox.unmap_drive(session.config.prefix, "d")
        else:
            if drive == READ_ONLY_DRIVE_D:
                _make_read_only(self.d_dir)
            winebox.map_drive(session.config.prefix, "d", self.d_dir)
        # Links open through the prefix's stand-in browser, which writes them here.
        self.url_log = os.path.join(self.dir, "urls.log")
        env = dict(session.env, ZANVORO_URL_LOG=self.url_log)
        self.started_at = time.time()
        with open(self.log_path, "ab") as log:
            self.proc = subprocess.Popen(["wine", exe or session.config.exe], env=env,
                                         cwd=self.cwd, stdin=subprocess.DEVNULL, stdout=log,
                                         stderr=log)
        self.main_caption = main_caption(site_host or session.config.site_host)

    # -- life ---------------------------------------------------------------------------------
    def running(self):
        return self.proc.poll() is None

    def _check_alive(self):
        if not self.running():
            raise AssertionError(f"the program ended early with exit code {self.proc.returncode} "
                                 f"(log: {self.log_path})")

    def wait_exit(self, timeout=CLOSE_TIMEOUT_S):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s") from None

    def stop(self):
        """Ends the program whatever state it is in: a polite close first, then a kill."""
        if self.running():
            self.session.probe("close", "--caption", self.main_caption, "--wait", "0")
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    # -- looking ------------------------------------------------------------------------------
    def wait_for_main(self, timeout=30):
        """Waits until the main window stands (created with all controls, and visible)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self._check_alive()
            answer = self.session.probe("wait", "--caption", self.main_caption, "--wait", "2000")
            if answer.get("ok"):
                # Controls nobody sees at first (the value holders below the window among them)
                # are made once the window has painted: the table's last row marks them all made.
                return wait_until(self._all_controls_made, timeout=max(deadline - time.monotonic(), 5),
                                  what="the controls made after the first paint")
        raise AssertionError(f"the main window did not appear within {timeout} s (log: {self.log_path})")

    def _all_controls_made(self):
        window = self.window()
        return window if window and LAST_HELD_CONTROL in window.controls else None

    def wait_settled(self, timeout=30):
        """Waits until start-up is over: the version check has read the site's document and
        taken the loading overlay away, so nothing the program does by itself will change the
        pages under a test. A build whose program never asks for the document within
        NO_CHECK_GRACE_S of its window standing has no version check yet; its overlay stays."""
        stood = time.monotonic()

        def settled():
            window = self.main()
            if not window.shown("图片框9"):
                return window
            asked = self.session.site.requests(VERSION_DOCUMENT)
            if not asked and time.monotonic() - stood > NO_CHECK_GRACE_S:
                return window
            return None
        return wait_until(settled, timeout=timeout, interval=0.2, what="the version check to finish")

    def window(self, caption=None, pid=None):
        """A dump of the window, or None when there is no window with that caption (owned by
        the Windows process `pid` when given)."""
        pid_args = ["--pid", str(pid)] if pid else []
        answer = self.session.probe("dump", "--caption", caption or self.main_caption, "--wait",
                                    "0", *pid_args)
        return Window(answer) if answer.get("ok") else None

    def main(self):
        window = self.window()
        if window is None:
            self._check_alive()
            raise AssertionError("the main window is gone")
        return window

    def wait_window(self, predicate, caption=None, timeout=10, what="the window's state",
                    pid=None):
        """Dumps the window until predicate(window) holds; returns that dump."""
        def check():
            self._check_alive()
            window = self.window(caption, pid)
            return window if window is not None and predicate(window) else None
        return wait_until(check, timeout=timeout, what=what)

    @staticmethod
    def shows_icon(box):
        """Whether a window from boxes() shows an icon (a message box's information icon)."""
        return any(t.get("icon") for t in box["texts"])

    def boxes(self):
        """Visible top-level windows (message boxes among them) with their texts. A probe run
        that fails (a box half built, the program busy) sees none, so callers wait on it."""
        return self.session.probe("boxes").get("windows", [])

    def box(self, title):
        """The visible message box with this title, or None."""
        return next((w for w in self.boxes() if w["caption"] == title and w["class"] == "#32770"),
                    None)

    # -- acting -------------------------------------------------------------------------------
    def click(self, name, caption=None, post=False):
        """Clicks a button. By default waits until its handler has run; post=True for buttons
        whose handler opens a modal window or a message box."""
        args = ["click", "--caption", caption or self.main_caption, "--name", name]
        answer = self.session.probe(*(args + (["--post"] if post else [])))
        if not answer.get("ok"):
            raise AssertionError(f"cannot click {name}: {answer.get('error')}")
        if not post and not answer.get("handled"):
            raise AssertionError(f"the program did not finish handling the click on {name}")
        return answer

    def press(self, name, caption=None, post=False):
        args = ["press", "--caption", caption or self.main_caption, "--name", name]
        answer = self.session.probe(*(args + (["--post"] if post else [])))
        if not answer.get("ok"):
            raise AssertionError(f"cannot press {name}: {answer.get('error')}")
        return answer

    def close(self, caption=None, pid=None):
        pid_args = ["--pid", str(pid)] if pid else []
        answer = self.session.probe("close", "--caption", caption or self.main_caption, *pid_args)
        if not answer.get("ok"):
            raise AssertionError(f"cannot close {caption or 'the main window'}: {answer.get('error')}")

    def dismiss(self, title):
        answer = self.session.probe("dismiss", "--caption", title)
        if not answer.get("ok"):
            raise AssertionError(f"cannot dismiss {title}: {answer.get('error')}")

    def memory(self):
        return self.session.probe("mem", "--caption", self.main_caption)

    def opened_urls(self):
        """Web links the program asked the system to open, in order."""
        try:
            with open(self.url_log, encoding="utf-8") as f:
                return [line.strip() for line in f if line.strip()]
        except FileNotFoundError:
            return []


class Session:
    """X display, Wine server with its services, and the loopback site, for one test module."""

    def __init__(self, name, config=None, docs=DEFAULT_DOCS, screen=winebox.SCREEN):
        self.config = config or Config.from_env()
        self.name = name
        self.docs = docs
        self.screen = screen
        self.dir = winebox.fresh_dir(os.path.join(self.config.work_dir, "work", name))
        self.wine_log = os.path.join(self.dir, "wine.log")
        self.probe_log = os.path.join(self.dir, "probe.log")
        self.xvfb = None
        self.site = None
        self.env = None
        self.programs = []
        self._answers = 0

    def start(self):
        loopback_up()
        for path in (self.config.exe, self.config.probe):
            if not os.path.isfile(path):
                raise RuntimeError(f"{path} is missing: build the Windows side first")
        if not winebox.prefix_ready(self.config.prefix):
            raise RuntimeError(f"no Wine prefix at {self.config.prefix}: the e2e_prefix test makes it")
        self.xvfb = winebox.Xvfb(os.path.join(self.dir, "xvfb.log"), self.screen).start()
        self.env = winebox.wine_env(self.config.prefix, self.xvfb.display, self.config.home)
        winebox.stop_server(self.env, self.wine_log)  # left over from an interrupted run
        winebox.start_services(self.env, self.wine_log)
        self.start_site(self.docs)
        return self

    def start_site(self, docs):
        """(Re)starts the site on the port the program was built for, serving `docs`."""
        if self.site:
            self.site.stop()
        self.site = None
        try:
            # The port is fixed in the exe; another run on this machine may hold it for a while.
            self.site = SiteServer.when_port_free(docs, self.config.site_port,
                                                  os.path.join(self.dir, "site.log"), PORT_WAIT_S)
        except OSError as e:
            raise RuntimeError(f"cannot serve the site on {self.config.site_host}: {e}") from e
        return self.site

    def stop(self):
        for program in self.programs:
            try:
                program.stop()
            except Exception as e:  # keep tearing down whatever failed
                print(f"stopping a program: {e}", file=sys.stderr)
        if self.env:
            winebox.stop_server(self.env, self.wine_log)
        if self.site:
            self.site.stop()
        if self.xvfb:
            self.xvfb.stop()
        self.env = self.site = self.xvfb = None

    def launch(self, d_dir=None, exe=None, site_host=None, drive=DRIVE_D):
        program = Program(self, len(self.programs) + 1, d_dir, exe, site_host, drive)
        self.programs.append(program)
        return program

    def app_data(self):
        """The prefix's roaming application-data folder, as a Linux path."""
        users = os.path.join(self.config.prefix, "drive_c", "users")
        found = [os.path.join(users, user, "AppData", "Roaming") for user in os.listdir(users)
                 if user != "Public" and os.path.isdir(os.path.join(users, user, "AppData"))]
        if len(found) != 1:
            raise AssertionError(f"expected one user's application data in {users}: {found}")
        return found[0]

    def probe(self, command, *args):
        """Runs the probe and returns its JSON answer ({"ok": false, ...} on failure)."""
        self._answers += 1
        out = os.path.join(self.dir, f"probe-{self._answers % 8}.json")
        return winebox.run_probe(self.config.probe, self.env, out, self.probe_log, [command, *args],
                                 PROBE_TIMEOUT_S)

    def screenshot(self, name, window=None):
        """Saves the screen (or only the window's rectangle) under the build tree and prints
        where."""
        os.makedirs(self.config.shots, exist_ok=True)
        path = os.path.join(self.config.shots, f"{self.name}-{name}.png")
        args = ["import", "-window", "root"]
        if window is not None:
            left, top, width, height = window.rect
            args += ["-crop", f"{width}x{height}+{left}+{top}", "+repage"]
        subprocess.run(args + [path], env=self.env, stdin=subprocess.DEVNULL, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        print(f"screenshot: {path}", flush=True)
        return path


_session = None


def start_session():
    """setUpModule of every test module: one session for all its tests."""
    global _session
    if _session is None:
        name = os.path.splitext(os.path.basename(sys.modules["__main__"].__file__))[0]
        _session = Session(name)
        try:
            _session.start()
        except BaseException:
            stop_session()
            raise


def stop_session():
    global _session
    if _session is not None:
        session, _session = _session, None
        session.stop()


def session():
    return _session


class ProgramTest(unittest.TestCase):
    """A test that runs the program; every program started is ended after the test."""

    def launch(self, d_dir=None, exe=None, site_host=None, drive=DRIVE_D):
        program = _session.launch(d_dir, exe, site_host, drive)
        self.addCleanup(program.stop)
        return program

    def start(self, d_dir=None, drive=DRIVE_D):
        """Launches the program and waits for the main window; returns (program, window)."""
        program = self.launch(d_dir, drive=drive)
        return program, program.wait_for_main()

    @classmethod
    def start_shared(cls, d_dir=None):
        """One program for all tests of the class (setUpClass); returns (program, window)."""
        program = _session.launch(d_dir)
        cls.addClassCleanup(program.stop)
        return program, program.wait_for_main()


def main():
    # CTest's time-out sends SIGTERM: turn it into an exit so Xvfb and Wine are stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    atexit.register(stop_session)
    unittest.main(verbosity=2)
