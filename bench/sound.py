"""Sound benchmark under Wine with a private PulseAudio as the output device (not a test).

Prints, through the sound board and the real output layer, with 1, 10 and 50 playbacks of the
largest built-in clip overlapping: the time the GUI thread spends on one click, the memory each
sounding playback holds beyond its samples, the process's threads, the processor time per
playback, and how long stop all and the wait at exit take. Needs the cross build
(scripts/build.sh); builds sound_bench itself. With --baseline OLD_EXE (a sound_bench.exe kept
from an earlier build) both run on the same PulseAudio server, one after the other, each figure
of the old one is printed above the same figure of the new one, and a table puts the main
figures side by side.
"""

import argparse
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import pulse_capture  # noqa: E402
import winebox  # noqa: E402

BENCH_DIR = os.path.join(ROOT, "build", "bench-sound")


def run(exe, env, log, name):
    """The figures one sound_bench.exe writes, as lines."""
    out = os.path.join(BENCH_DIR, name)
    if os.path.exists(out):
        os.remove(out)
    winebox.run_wine(["wine", exe, winebox.win_path(out)], env, log, timeout=300)
    with open(out, encoding="utf-8") as f:
        return f.read().splitlines()


def keyed(lines):
    """Each line under what it is about (the words before its first colon, or before its first
    figure) and how many lines about the same thing came before it."""
    seen = {}
    for line in lines:
        about = (line.split(":", 1)[0] if ":" in line else re.split(r"\d", line, 1)[0]).strip()
        seen[about] = seen.get(about, 0) + 1
        yield (about, seen[about]), line


def side_by_side(before, after):
    """Each line of `after` below the line of `before` about the same thing; lines only one of
    them printed stand alone."""
    old = dict(keyed(before))
    for key, line in keyed(after):
        if key in old:
            print("before " + old.pop(key))
            print("after  " + line)
        else:
            print("new    " + line)
    for line in old.values():
        print("gone   " + line)


# The main figures of a count's line: (label, pattern of the figure).
FIGURES = [
    ("GUI time per click, median (ms)", r"click on the GUI thread median ([\d.]+) ms"),
    ("memory per playback beyond its samples (KiB)", r"([-\d.]+) KiB per playback beyond"),
    ("threads while sounding", r"(\d+) while sounding"),
    ("processor per playback (% of a core)", r"([-\d.]+)% per playback"),
    ("stop all and wait (ms)", r"with the wait at exit ([\d.]+) ms"),
]


def figures(lines):
    """{count: {label: value}} from the lines "N overlapping: ..."."""
    table = {}
    for line in lines:
        match = re.match(r"\s*(\d+) overlapping:", line)
        if not match:
            continue
        row = {}
        for label, pattern in FIGURES:
            found = re.search(pattern, line)
            row[label] = found.group(1) if found else "-"
        table[int(match.group(1))] = row
    return table


def table(before, after):
    old, new = figures(before), figures(after)
    print(f"\n{'':47}{'sounding':>9}{'before':>12}{'after':>12}")
    for label, _ in FIGURES:
        for count in sorted(new):
            print(f"{label:47}{count:>9}{old.get(count, {}).get(label, '-'):>12}"
                  f"{new[count][label]:>12}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win"))
    parser.add_argument("--baseline", help="an earlier sound_bench.exe to compare with")
    args = parser.parse_args()

    subprocess.run(["cmake", "--build", args.win_build, "--target", "sound_bench"], check=True)
    exe = os.path.join(args.win_build, "bench", "sound_bench.exe")
    prefix, home, log = bench_session.headless_prefix(BENCH_DIR)

    pulse = pulse_capture.PrivatePulse(os.path.join(BENCH_DIR, "pulse")).start()
    try:
        env = winebox.wine_env(prefix, None, home, {"PULSE_SERVER": pulse.server})
        before = run(args.baseline, env, log, "baseline.txt") if args.baseline else None
        after = run(exe, env, log, "figures.txt")
        winebox.stop_server(env, log)
    finally:
        pulse.stop()
    if before is None:
        print("\n".join(after))
    else:
        side_by_side(before, after)
        table(before, after)
    return 0


if __name__ == "__main__":
    sys.exit(main())
