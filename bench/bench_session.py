"""What every benchmark needs before it measures: its own Wine prefix in build/bench (made once)
and a harness session on it."""

import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import harness  # noqa: E402
import winebox  # noqa: E402

BENCH_DIR = os.path.join(ROOT, "build", "bench")


def bench_config(exe, probe, site_host):
    """A harness configuration whose prefix exists; makes it the first time."""
    config = harness.Config(exe=exe, probe=probe, site_host=site_host, work_dir=BENCH_DIR)
    os.makedirs(BENCH_DIR, exist_ok=True)
    if not winebox.prefix_ready(config.prefix):
        print(f"making a Wine prefix in {config.prefix} (once)", flush=True)
        xvfb = winebox.Xvfb(os.path.join(BENCH_DIR, "xvfb.log")).start()
        try:
            winebox.fresh_dir(config.prefix)
            winebox.make_prefix(config.prefix, config.home, xvfb.display,
                                os.path.join(BENCH_DIR, "prefix.log"), browsers=harness.URL_RECORDER)
        finally:
            xvfb.stop()
    return config


def program_config(win_build, site_host):
    """The configuration for the exe and the probe of a cross build, with the environment the
    harness reads set to match, so harness.session() runs that exe."""
    win_build = os.path.abspath(win_build)
    exe = os.path.join(win_build, "platform", "win32", "zanvoro.exe")
    probe = os.path.join(win_build, "e2e", "probe", "probe.exe")
    config = bench_config(exe, probe, site_host)
    os.environ.update({"ZANVORO_WIN_EXE": exe, "ZANVORO_PROBE_EXE": probe,
                       "ZANVORO_SITE_HOST": site_host, "ZANVORO_E2E_DIR": config.work_dir})
    return config


def headless_prefix(bench_dir):
    """A Wine prefix without a display in `bench_dir` (made the first time): (prefix, home,
    Wine's log file)."""
    prefix, home = os.path.join(bench_dir, "prefix"), os.path.join(bench_dir, "home")
    log = os.path.join(bench_dir, "wine.log")
    os.makedirs(bench_dir, exist_ok=True)
    if not winebox.prefix_ready(prefix):
        print(f"making a Wine prefix in {prefix} (once)", flush=True)
        winebox.fresh_dir(prefix)
        winebox.make_prefix(prefix, home, None, log)
    return prefix, home, log


def add_program_arguments(parser):
    """--exe, --probe and --site-host, defaulting to this tree's cross build and the site port
    the build scripts use."""
    win = os.path.join(ROOT, "build", "win")
    parser.add_argument("--exe", default=os.path.join(win, "platform", "win32", "zanvoro.exe"))
    parser.add_argument("--probe", default=os.path.join(win, "e2e", "probe", "probe.exe"))
    parser.add_argument("--site-host",
                        default=f"127.0.0.1:{os.environ.get('ZANVORO_SITE_PORT', '18080')}",
                        help="the host the exe was built for")
