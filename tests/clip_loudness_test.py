#!/usr/bin/python3
# Loudness matching on sounds that are hard for it: peaks at the very first sample, sparse
# cracks that need a lot of limiting, peaks between the samples, a clip too short for an
# integrated value, a quiet dense sound. Each must reach the target under the ceiling as the
# reference meter reads it, and a silent one must be refused.
import os
import sys
import unittest

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "resources", "clips"))

import loudness  # noqa: E402


def noise(seconds, rate, seed=1):
    return np.random.RandomState(seed).standard_normal(int(seconds * rate))


def cracks(seconds, rate):
    """Short loud cracks every half second over a faint hiss."""
    x = 0.001 * noise(seconds, rate)
    for at in np.arange(0.1, seconds, 0.5):
        start = int(at * rate)
        x[start:start + 40] += noise(40 / rate, rate, seed=start)[:40]
    return x


def first_sample_peak(seconds, rate):
    x = 0.01 * noise(seconds, rate)
    x[0] = 1.0
    return x


def quarter_rate_sine(seconds, rate):
    """A sine at a quarter of the rate sampled 45 degrees off its crests: the true peak is
    3 dB above every sample."""
    n = np.arange(int(seconds * rate))
    return np.sin(np.pi / 2 * n + np.pi / 4)


CASES = [
    # name, samples, rate, channels
    ("cracks", lambda r: cracks(3.0, r), 44100, 2),
    ("peak at the first sample", lambda r: first_sample_peak(1.0, r), 22050, 1),
    ("peaks between samples", lambda r: quarter_rate_sine(1.0, r), 11025, 1),
    ("shorter than a gating block", lambda r: 0.5 * noise(0.05, r), 48000, 2),
    ("quiet dense noise", lambda r: 0.001 * noise(2.0, r), 8000, 1),
]


class MatchTest(unittest.TestCase):
    def test_every_hard_sound_reaches_the_target_under_the_ceiling(self):
        for name, make, rate, channels in CASES:
            with self.subTest(name):
                x = make(rate)
                x = np.repeat(x[:, None], channels, axis=1) if channels == 2 else x
                y = loudness.match(x, rate)
                self.assertEqual(np.shape(y), np.shape(x))
                level = loudness.measure(y, rate)
                self.assertLess(abs(level.loudness - loudness.TARGET_LUFS), 0.5, level)
                self.assertLessEqual(level.true_peak, loudness.CEILING_DBTP, level)
                self.assertEqual(level.momentary, len(x) < 0.4 * rate)

    def test_a_silent_sound_is_refused(self):
        with self.assertRaises(loudness.LoudnessError):
            loudness.match(np.zeros(44100), 44100)

    def test_mono_reads_as_the_same_sound_on_both_speakers(self):
        x = 0.1 * noise(1.0, 44100)
        mono = loudness.measure(x, 44100).loudness
        stereo = loudness.measure(np.stack([x, x], axis=1), 44100).loudness
        self.assertAlmostEqual(mono, stereo, places=6)


if __name__ == "__main__":
    unittest.main()
