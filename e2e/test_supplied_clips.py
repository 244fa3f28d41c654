"""A maker's recording carried by the exe and heard for real: an exe made with a recordings
folder holding one spoken phrase (espeak-ng, turned into MP3 by ffmpeg) named by a button's
caption plays that phrase for the button, found again in what the private PulseAudio server
recorded, and the button beside it still plays its own clip."""

import os
import subprocess

import numpy as np

import harness
import pulse_capture
import sound_analysis
import supplied_exe
from harness import ProgramTest, wait_until
from pulse_capture import RATE, once_more_on_gap
from test_sound_board import correlate, find_copies, rms

CLIP_DIR = os.environ.get("ZANVORO_CLIP_DIR", "")
PHRASE = "Tobrin is laughing at every one of you tonight"
SUPPLIED_CLIP, SUPPLIED_BUTTON = "mc47.wav", "官方音按钮47"  # "Tobrin笑声", 3.53 s
NEIGHBOUR_CLIP, NEIGHBOUR_BUTTON = "mc48.wav", "官方音按钮48"
LOUD = 0.1  # far above the pilot tone's 0.05, far below either clip's peaks
PLAY_TIMEOUT_S = 20

_pulse = pulse_capture.ModulePulse("pulse-supplied")
_phrase = None


def make_recording(work):
    """The phrase as the test hears it (at the recording's rate) and the folder with its MP3."""
    sources = os.path.join(work, "sources")
    os.makedirs(sources, exist_ok=True)
    spoken = os.path.join(work, "phrase.wav")
    subprocess.run(["espeak-ng", "-v", "en-us", "-s", "150", "-w", spoken, PHRASE],
                   check=True, timeout=60)
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", spoken,
                    os.path.join(sources, "Tobrin笑声.mp3")], check=True, timeout=60)
    at_rate = os.path.join(work, "phrase-44k.wav")
    subprocess.run(["sox", spoken, "-r", str(RATE), at_rate], check=True, timeout=60)
    return sources, pulse_capture.read_wave(at_rate)


def setUpModule():
    global _phrase
    config = harness.Config.from_env()
    work = os.path.join(config.work_dir, "work", "supplied_clips_build")
    os.makedirs(work, exist_ok=True)
    sources, _phrase = make_recording(work)
    exe, table = supplied_exe.build(config.exe, sources, [SUPPLIED_CLIP], os.path.join(work, "exe"))
    print(table, flush=True)
    # The session starts the exe the environment names.
    os.environ["ZANVORO_WIN_EXE"] = exe
    _pulse.set_up()


tearDownModule = _pulse.tear_down


def start_of(template, recording):
    """Where the template lies best in the recording, in samples."""
    return int(np.argmax(correlate(recording, template)[:max(1, len(recording) - len(template) // 2)]))


def similarity(recording, template, block=2205, search=660):
    """How well the template explains the recording, from 1 (the same sound at any level) to
    about 0 (an unrelated one): the median, over the template's loud tenths of a second, of
    each block's normalised correlation with the recording, every block aligned on its own
    within `search` samples, since a loaded audio path shifts a stream now and then."""
    lag = start_of(template, recording)
    loudest = max(float(np.dot(template[i:i + block], template[i:i + block]))
                  for i in range(0, len(template), block))
    scores = []
    for offset in range(0, len(template) - block, block):
        part = template[offset:offset + block]
        low = max(0, lag + offset - search)
        stretch = recording[low:lag + offset + block + search]
        if np.dot(part, part) < 0.1 * loudest or len(stretch) < block:
            continue
        windows = np.lib.stride_tricks.sliding_window_view(stretch, block)
        norms = np.linalg.norm(windows, axis=1) * np.linalg.norm(part) + 1e-12
        scores.append(float(np.max(windows @ part / norms)))
    return float(np.median(scores)) if scores else 0.0


class SuppliedRecordingTest(ProgramTest):
    def setUp(self):
        if not CLIP_DIR:
            self.skipTest("ZANVORO_CLIP_DIR is not set")

    def record(self, button, clip):
        """What the speaker played after a click on `button` until it fell quiet, refused as a
        RecordingGap where the recording lost time while `clip` sounded."""
        program, _ = self.start()
        path = os.path.join(harness.session().dir, f"{self.id()}.wav")
        _pulse.start_recording(path)
        program.click(button)
        wait_until(lambda: sound_analysis.sounded_and_ended(path, LOUD), timeout=PLAY_TIMEOUT_S,
                   interval=0.25, what=f"{button}'s sound to be played")
        recording = _pulse.stop_recording()
        at = start_of(clip, recording) / RATE
        _pulse.require_whole(at, at + len(clip) / RATE)
        return recording

    @once_more_on_gap
    def test_the_button_plays_the_makers_recording(self):
        recording = self.record(SUPPLIED_BUTTON, _phrase)
        self.assertGreater(rms(recording), 0.01, "something was played")
        heard = similarity(recording, _phrase)
        synthesised = similarity(recording,
                                 pulse_capture.read_wave(os.path.join(CLIP_DIR, SUPPLIED_CLIP)))
        self.assertGreater(heard, 0.8, f"the phrase is in the recording (similarity {heard:.2f})")
        self.assertLess(synthesised, 0.4, f"not the synthesised clip (similarity {synthesised:.2f})")

    @once_more_on_gap
    def test_the_button_beside_it_still_plays_its_own_clip(self):
        own = pulse_capture.read_wave(os.path.join(CLIP_DIR, NEIGHBOUR_CLIP))
        recording = self.record(NEIGHBOUR_BUTTON, own)
        [(_, gain)], _ = find_copies(recording, own, 1)
        self.assertAlmostEqual(gain, 1.0, delta=0.2)
        heard, phrase = similarity(recording, own), similarity(recording, _phrase)
        self.assertGreater(heard, 0.8, f"its own clip is in the recording (similarity {heard:.2f})")
        self.assertLess(phrase, 0.4, f"not the maker's phrase (similarity {phrase:.2f})")


if __name__ == "__main__":
    harness.main()
