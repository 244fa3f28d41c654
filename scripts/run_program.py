"""Runs zanvoro.exe under Wine for a person (run.sh): the site on loopback, a prefix kept in the
build tree, drive D: in the build tree.

With DISPLAY set the window shows there and this waits until the program ends. Without it a
private X server is started, the main window is awaited, a screenshot saved, the program closed
and everything this started is stopped again.
"""

import argparse
import os
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))
sys.path.insert(0, os.path.join(ROOT, "site"))

import winebox  # noqa: E402
from harness import main_caption  # noqa: E402
from serve import SiteServer  # noqa: E402

RUN_DIR = os.path.join(ROOT, "build", "run")
PREFIX = os.path.join(RUN_DIR, "prefix")
HOME = os.path.join(RUN_DIR, "home")
D_DRIVE = os.path.join(RUN_DIR, "d")
WINDOW_TIMEOUT_S = 60
PROBE_TIMEOUT_S = 30
PORT_WAIT_S = 60
CLOSE_TIMEOUT_S = 15


def log(message):
    print(f"run: {message}", flush=True)


class Run:
    def __init__(self, args):
        self.args = args
        self.wine_log = os.path.join(RUN_DIR, "wine.log")
        self.xvfb = None
        self.site = None
        self.proc = None
        self.env = None

    def probe(self, *probe_args):
        return winebox.run_probe(self.args.probe, self.env, os.path.join(RUN_DIR, "probe.json"),
                                 self.wine_log, probe_args, PROBE_TIMEOUT_S)

    def prepare(self, display, managed):
        os.makedirs(RUN_DIR, exist_ok=True)
        if not winebox.prefix_ready(PREFIX):
            log(f"making the Wine prefix {PREFIX} (once)")
            winebox.fresh_dir(PREFIX)
            winebox.make_prefix(PREFIX, HOME, display, self.wine_log)
        self.env = winebox.wine_env(PREFIX, display, HOME)
        self.set_managed(managed)
        winebox.map_drive(PREFIX, "d", D_DRIVE)
        try:
            self.site = SiteServer.when_port_free(
                os.path.join(ROOT, "site", "docs"), self.args.port, os.path.join(RUN_DIR, "site.log"),
                PORT_WAIT_S, on_wait=lambda: log(f"port {self.args.port} is busy (tests running?), waiting"))
        except OSError as e:
            raise SystemExit(f"run: cannot serve the site on port {self.args.port}: {e}")
        if self.args.new_version:
            # The download address that site/docs/111.txt names.
            self.site.add_file("/zanvoro.exe", self.args.new_version)
        log(f"site http://127.0.0.1:{self.args.port}/ (requests in {RUN_DIR}/site.log), D: is {D_DRIVE}")
        winebox.start_services(self.env, self.wine_log)

    def set_managed(self, managed):
        """A desktop's window manager should manage the windows; our bare Xvfb has none, and
        there unmanaged windows avoid 2 s waits on every hide."""
        value = "Y" if managed else "N"
        marker = os.path.join(PREFIX, "zanvoro-managed")
        if os.path.exists(marker) and open(marker).read() == value:
            return
        winebox.run_wine(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                          "/d", value, "/f"], self.env, self.wine_log)
        winebox.stop_server(self.env, self.wine_log)
        with open(marker, "w") as f:
            f.write(value)

    def launch(self):
        log(f"starting {self.args.exe}")
        with open(os.path.join(RUN_DIR, "program.log"), "ab") as f:
            self.proc = subprocess.Popen(["wine", self.args.exe], env=self.env, cwd=RUN_DIR,
                                         stdin=subprocess.DEVNULL, stdout=f, stderr=f)

    def on_display(self):
        self.prepare(os.environ["DISPLAY"], managed=True)
        self.launch()
        code = self.proc.wait()
        log(f"the program ended with exit code {code}")
        return code

    def headless(self):
        self.xvfb = winebox.Xvfb(os.path.join(RUN_DIR, "xvfb.log")).start()
        self.prepare(self.xvfb.display, managed=False)
        self.launch()
        caption = main_caption(f"127.0.0.1:{self.args.port}")
        deadline = time.monotonic() + WINDOW_TIMEOUT_S
        while not self.probe("wait", "--caption", caption, "--wait", "2000").get("ok"):
            if self.proc.poll() is not None or time.monotonic() > deadline:
                log(f"the main window did not appear (exit code {self.proc.poll()}; see {RUN_DIR}/program.log)")
                return 1
        window = self.probe("dump", "--caption", caption)  # answers once it has painted
        left, top, width, height = window.get("rect", (0, 0, 1280, 1024))
        shot = os.path.join(RUN_DIR, "screenshot.png")
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "+repage", shot],
                       env=self.env, check=True, stdin=subprocess.DEVNULL)
        log(f"screenshot {shot}")
        self.probe("close", "--caption", caption)
        try:
            code = self.proc.wait(timeout=CLOSE_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            log("the program did not end after its window was closed")
            return 1
        log(f"the program ended with exit code {code}")
        return code

    def stop(self):
        winebox.end_process(self.proc, timeout=5)
        if self.env:  # nothing of Wine outlives the run
            winebox.stop_server(self.env, self.wine_log)
        if self.site:
            self.site.stop()
        if self.xvfb:
            self.xvfb.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--new-version", help="the program the site offers as a newer version")
    args = parser.parse_args()
    args.exe, args.probe = os.path.abspath(args.exe), os.path.abspath(args.probe)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    os.makedirs(RUN_DIR, exist_ok=True)
    run = Run(args)
    started = time.monotonic()
    try:
        return run.on_display() if os.environ.get("DISPLAY") else run.headless()
    except KeyboardInterrupt:
        return 130
    finally:
        run.stop()
        log(f"done in {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    sys.exit(main())
