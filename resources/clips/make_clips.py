#!/usr/bin/python3
"""Synthesises every clip the program carries (the fifty of the MC sound page and the 46 of
the piano) as complete WAVE files in one folder. All clips are made in memory first and
written only when every one succeeded, so a failed run never leaves a half-new set behind."""

import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(1, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

import board  # noqa: E402
import piano  # noqa: E402
import synth  # noqa: E402
import wave_file  # noqa: E402
from file_output import write_all  # noqa: E402

# Button number: (channels, rate, bits, data bytes, builder). Clip 2 is Microsoft ADPCM.
BOARD = {
    1: (1, 11025, 8, 6903, board.qq_message),
    2: (1, 22050, 4, 9097, board.qq_alert),
    3: (2, 22050, 16, 230000, board.rooster),
    4: (2, 44100, 16, 677376, board.scratch),
    5: (2, 44100, 16, 539136, board.contempt),
    6: (2, 44100, 16, 3686400, board.whipping),
    7: (1, 22050, 16, 25344, board.burp),
    8: (2, 44100, 16, 299520, board.snore),
    9: (2, 44100, 16, 5732352, board.brawl),
    10: (2, 44100, 16, 92160, board.sneeze),
    11: (2, 44100, 16, 2087424, board.swords_drawn),
    12: (2, 44100, 16, 105984, board.busy_tone),
    13: (1, 44100, 16, 71424, board.fart),
    14: (2, 44100, 16, 944640, board.light_up),
    15: (2, 44100, 16, 82944, board.cocking),
    16: (2, 44100, 16, 50688, board.dog),
    17: (2, 44100, 16, 235008, board.drums),
    18: (1, 44100, 16, 55296, board.ghost_male),
    19: (1, 44100, 16, 142848, board.ghost_female),
    20: (1, 22050, 16, 213120, board.yawn),
    21: (2, 44100, 16, 737280, board.cheering_applause),
    22: (2, 44100, 16, 202752, board.machine_gun),
    23: (2, 44100, 16, 732672, board.thunderous_applause),
    24: (2, 44100, 16, 92160, board.cough),
    25: (2, 44100, 16, 1663488, board.scream),
    26: (2, 44100, 16, 852480, board.sly_laugh),
    27: (2, 44100, 16, 2755584, board.hotline),
    28: (2, 44100, 16, 322560, board.ambulance),
    29: (2, 44100, 16, 423936, board.gunshot),
    30: (1, 44100, 16, 2214144, board.moaning),
    31: (2, 44100, 16, 834048, board.gong),
    32: (2, 44100, 16, 396288, board.bell),
    33: (1, 44100, 16, 48384, board.kiss_quick),
    34: (1, 22050, 16, 125568, board.kiss_female),
    35: (2, 44100, 16, 658944, board.light_applause),
    36: (1, 11025, 16, 85248, board.sword_fight),
    37: (2, 44100, 16, 714240, board.crowd_laughing),
    38: (2, 44100, 16, 414720, board.pistol),
    39: (2, 44100, 16, 364032, board.crow),
    40: (1, 22050, 16, 81792, board.evil_laugh),
    41: (1, 22050, 16, 203904, board.heartbeat),
    42: (2, 44100, 16, 3792384, board.news_theme),
    43: (2, 44100, 16, 354816, board.counting),
    44: (2, 44100, 16, 1281024, board.baby_laugh),
    45: (2, 44100, 16, 1138176, board.glass),
    46: (2, 44100, 16, 903168, board.helicopter),
    47: (2, 44100, 16, 622080, board.tobrin_laugh),
    48: (2, 44100, 16, 354816, board.be_decent),
    49: (1, 22050, 16, 2545452, board.siren),
    50: (2, 44100, 16, 370000, board.thunder),
}
ADPCM_BLOCK_ALIGN = 512

# Effect keys: (channels, rate, bits, data bytes).
EFFECT_FORMATS = {
    "f1": (1, 22050, 8, 3697), "f2": (1, 11025, 8, 5352), "f3": (1, 11025, 8, 1353),
    "f4": (1, 11025, 8, 1933), "f5": (2, 44100, 16, 5000), "f6": (2, 48000, 16, 54868),
    "f7": (2, 48000, 16, 27832), "f8": (2, 48000, 16, 3176), "f9": (1, 11025, 8, 1246),
    "f10": (1, 11025, 8, 1961), "f11": (1, 22000, 16, 8574), "f12": (1, 11000, 8, 5977),
    "1": (1, 11025, 8, 3328), "2": (1, 11025, 8, 8946), "3": (1, 22255, 8, 18396),
    "4": (1, 8000, 8, 5664), "5": (2, 11025, 16, 9572), "6": (1, 11025, 8, 26280),
    "7": (1, 22050, 8, 17820), "8": (1, 11025, 8, 10208),
}
NOTE_FORMAT = (1, 11025, 16)


def shaped(samples, channels, frames, rate):
    """The builder's sound in the clip's channel count and exact length, at a common level."""
    if samples.ndim == 1 and channels == 2:
        samples = synth.stereo(samples)
    elif samples.ndim == 2 and channels == 1:
        samples = samples.mean(axis=1)
    # A gentle soft limit lifts the quiet parts next to the loudest hit, so clips that mix a
    # crack with a voice stay audible at one level.
    samples = synth.normalise(synth.fit(samples, frames, rate), 1.0)
    return synth.normalise(np.tanh(1.5 * samples), 0.7)


def board_clip(number):
    channels, rate, bits, data_bytes, builder = BOARD[number]
    if bits == 4:
        frames = adpcm_frames(data_bytes, ADPCM_BLOCK_ALIGN)
        samples = shaped(builder(rate, frames / rate), channels, frames, rate)
        return wave_file.ms_adpcm(samples, rate, ADPCM_BLOCK_ALIGN, data_bytes, "Zanvoro 2.0")
    frames = data_bytes // (channels * bits // 8)
    samples = shaped(builder(rate, frames / rate), channels, frames, rate)
    return wave_file.pcm(samples, rate, bits, data_bytes)


def adpcm_frames(data_bytes, block_align):
    """Samples that fill whole blocks and a short last block to exactly data_bytes."""
    from adpcm import HEADER_BYTES, samples_per_block
    full, rest = divmod(data_bytes, block_align)
    frames = full * samples_per_block(block_align)
    if rest:
        frames += (rest - HEADER_BYTES) * 2 + 2
    return frames


def effect_clip(key):
    channels, rate, bits, data_bytes = EFFECT_FORMATS[key]
    frames = data_bytes // (channels * bits // 8)
    samples = shaped(piano.EFFECTS[key](rate, frames / rate), channels, frames, rate)
    return wave_file.pcm(samples, rate, bits, data_bytes)


def note_clip(index):
    letter, frequency = piano.NOTES[index]
    channels, rate, bits = NOTE_FORMAT
    samples = piano.note(rate, frequency, seed=800 + index)
    return wave_file.pcm(samples, rate, bits, piano.NOTE_FRAMES * channels * bits // 8)


def all_clips():
    clips = {f"mc{n:02d}.wav": (board_clip, n) for n in BOARD}
    clips.update({f"note_{letter}.wav": (note_clip, i) for i, (letter, _) in enumerate(piano.NOTES)})
    clips.update({f"key_{key}.wav": (effect_clip, key) for key in EFFECT_FORMATS})
    return clips


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", help="folder that receives the clips")
    parser.add_argument("--only", nargs="*", default=None, help="make just these clips")
    parser.add_argument("--list", action="store_true", help="print the clip file names")
    args = parser.parse_args(argv)
    clips = all_clips()
    if args.list:
        print("\n".join(clips))
        return 0
    if not args.out:
        parser.error("--out is needed to make clips")
    names = args.only if args.only else list(clips)
    made = {}
    for name in names:
        make, key = clips[name]
        made[name] = make(key)
    write_all(args.out, made)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
