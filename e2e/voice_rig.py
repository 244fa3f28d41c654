"""What the voice changer's tests and benchmark share: a private PulseAudio with a microphone,
the spoken phrase played into it, and the take file each phrase makes."""

import os
import subprocess

import pulse_capture
import winebox
from harness import wait_until
from pulse_capture import RATE

VOICE = "落Zanvoro变声器"  # the voice changer's caption
PHRASE = "大家好，欢迎来到我的直播间"
THRESHOLD = 200 / 32768  # the threshold box's initial "200", in full scale


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
    side, written to `path`; returns its samples."""
    said = path + ".espeak.wav"
    subprocess.run(["espeak-ng", "-v", "cmn", "-w", said, PHRASE], check=True, timeout=60,
                   stdin=subprocess.DEVNULL, capture_output=True)
    subprocess.run(["sox", said, "-r", str(RATE), "-c", "1", "-b", "16", "-e", "signed", path,
                    "pad", "0.3", "0.3"], check=True, timeout=60, capture_output=True)
    return pulse_capture.read_wave(path)


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
