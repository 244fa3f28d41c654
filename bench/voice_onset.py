"""Voice changer benchmark under Wine + Xvfb with a private PulseAudio microphone (not a test).

Speaks a Chinese phrase (espeak-ng) into the microphone again and again while the voice changer
listens and prints, over the takes, how much of the phrase's sound each take file left out at
its start (median and worst) and how long before the sound each take began. Needs both builds
(./test.sh or scripts/build.sh). Uses its own prefix in build/bench.
"""

import argparse
import os
import shutil
import statistics
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import harness  # noqa: E402
import pulse_capture  # noqa: E402
import sound_analysis  # noqa: E402
import voice_rig  # noqa: E402


def listening(session):
    """The program with the voice changer open and listening; returns (program, take path)."""
    d_dir = os.path.join(session.dir, "d")
    os.makedirs(d_dir, exist_ok=True)
    program = session.launch(d_dir)
    program.wait_for_main()
    program.wait_settled()
    voice_rig.start_listening(program)
    return program, os.path.join(d_dir, "Zanvoro助手", "1.wav")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--takes", type=int, default=10)
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win"))
    parser.add_argument("--site-host", default="127.0.0.1:18080", help="as the exe was built")
    args = parser.parse_args()

    bench_session.program_config(args.win_build, args.site_host)
    pulse = pulse_capture.start_with_session("pulse-voice-bench", voice_rig.VoicePulse)
    missed, leads = [], []
    try:
        session = harness.session()
        program, take_path = listening(session)
        try:
            phrase_path = os.path.join(session.dir, "phrase-mic.wav")
            phrase = voice_rig.spoken_phrase(phrase_path)
            for _ in range(args.takes):
                take = voice_rig.first_take_of_phrase(pulse, program, take_path, phrase_path,
                                                      phrase, timeout=30)
                shutil.copy(take_path, os.path.join(session.dir, f"take-{len(missed) + 1}.wav"))
                gone, lead, _ = sound_analysis.speech_missed(take, phrase, voice_rig.THRESHOLD)
                missed.append(gone)
                leads.append(lead)
        finally:
            program.stop()
    finally:
        harness.stop_session()
        pulse.stop()

    ms = sorted(1000 * m for m in missed)
    print(f"speech missed at the start of a take: median {statistics.median(ms):.0f} ms, "
          f"worst {ms[-1]:.0f} ms over {len(ms)} takes of \"{voice_rig.PHRASE}\"")
    print("each take, ms missed: " + ", ".join(f"{1000 * m:.0f}" for m in missed))
    print("take began before the phrase's first sound above the threshold: median "
          f"{1000 * statistics.median(leads):.0f} ms (from "
          f"{1000 * min(leads):.0f} to {1000 * max(leads):.0f} ms; the lead-in is 100 ms)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
