"""Spoken captions rendered with espeak-ng at build time. The same text, voice and settings
give the same samples on every run."""

import shutil
import subprocess

import numpy as np

import synth


class SpeechError(RuntimeError):
    pass


def espeak_binary():
    found = shutil.which("espeak-ng")
    if not found:
        raise SpeechError("espeak-ng is not installed (Debian package espeak-ng)")
    return found


def say(text, rate, voice="cmn", speed=170, pitch=50, gap=0):
    """Speech as float samples at `rate`. Mandarin voice "cmn", English "en-us"; a "+f2" style
    suffix picks a female variant."""
    args = [espeak_binary(), "-v", voice, "-s", str(speed), "-p", str(pitch), "-g", str(gap),
            "--stdout", text]
    done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if done.returncode != 0 or not done.stdout:
        raise SpeechError(f"espeak-ng failed for {text!r}: {done.stderr.decode(errors='replace')}")
    # espeak-ng streams a canonical 16-bit mono WAVE whose sizes it cannot know in advance, so
    # take the rate from the header and the samples from everything after it.
    data = done.stdout
    if len(data) < 44 or data[:4] != b"RIFF" or data[36:40] != b"data":
        raise SpeechError(f"espeak-ng gave no WAVE for {text!r}")
    source_rate = int.from_bytes(data[24:28], "little")
    body = data[44:]
    samples = np.frombuffer(body[:len(body) - len(body) % 2], dtype="<i2")
    samples = samples.astype(np.float64) / 32768.0
    return resample(samples, source_rate, rate)


def resample(samples, source_rate, rate):
    if source_rate == rate or len(samples) == 0:
        return samples
    if rate < source_rate:
        samples = synth.band(samples, source_rate, high=rate * 0.45, order=4)
    count = int(round(len(samples) * rate / source_rate))
    return np.interp(np.arange(count) * source_rate / rate, np.arange(len(samples)), samples)


def telephone(samples, rate):
    """The narrow band of a phone line."""
    return synth.band(samples, rate, low=300, high=3400, order=3)
