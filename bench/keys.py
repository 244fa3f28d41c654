"""Key benchmark of zanvoro.exe under Wine + Xvfb with a private PulseAudio (not a test).

Prints: how long quick-send takes from a press of F3 to the chat line arriving in the tests' chat
box (Enter, paste, Enter all handled there), and, for a fast run of piano keys, how evenly the
notes start against the keys' even spacing, which shows whether ringing notes hold later ones
up. Needs both builds (./test.sh or scripts/build.sh). Uses its own prefix in build/bench.
"""

import argparse
import os
import statistics
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import harness  # noqa: E402
import pulse_capture  # noqa: E402
from chat_keys import (CONFIG_NAME, DATA_FOLDER, QUICK_ON_TEXT, QUICK_ON_TITLE, ChatBox,  # noqa: E402
                       config_bytes, wait_box, xdotool)
from sound_analysis import clip_at_recording_rate, tone_copy  # noqa: E402

TEXT = "谢谢老板的礼物！666"
# Notes whose fundamentals lie at least 15 Hz from each other's and from each other's first
# harmonics, so each is followed on its own.
NOTE_PITCHES = {"q": 120.3, "e": 151.6, "s": 180.3, "z": 202.3, "t": 270.1, "f": 321.2,
                "n": 911.0, "k": 1219.6, "m": 1450.4}
RUN = [(key, f"note_{key}.wav", pitch) for key, pitch in NOTE_PITCHES.items()]
RUN_GAP_MS = 60


def start_program(session):
    d_dir = os.path.join(session.dir, "d")
    os.makedirs(os.path.join(d_dir, DATA_FOLDER), exist_ok=True)
    with open(os.path.join(d_dir, DATA_FOLDER, CONFIG_NAME), "wb") as f:
        f.write(config_bytes(["", "", TEXT]))
    program = session.launch(d_dir)
    program.wait_for_main()
    return program


def quick_send_times(program, chat, presses):
    program.click("保存配置按钮1", post=True)
    wait_box(program, QUICK_ON_TITLE, QUICK_ON_TEXT)
    times = []
    for _ in range(presses):
        chat.focus()
        mark = len(chat.lines())
        started = time.monotonic()
        xdotool("key", "F3")
        while "send:" + TEXT not in chat.lines()[mark:]:
            if time.monotonic() - started > 10:
                raise RuntimeError("the chat line never arrived")
            time.sleep(0.001)
        times.append(time.monotonic() - started)
    return times


def piano_on(program):
    program.click("特定按钮4", post=True)
    program.wait_window(lambda w: w.visible, caption="Zanvoro模拟钢琴")
    program.click("保存配置按钮1", caption="Zanvoro模拟钢琴", post=True)
    wait_box(program, "温馨提示", "模拟钢琴开启成功！现在就演奏吧~！")
    xdotool("key", "1")  # the first playback also opens Wine's audio path
    time.sleep(1.0)


def piano_run_gaps(pulse, clip_dir, work_dir, attempts=3):
    """How far apart the notes of one fast run start; a run whose recording lost time is played
    again (at most `attempts` in all), since its spacing would say nothing about the program."""
    for attempt in range(attempts):
        pulse.start_recording(os.path.join(work_dir, "run.wav"))
        xdotool("key", "--delay", str(RUN_GAP_MS), *[key for key, _, _ in RUN])
        time.sleep(3.5)
        recording = pulse.stop_recording()
        try:
            pulse.require_whole()
            break
        except pulse_capture.RecordingGap as gap:
            print(f"piano run played again: {gap}", file=sys.stderr)
    else:
        raise SystemExit(f"every one of {attempts} piano runs lost time in the recording")
    starts = []
    for _, name, pitch in RUN:
        clip = clip_at_recording_rate(os.path.join(clip_dir, name), os.path.join(work_dir, name))
        starts.append(tone_copy(recording, clip, pitch)[0])
    return [(b - a) * 1000 for a, b in zip(starts, starts[1:])]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--runs", type=int, default=3, help="fast runs of piano keys")
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win"))
    parser.add_argument("--clip-dir", default=os.path.join(ROOT, "build", "native", "clips"))
    parser.add_argument("--site-host", default="127.0.0.1:18080", help="as the exe was built")
    args = parser.parse_args()

    bench_session.program_config(args.win_build, args.site_host)
    pulse = pulse_capture.start_with_session("pulse-keys")
    try:
        session = harness.session()
        program = start_program(session)
        chat = ChatBox(program.dir)
        try:
            times = quick_send_times(program, chat, args.presses)
            piano_on(program)
            runs = [piano_run_gaps(pulse, os.path.abspath(args.clip_dir), session.dir)
                    for _ in range(args.runs)]
        finally:
            chat.stop()
    finally:
        harness.stop_session()
        pulse.stop()

    ms = sorted(t * 1000 for t in times)
    print(f"quick-send, F3 pressed to the chat line sent: median {statistics.median(ms):.0f} ms, "
          f"max {ms[-1]:.0f} ms over {len(ms)} presses (xdotool start and 1 ms polling included)")
    for gaps in runs:
        print(f"piano, {len(RUN)} keys {RUN_GAP_MS} ms apart: note starts "
              f"{', '.join(f'{g:.0f}' for g in gaps)} ms apart "
              f"(mean {statistics.mean(gaps):.0f}, largest {max(gaps):.0f}; each read to about "
              f"10 ms, more when the loaded machine makes Wine's audio stutter)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
