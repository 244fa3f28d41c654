#!/usr/bin/python3
"""Makes every clip the program carries (the fifty of the MC sound page and the 46 of the
piano) as complete WAVE files in one folder: synthesised, or from a maker's own recording in
--sources named by the clip's caption or key. Every clip but the notes is brought to one
loudness, and a table of each clip's loudness and peak is printed. All clips are made in memory
first and written only when every one succeeded, so a failed run never leaves a half-new set
behind."""

import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(1, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

import board  # noqa: E402
import loudness  # noqa: E402
import piano  # noqa: E402
import sources  # noqa: E402
import synth  # noqa: E402
import wave_file  # noqa: E402
from adpcm import HEADER_BYTES, decode as adpcm_decode, samples_per_block  # noqa: E402
from file_output import write_all  # noqa: E402

# Button number: (caption, channels, rate, bits, data bytes, builder). Clip 2 is Microsoft ADPCM.
# A maker's recording named by the caption replaces the builder's sound.
BOARD = {
    1: ("QQ消息音", 1, 11025, 8, 6903, board.qq_message),
    2: ("QQ提示音", 1, 22050, 4, 9097, board.qq_alert),
    3: ("公鸡叫早", 2, 22050, 16, 230000, board.rooster),
    4: ("搓碟", 2, 44100, 16, 677376, board.scratch),
    5: ("鄙视声音", 2, 44100, 16, 539136, board.contempt),
    6: ("鞭打男人", 2, 44100, 16, 3686400, board.whipping),
    7: ("打饱嗝声", 1, 22050, 16, 25344, board.burp),
    8: ("打呼噜", 2, 44100, 16, 299520, board.snore),
    9: ("打架现场声音", 2, 44100, 16, 5732352, board.brawl),
    10: ("打喷嚏", 2, 44100, 16, 92160, board.sneeze),
    11: ("刀剑出鞘", 2, 44100, 16, 2087424, board.swords_drawn),
    12: ("电话占线", 2, 44100, 16, 105984, board.busy_tone),
    13: ("放屁", 1, 44100, 16, 71424, board.fart),
    14: ("非诚勿扰亮灯", 2, 44100, 16, 944640, board.light_up),
    15: ("给枪上膛", 2, 44100, 16, 82944, board.cocking),
    16: ("狗叫", 2, 44100, 16, 50688, board.dog),
    17: ("鼓声", 2, 44100, 16, 235008, board.drums),
    18: ("鬼叫声(男)", 1, 44100, 16, 55296, board.ghost_male),
    19: ("鬼叫声(女)", 1, 44100, 16, 142848, board.ghost_female),
    20: ("哈欠声", 1, 22050, 16, 213120, board.yawn),
    21: ("欢呼掌声", 2, 44100, 16, 737280, board.cheering_applause),
    22: ("机枪扫射", 2, 44100, 16, 202752, board.machine_gun),
    23: ("激烈掌声", 2, 44100, 16, 732672, board.thunderous_applause),
    24: ("男人咳嗽声", 2, 44100, 16, 92160, board.cough),
    25: ("尖叫声", 2, 44100, 16, 1663488, board.scream),
    26: ("贱笑", 2, 44100, 16, 852480, board.sly_laugh),
    27: ("精神病热线", 2, 44100, 16, 2755584, board.hotline),
    28: ("救护车", 2, 44100, 16, 322560, board.ambulance),
    29: ("开枪", 2, 44100, 16, 423936, board.gunshot),
    30: ("女人呻吟声", 1, 44100, 16, 2214144, board.moaning),
    31: ("敲锣声音", 2, 44100, 16, 834048, board.gong),
    32: ("敲钟声", 2, 44100, 16, 396288, board.bell),
    33: ("亲嘴声(敷衍)", 1, 44100, 16, 48384, board.kiss_quick),
    34: ("亲嘴声(女)", 1, 22050, 16, 125568, board.kiss_female),
    35: ("轻微掌声", 2, 44100, 16, 658944, board.light_applause),
    36: ("群斗剑击", 1, 11025, 16, 85248, board.sword_fight),
    37: ("群众笑声", 2, 44100, 16, 714240, board.crowd_laughing),
    38: ("手枪声音", 2, 44100, 16, 414720, board.pistol),
    39: ("乌鸦飞过", 2, 44100, 16, 364032, board.crow),
    40: ("邪恶的笑", 1, 22050, 16, 81792, board.evil_laugh),
    41: ("心跳声", 1, 22050, 16, 203904, board.heartbeat),
    42: ("新闻联播", 2, 44100, 16, 3792384, board.news_theme),
    43: ("英文正数", 2, 44100, 16, 354816, board.counting),
    44: ("婴儿笑声", 2, 44100, 16, 1281024, board.baby_laugh),
    45: ("砸玻璃声音", 2, 44100, 16, 1138176, board.glass),
    46: ("直升飞机", 2, 44100, 16, 903168, board.helicopter),
    47: ("Tobrin笑声", 2, 44100, 16, 622080, board.tobrin_laugh),
    48: ("做人要厚道点", 2, 44100, 16, 354816, board.be_decent),
    49: ("警报声", 1, 22050, 16, 2545452, board.siren),
    50: ("雷声", 2, 44100, 16, 370000, board.thunder),
}
# 500 samples a block: a mixer such as XAudio2 decodes blocks of 32 to 512 samples only, and
# plays 0 samples of a clip with longer ones.
ADPCM_BLOCK_ALIGN = 256

# Effect keys: (channels, rate, bits, data bytes). A recording named by the key ("F1", "3")
# replaces the sound.
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


class Clip:
    """One clip to make: its file name, the label a maker's recording is named by (None for the
    notes, which no recording replaces), its format, and the synthesiser of its sound."""

    def __init__(self, name, label, channels, rate, bits, data_bytes, builder):
        self.name, self.label = name, label
        self.channels, self.rate, self.bits, self.data_bytes = channels, rate, bits, data_bytes
        self.builder = builder

    @property
    def matched(self):
        """The notes keep their own strike and decay; every other clip gets one loudness."""
        return self.label is not None

    @property
    def frames(self):
        if self.bits == 4:
            return adpcm_frames(self.data_bytes, ADPCM_BLOCK_ALIGN)
        return self.data_bytes // (self.channels * self.bits // 8)

    @property
    def sounding_frames(self):
        """The frames that carry sound. A mixer is handed whole blocks only, so the short block
        that ends an ADPCM clip holds silence."""
        if self.bits == 4:
            return self.data_bytes // ADPCM_BLOCK_ALIGN * samples_per_block(ADPCM_BLOCK_ALIGN)
        return self.frames

    def fit(self, samples):
        """Cut (with a short fade) or padded to the sounding frames, then silence to the end."""
        samples = synth.fit(samples, self.sounding_frames, self.rate)
        rest = [(0, self.frames - self.sounding_frames)] + [(0, 0)] * (samples.ndim - 1)
        return np.pad(samples, rest)

    def synthesised(self):
        """The builder's sound in the clip's shape. A gentle soft limit lifts the quiet parts
        next to the loudest hit, so clips that mix a crack with a voice keep the voice."""
        samples = in_channels(self.builder(self.rate, self.frames / self.rate), self.channels)
        samples = synth.normalise(self.fit(samples), 1.0)
        return np.tanh(1.5 * samples)

    def encode(self, samples):
        if self.bits == 4:
            return wave_file.ms_adpcm(np.reshape(samples, -1), self.rate, ADPCM_BLOCK_ALIGN,
                                      self.data_bytes, "Zanvoro 2.0")
        return wave_file.pcm(samples, self.rate, self.bits, self.data_bytes)

    def heard(self, wave):
        """What a player makes of the clip's bytes, for measuring the finished clip."""
        if self.bits == 4:
            start = wave.index(b"data") + 8
            codes = adpcm_decode(wave[start:start + self.data_bytes], ADPCM_BLOCK_ALIGN, self.frames)
            return codes / 32767.0
        # Canonical PCM clips end on their data chunk.
        return wave_file.pcm_samples(wave[-self.data_bytes:], self.channels, self.bits)


def in_channels(samples, channels):
    """(frames, channels): a mono sound doubled, a stereo one averaged, as the clip needs."""
    if samples.ndim == 1:
        samples = samples[:, None]
    if samples.shape[1] == channels:
        return samples
    return samples.mean(axis=1, keepdims=True) if channels == 1 else np.repeat(samples, channels, axis=1)


def adpcm_frames(data_bytes, block_align):
    """Samples that fill whole blocks and a short last block to exactly data_bytes."""
    full, rest = divmod(data_bytes, block_align)
    frames = full * samples_per_block(block_align)
    if rest:
        frames += (rest - HEADER_BYTES) * 2 + 2
    return frames


def clips():
    """Every clip by file name."""
    made = {}
    for n, (caption, channels, rate, bits, data_bytes, builder) in BOARD.items():
        made[f"mc{n:02d}.wav"] = Clip(f"mc{n:02d}.wav", caption, channels, rate, bits, data_bytes,
                                      builder)
    channels, rate, bits = NOTE_FORMAT
    for index, (letter, frequency) in enumerate(piano.NOTES):
        def note(rate, _seconds, frequency=frequency, index=index):
            return piano.note(rate, frequency, seed=800 + index)
        made[f"note_{letter}.wav"] = Clip(f"note_{letter}.wav", None, channels, rate, bits,
                                          piano.NOTE_FRAMES * channels * bits // 8, note)
    for key, (channels, rate, bits, data_bytes) in EFFECT_FORMATS.items():
        made[f"key_{key}.wav"] = Clip(f"key_{key}.wav", key.upper(), channels, rate, bits,
                                      data_bytes, piano.EFFECTS[key])
    return made


def matched_clip(clip, samples):
    """The clip's bytes at one loudness, and its Level as measured on those bytes. Quantising
    and ADPCM coding move the peaks a little; where that crosses the ceiling the limiter aims
    lower and the clip is made again."""
    aim = loudness.CEILING_DBTP - loudness.HEADROOM_DB
    for _ in range(4):
        try:
            matched = loudness.match(samples, clip.rate, aim)
        except loudness.LoudnessError as error:
            raise loudness.LoudnessError(f"{clip.name}: {error}") from error
        wave = clip.encode(matched)
        level = loudness.measure(clip.heard(wave), clip.rate)
        if level.true_peak <= loudness.CEILING_DBTP:
            return wave, level
        aim -= level.true_peak - loudness.CEILING_DBTP + 0.05
    raise loudness.LoudnessError(f"{clip.name} stays above {loudness.CEILING_DBTP} dBTP")


def make(clip, source=None):
    """(bytes, Level or None for a note) of one clip, from its recording when there is one."""
    if not clip.matched:
        return clip.encode(clip.builder(clip.rate, clip.frames / clip.rate)), None
    if source is None:
        return matched_clip(clip, clip.synthesised())
    samples = clip.fit(sources.decode(source, clip.channels, clip.rate))
    try:
        return matched_clip(clip, samples)
    except loudness.LoudnessError as error:
        raise sources.SourceError(f"{os.path.basename(source)}: {error}") from error


def table(rows):
    """The printed table: one line per loudness-matched clip."""
    lines = [f"Clip loudness (target {loudness.TARGET_LUFS:g} LUFS within 1.5 LU, true peak at "
             f"most {loudness.CEILING_DBTP:g} dBTP; M = maximum momentary, the clip being "
             "shorter than 0.4 s)",
             f"{'clip':<13}{'label':<16}{'LUFS':>8}  {'dBTP':>7}  source"]
    for name, label, level, source in rows:
        mark = "M" if level.momentary else " "
        pad = 16 - sum(2 if ord(ch) > 0x2E7F else 1 for ch in label)
        lines.append(f"{name:<13}{label}{' ' * max(1, pad)}{level.loudness:7.2f}{mark}  "
                     f"{level.true_peak:7.2f}  {source}")
    return "\n".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", help="folder that receives the clips")
    parser.add_argument("--only", nargs="*", default=None, help="make just these clips")
    parser.add_argument("--sources", default="",
                        help="folder of recordings named by a clip's caption or key")
    parser.add_argument("--list", action="store_true", help="print the clip file names")
    args = parser.parse_args(argv)
    every = clips()
    if args.list:
        print("\n".join(every))
        return 0
    if not args.out:
        parser.error("--out is needed to make clips")
    if args.sources and not os.path.isdir(args.sources):
        print(f"make_clips: sources folder {args.sources} does not exist; "
              "every clip is synthesised")
    labels = {clip.label: name for name, clip in every.items() if clip.label}
    try:
        chosen, ignored = sources.assign(args.sources, labels)
        for entry in ignored:
            print(f"make_clips: ignored {entry}: no clip has that caption or key")
        names = args.only if args.only else list(every)
        made, rows = {}, []
        for name in names:
            clip = every[name]
            made[name], level = make(clip, chosen.get(name))
            if level is not None:
                source = os.path.basename(chosen[name]) if name in chosen else "synthesised"
                rows.append((name, clip.label, level, source))
    except (sources.SourceError, loudness.LoudnessError) as error:
        print(f"make_clips: error: {error}", file=sys.stderr)
        return 1
    print(table(rows))
    write_all(args.out, made)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
