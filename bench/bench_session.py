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
