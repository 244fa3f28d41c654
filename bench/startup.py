"""Start-up benchmark of zanvoro.exe under Wine + Xvfb (not part of the test suite).

Prints: the time from process start to the main window standing (median of N runs on a warm
Wine server), the exe's size, and the program's memory while idle on the MC sound page.
Needs both builds (./test.sh or scripts/build.sh). Uses its own prefix in build/bench.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import harness  # noqa: E402
import winebox  # noqa: E402

SITE_HOST = "127.0.0.1:18080"  # as scripts/common.sh builds the exe
IDLE_S = 5
PROBE_START_S = 1.0  # the waiting probe must be polling before the program starts


def proc_status(pid):
    """VmRSS and RssAnon of the Unix process behind the Windows one, in bytes."""
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "RssAnon"):
                values[key] = int(rest.split()[0]) * 1024
    return values


def time_to_window(session, run_number):
    """Seconds from starting the process to its main window standing, seen by a probe that
    polls every 2 ms and stamps the moment in Unix time."""
    caption = harness.main_caption(session.config.site_host)
    out = os.path.join(session.dir, f"wait-{run_number}.json")
    with open(session.probe_log, "ab") as log:
        waiter = subprocess.Popen(["wine", session.config.probe, "wait", "--caption", caption,
                                   "--wait", "60000", "--out", winebox.win_path(out)],
                                  env=session.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    time.sleep(PROBE_START_S)
    started = time.time()
    program = session.launch()
    program.started_at = started
    waiter.wait(timeout=90)
    with open(out, encoding="utf-8") as f:
        answer = json.load(f)
    if not answer.get("ok"):
        raise RuntimeError(f"run {run_number}: {answer.get('error')}")
    program.stop()
    return answer["seen_at_ms"] / 1000.0 - started


def idle_memory(session):
    program = session.launch()
    window = program.wait_for_main()
    if not window.shown("图片框3"):
        program.click("特定按钮2")
    time.sleep(IDLE_S)  # let start-up work and first paints settle before measuring
    counters = program.memory()
    unix = proc_status(program.proc.pid)
    program.stop()
    return counters, unix


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--exe", default=os.path.join(ROOT, "build", "win", "platform", "win32", "zanvoro.exe"))
    parser.add_argument("--probe", default=os.path.join(ROOT, "build", "win", "e2e", "probe", "probe.exe"))
    args = parser.parse_args()

    config = bench_session.bench_config(args.exe, args.probe, SITE_HOST)

    session = harness.Session("startup", config).start()
    try:
        time_to_window(session, 0)  # warm-up: loads the exe and Wine's DLLs into the page cache
        times = [time_to_window(session, n) for n in range(1, args.runs + 1)]
        counters, unix = idle_memory(session)
    finally:
        session.stop()

    print(f"start to main window: median {statistics.median(times) * 1000:.0f} ms over {len(times)} runs "
          f"(min {min(times) * 1000:.0f}, max {max(times) * 1000:.0f}; warm wineserver)")
    print(f"exe size: {os.path.getsize(config.exe)} bytes")
    print(f"idle on the MC page after {IDLE_S} s, GetProcessMemoryInfo through the probe: "
          f"working set {counters.get('working_set', 0) / 2**20:.1f} MiB, "
          f"pagefile usage {counters.get('pagefile', 0) / 2**20:.1f} MiB "
          f"(Wine reports private bytes as {counters.get('private_bytes', 0)})")
    print(f"idle on the MC page, /proc of the Wine process: VmRSS {unix.get('VmRSS', 0) / 2**20:.1f} MiB, "
          f"RssAnon {unix.get('RssAnon', 0) / 2**20:.1f} MiB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
