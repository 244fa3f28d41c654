"""What the voice changer's tests and benchmark share: a private PulseAudio with a microphone,
the spoken phrase played into it, and the take file each phrase makes."""

import os
import subprocess

import numpy as np

import pulse_capture
import sound_analysis
import winebox
from harness import wait_until
from pulse_capture import RATE

VOICE = "落Zanvoro变声器"  # the voice changer's caption
PHRASE = "大家好，欢迎来到我的直播间"
THRESHOLD = 200 / 32768  # the threshold box's initial "200", in full scale
# The phrase carries the sound tests' pilot tone, too quiet for any level reading to take it for
# sound: where the way into the microphone or out of it lost time on a starved machine, the take
# shows it as a gap in the pilot rather than as a program that lost the first syllable.
PHRASE_PILOT_LEVEL = THRESHOLD / 3


class VoicePulse(pulse_capture.PrivatePulse):
    """The speaker sink of the sound tests plus a microphone: a second null sink whose monitor
    is the default source, kept busy like the speaker so it delivers from the first moment."""

    def __init__(self, work_dir):
        super().__init__(work_dir)
        self.mic_keep_alive = None

    def start(self):
        super().start()
        for args in (("load-module", "module-null-sink", "sink_name=mic", f"rate={RATE}",
                      "channels=1", "sink_properties=device.description=mic"),
                     ("set-default-source", "mic.monitor")):
            result = self.pactl(*args)
            if result.returncode != 0:
                self.stop()
                raise pulse_capture.PulseError(f"pactl {' '.join(args)}: {result.stderr}")
        self.mic_keep_alive = self.keep_busy("mic")
        return self

    def speak(self, path):
        """Starts playing a file into the microphone; returns the running player."""
        return subprocess.Popen(["paplay", "--device=mic", path], env=self._env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def stop(self):
        winebox.end_process(self.mic_keep_alive)
        self.mic_keep_alive = None
        super().stop()


def spoken_phrase(path):
    """The phrase as espeak-ng says it, at the microphone's rate with 0.3 s of silence either
    side and the pilot throughout, written to `path`; returns its samples."""
    said = path + ".espeak.wav"
    subprocess.run(["espeak-ng", "-v", "cmn", "-w", said, PHRASE], check=True, timeout=60,
                   stdin=subprocess.DEVNULL, capture_output=True)
    subprocess.run(["sox", said, "-r", str(RATE), "-c", "1", "-b", "16", "-e", "signed", path,
                    "pad", "0.3", "0.3"], check=True, timeout=60, capture_output=True)
    pulse_capture.write_wave(path, pulse_capture.with_pilot(pulse_capture.read_wave(path),
                                                            PHRASE_PILOT_LEVEL))
    return pulse_capture.read_wave(path)


def take_gaps(take, end):
    """Where the take lost time before `end` (seconds into it), as pulse_capture.pilot_gaps. A
    stretch the way in filled with silence counts too: with the pilot always there, the phrase
    never holds a run of digital zeros, and a short one can leave the pilot's phase where it was
    (any whole number of 21 samples does)."""
    gaps = pulse_capture.pilot_gaps(take, PHRASE_PILOT_LEVEL) + silent_runs(take)
    return sorted((at, length) for at, length in gaps if at < end)


def silent_runs(samples, shortest=8):
    """Runs of at least `shortest` samples that are exactly zero, as [(start, length)] in
    seconds."""
    zero = np.concatenate(([False], samples == 0, [False]))
    edges = np.flatnonzero(np.diff(zero.astype(np.int8)))
    return [(start / RATE, (end - start) / RATE) for start, end in zip(edges[0::2], edges[1::2])
            if end - start >= shortest]


def start_listening(program):
    """Opens the voice changer from the main window and starts it listening."""
    program.click("特定按钮5", post=True)
    program.wait_window(lambda w: w.visible, caption=VOICE, what="the voice changer")
    program.click("保存配置按钮1", caption=VOICE)


def stop_listening(program):
    """Closes the voice changer. A take still recording is dropped unsaved, and the window goes
    only once every take's worker has finished, so nothing of it writes a take file afterwards."""
    program.close(VOICE)
    wait_until(lambda: program.window(VOICE) is None, what="the voice changer to close")


def first_take_of_phrase(pulse, program, take_path, phrase_path, phrase, timeout):
    """The samples of the first take the phrase makes while the voice changer listens, leaving
    it listening with no take of the phrase still running. A take ends after eleven quiet level
    readings and a reading is one sample, so now and then one ends within the phrase and its
    rest starts another, which would run on into the next phrase's take: then the window is
    closed, which drops that take, and opened again."""
    take = take_of_phrase(pulse, take_path, phrase_path, timeout)
    sounding = (sound_analysis.last_above(phrase, THRESHOLD)
                - sound_analysis.first_above(phrase, THRESHOLD))
    sound_end = sound_analysis.first_above(take, THRESHOLD) + sounding
    # A take that holds the whole phrase goes on for the quiet time after it; a second's slack
    # leaves no doubt.
    if len(take) < sound_end + RATE:
        stop_listening(program)
        start_listening(program)
    return take


def take_of_phrase(pulse, take_path, phrase_path, timeout):
    """Speaks the phrase once into the microphone and returns the samples of the take file it
    makes (removed first, so an earlier take is never mistaken for it)."""
    if os.path.exists(take_path):
        os.remove(take_path)
    player = pulse.speak(phrase_path)
    try:
        # The take file is swapped in whole once the take has ended.
        wait_until(lambda: os.path.exists(take_path), timeout=timeout,
                   what="the phrase's take file")
    finally:
        player.wait(30)
    return pulse_capture.read_wave(take_path)
