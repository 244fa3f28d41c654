"""Soak benchmark of zanvoro.exe under Wine + Xvfb with a private PulseAudio (not part of the test suite).

Drives the real exe through rounds of an evening: every page in turn, clips started over one
another and stopped all, quick-send hotkeys switched on and off, the piano and the voice
changer opened and closed. After each round prints the process's resident and anonymous
memory, its Windows handles and threads, and the file descriptors of the Unix process behind
it; at the end the growth from round 20 (once every clip has played and
the working set holds their pages) to the last.
Needs both builds. Uses its own prefix in build/bench.
"""

import argparse
import os
import statistics
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import chat_keys  # noqa: E402
import harness  # noqa: E402
import pulse_capture  # noqa: E402

PAGE_BUTTONS = ("特定按钮1", "特定按钮3", "特定按钮2")  # quick-send, custom sounds, MC page last
SECONDARY = (("特定按钮4", "Zanvoro模拟钢琴"), ("特定按钮5", "落Zanvoro变声器"))
STOP_ALL = "官方音按钮51"
CLIPS_PER_ROUND = 3
# Growth is measured from here. The working set rises until every built-in clip has played
# once (three a round): their pages are mapped from the exe and stay resident as file cache.
SETTLED_ROUNDS = 20
# Anonymous memory a run may gain before it counts as growth (allocator noise).
GROWTH_NOISE_MIB = 2.0


def unix_status(pid):
    return {"fds": len(os.listdir(f"/proc/{pid}/fd"))}


def one_round(program, number):
    for button in PAGE_BUTTONS:
        program.click(button)
    for n in range(CLIPS_PER_ROUND):
        program.click(f"官方音按钮{(number * CLIPS_PER_ROUND + n) % 50 + 1}")
    time.sleep(0.3)  # let them sound over one another
    program.click(STOP_ALL)
    program.click("特定按钮1")
    program.click("保存配置按钮1", post=True)  # hotkeys on; its box is modal
    chat_keys.wait_box(program, chat_keys.QUICK_ON_TITLE, chat_keys.QUICK_ON_TEXT)
    program.click("保存配置按钮2")  # and off
    program.click("特定按钮2")
    for button, caption in SECONDARY:
        program.click(button, post=True)  # its handler runs the window's modal loop
        program.wait_window(lambda w: w.visible, caption=caption, timeout=30, what=f"{caption} to open")
        program.close(caption)
        program.wait_window(lambda w: w.visible, timeout=30, what="the main window to come back")
        harness.wait_until(lambda: program.window(caption) is None, timeout=30,
                           what=f"{caption} to be destroyed")


def sample(program):
    counters = program.memory()
    unix = unix_status(program.proc.pid)
    return {"rss": counters.get("working_set", 0) / 2**20, "anon": counters.get("pagefile", 0) / 2**20,
            "handles": counters.get("handles", -1), "threads": counters.get("threads", -1),
            "fds": unix.get("fds", -1)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=100)
    bench_session.add_program_arguments(parser)
    args = parser.parse_args()

    config = bench_session.bench_config(args.exe, args.probe, args.site_host)
    pulse = pulse_capture.PrivatePulse(os.path.join(bench_session.BENCH_DIR, "soak-pulse")).start()
    session = harness.Session("soak", config)
    rows = []
    try:
        session.start()
        session.env["PULSE_SERVER"] = pulse.server
        program = session.launch()
        program.wait_for_main()
        program.wait_settled()
        first = sample(program)
        print(f"{'round':>5} {'RSS MiB':>8} {'anon MiB':>8} {'handles':>7} {'threads':>7} "
              f"{'fds':>5}  seconds", flush=True)
        print(f"{'start':>5} {first['rss']:8.1f} {first['anon']:8.1f} {first['handles']:7d} {first['threads']:7d} "
              f"{first['fds']:5d}", flush=True)
        for number in range(1, args.rounds + 1):
            started = time.monotonic()
            one_round(program, number)
            time.sleep(0.5)  # let finished workers be joined and devices closed
            row = sample(program)
            rows.append(row)
            print(f"{number:5d} {row['rss']:8.1f} {row['anon']:8.1f} {row['handles']:7d} {row['threads']:7d} "
                  f"{row['fds']:5d}  "
                  f"{time.monotonic() - started:.1f}", flush=True)
        program.stop()
    finally:
        session.stop()
        pulse.stop()

    if len(rows) <= SETTLED_ROUNDS:
        return 0
    settled, last = rows[SETTLED_ROUNDS - 1], rows[-1]
    print(f"growth from round {SETTLED_ROUNDS} to round {len(rows)} (goal: none):")
    for key, unit in (("rss", "MiB"), ("anon", "MiB"), ("handles", ""), ("threads", ""), ("fds", "")):
        median = statistics.median(r[key] for r in rows[SETTLED_ROUNDS - 1:])
        print(f"  {key:<8} {settled[key]:>8.1f} -> {last[key]:>8.1f} {unit:<3} (median of those rounds {median:.1f})")
    grew = last["anon"] - settled["anon"] > GROWTH_NOISE_MIB or any(
        last[k] > settled[k] for k in ("handles", "threads", "fds"))
    print("  verdict: " + ("GROWS" if grew else "no growth beyond noise"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
