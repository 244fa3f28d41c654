#!/usr/bin/python3
# A maker's recordings through the clip build: longer and shorter than their clip, stereo for a
# mono clip and mono for a stereo one, each in a format only ffmpeg reads, come out in the
# clip's exact format at one loudness and sound like the recording; a file ffmpeg cannot decode
# stops the build naming it; a file named like no clip is reported and left alone.
import os
import re
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
CLIPS = os.path.join(os.path.dirname(HERE), "resources", "clips")
sys.path.insert(0, CLIPS)

import loudness  # noqa: E402
import make_clips  # noqa: E402

MAKE = [sys.executable, os.path.join(CLIPS, "make_clips.py")]

# file name, its channels, seconds, tone (Hz); the clip it is for, that clip's channels, rate,
# bits and data bytes.
CASES = [
    ("狗叫.flac", 2, 2.0, 700.0, "mc16.wav", 2, 44100, 16, 50688),        # longer, cut
    ("Tobrin笑声.ogg", 2, 1.0, 900.0, "mc47.wav", 2, 44100, 16, 622080),  # shorter, padded
    ("亲嘴声（敷衍）.mp3", 2, 0.3, 1100.0, "mc33.wav", 1, 44100, 16, 48384),  # stereo to mono
    ("f2.wav", 1, 0.3, 600.0, "key_f2.wav", 1, 11025, 8, 5352),           # 8 bits
    ("鼓声.m4a", 1, 1.0, 400.0, "mc17.wav", 2, 44100, 16, 235008),        # mono to stereo
]


def write_source(folder, name, channels, seconds, freq):
    """A tone at a level far from the target, saved through ffmpeg in the name's format."""
    rate = 48000
    t = np.arange(int(seconds * rate)) / rate
    tone = 0.05 * np.sin(2 * np.pi * freq * t)
    frames = np.repeat(tone[:, None], channels, axis=1)
    plain = os.path.join(folder, "plain.wav")
    with wave.open(plain, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(np.round(frames * 32767).astype("<i2").tobytes())
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", plain,
                    os.path.join(folder, name)], check=True)
    os.remove(plain)


def read_clip(path):
    with wave.open(path) as w:
        channels, bits, rate = w.getnchannels(), w.getsampwidth() * 8, w.getframerate()
        data = w.readframes(w.getnframes())
    if bits == 8:
        x = (np.frombuffer(data, np.uint8).astype(np.float64) - 128) / 127
    else:
        x = np.frombuffer(data, "<i2") / 32767
    return x.reshape(-1, channels), rate, bits, len(data)


def dominant(x, rate):
    mono = x.mean(axis=1)
    spectrum = np.abs(np.fft.rfft(mono * np.hanning(len(mono))))
    return float(np.fft.rfftfreq(len(mono), 1 / rate)[np.argmax(spectrum)])


def make(sources, out, only):
    return subprocess.run(MAKE + ["--out", out, "--sources", sources, "--only"] + only,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, check=False)


class SuppliedRecordingsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.sources = os.path.join(cls.work.name, "sources")
        os.makedirs(cls.sources)
        for name, channels, seconds, freq, *_ in CASES:
            write_source(cls.sources, name, channels, seconds, freq)
        with open(os.path.join(cls.sources, "猫叫.wav"), "wb") as f:
            f.write(b"not a clip of this program")
        cls.out = os.path.join(cls.work.name, "out")
        cls.done = make(cls.sources, cls.out, [case[4] for case in CASES])

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def test_each_recording_becomes_its_clip_exactly(self):
        self.assertEqual(self.done.returncode, 0, self.done.stderr)
        for name, _, seconds, freq, clip, channels, rate, bits, data_bytes in CASES:
            with self.subTest(source=name):
                x, got_rate, got_bits, got_bytes = read_clip(os.path.join(self.out, clip))
                self.assertEqual((x.shape[1], got_rate, got_bits, got_bytes),
                                 (channels, rate, bits, data_bytes))
                self.assertAlmostEqual(dominant(x, rate), freq, delta=rate / len(x) * 2 + 2)
                level = loudness.measure(x, rate)
                self.assertLess(abs(level.loudness - loudness.TARGET_LUFS), 1.5)
                self.assertLessEqual(level.true_peak, loudness.CEILING_DBTP)
                if channels == 2:
                    np.testing.assert_allclose(x[:, 0], x[:, 1], atol=1e-3)
                clip_seconds = len(x) / rate
                if seconds > clip_seconds:
                    # Cut with a fade: no click at the end.
                    self.assertLess(np.max(np.abs(x[-3:])), 0.05)
                else:
                    tail = x[int((seconds + 0.05) * rate):]
                    self.assertTrue(len(tail) and np.max(np.abs(tail)) < 1e-3, "padded with silence")
                self.assertIn(name, self.done.stdout, "the table names the recording")

    def test_a_file_named_like_no_clip_is_reported_and_left_alone(self):
        self.assertEqual(self.done.returncode, 0, self.done.stderr)
        self.assertIn("ignored 猫叫.wav", self.done.stdout)

    def test_an_undecodable_file_stops_the_build_and_names_the_file(self):
        with tempfile.TemporaryDirectory() as work:
            sources = os.path.join(work, "sources")
            os.makedirs(sources)
            with open(os.path.join(sources, "电话占线.wav"), "wb") as f:
                f.write(b"RIFF\x10\0\0\0WAVEfmt garbage")
            done = make(sources, os.path.join(work, "out"), ["mc12.wav"])
            self.assertNotEqual(done.returncode, 0)
            self.assertIn("电话占线.wav: cannot be decoded", done.stderr)
            self.assertFalse(os.path.exists(os.path.join(work, "out")), "nothing written")

    def test_an_empty_or_absent_folder_gives_the_synthesised_clip(self):
        with tempfile.TemporaryDirectory() as work:
            empty = os.path.join(work, "empty")
            os.makedirs(empty)
            made = []
            for folder in (empty, os.path.join(work, "absent"), ""):
                out = os.path.join(work, f"out{len(made)}")
                done = make(folder, out, ["key_f3.wav"])
                self.assertEqual(done.returncode, 0, done.stderr)
                with open(os.path.join(out, "key_f3.wav"), "rb") as f:
                    made.append(f.read())
            self.assertEqual(made[0], made[2])
            self.assertEqual(made[1], made[2])


class LabelTest(unittest.TestCase):
    def test_recordings_are_named_by_the_captions_the_buttons_show(self):
        # A caption that differs from its button's would send a maker's file to no clip.
        with open(os.path.join(os.path.dirname(HERE), "ui", "catalogue_main.cpp"),
                  encoding="utf-8") as f:
            table = re.search(r"kSoundCaptions\[52\] = \{(.*?)\};", f.read(), re.S).group(1)
        shown = re.findall(r'"([^"]*)"', table)[:50]
        made = [make_clips.BOARD[n][0] for n in range(1, 51)]
        self.assertEqual(made, shown)


if __name__ == "__main__":
    unittest.main()
