"""Sound benchmark under Wine with a private PulseAudio as the output device (not a test).

Prints, from the real waveOut layer: the time the GUI thread spends on one click of the
largest built-in clip, and the memory each sounding playback holds, with 1, 10 and 50
playbacks overlapping. Needs the cross build (scripts/build.sh); builds sound_bench itself.
"""

import argparse
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import pulse_capture  # noqa: E402
import winebox  # noqa: E402

BENCH_DIR = os.path.join(ROOT, "build", "bench-sound")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win"))
    args = parser.parse_args()

    subprocess.run(["cmake", "--build", args.win_build, "--target", "sound_bench"], check=True)
    exe = os.path.join(args.win_build, "bench", "sound_bench.exe")
    prefix, home, log = bench_session.headless_prefix(BENCH_DIR)

    pulse = pulse_capture.PrivatePulse(os.path.join(BENCH_DIR, "pulse")).start()
    try:
        env = winebox.wine_env(prefix, None, home, {"PULSE_SERVER": pulse.server})
        out = os.path.join(BENCH_DIR, "figures.txt")
        if os.path.exists(out):
            os.remove(out)
        winebox.run_wine(["wine", exe, winebox.win_path(out)], env, log, timeout=300)
        winebox.stop_server(env, log)
    finally:
        pulse.stop()
    with open(out, encoding="utf-8") as f:
        print(f.read(), end="")
    return 0


if __name__ == "__main__":
    sys.exit(main())
