"""Taking recordings of tonal clips apart: where a clip's copy starts and how loud it is, followed
at one frequency of it, and the exact frequency of a line near an expected one. Frequencies a few
hertz apart are told apart, and a stutter of the audio path on a loaded machine moves the
results only a little.
"""

import subprocess

import numpy as np

import pulse_capture
from pulse_capture import RATE


def clip_at_recording_rate(path, work_path):
    """A built clip as the recording would hold it: resampled to the recording's rate by sox,
    which decodes every format the clips use on its own."""
    subprocess.run(["sox", path, "-r", str(RATE), "-e", "signed", "-b", "16", work_path],
                   check=True, timeout=60)
    return pulse_capture.read_wave(work_path)


def band_envelope(x, freq, window_s=0.25, hop_s=0.01):
    """How loud one frequency is over time: (centre times in seconds, amplitudes), from
    Hann-windowed frames. A quarter-second frame keeps tones 15 Hz apart from leaking into
    each other."""
    size, hop = int(window_s * RATE), int(hop_s * RATE)
    if len(x) < size:
        return np.zeros(0), np.zeros(0)
    window = np.hanning(size)
    kernel = window * np.exp(-2j * np.pi * freq * np.arange(size) / RATE)
    frames = np.lib.stride_tricks.sliding_window_view(x, size)[::hop]
    levels = 2 * np.abs(frames @ kernel) / np.sum(window)
    times = (np.arange(len(levels)) * hop + size / 2) / RATE
    return times, levels


def onset(times, levels):
    """When a sound first reaches half its peak level."""
    return float(times[int(np.argmax(levels >= 0.5 * levels.max()))])


def tone_copy(recording, clip, freq, window_s=0.25):
    """Where the one copy of a tonal clip starts in the recording (seconds) and how loud it is
    there against the clip itself, followed at the clip's frequency `freq`. The level is the
    median over the clip's loud part, so a stutter of the audio path changes nothing."""
    times, levels = band_envelope(recording, freq, window_s)
    clip_times, clip_levels = band_envelope(clip, freq, window_s)
    start = onset(times, levels) - onset(clip_times, clip_levels)
    loud = clip_levels >= 0.3 * clip_levels.max()
    heard = np.interp(clip_times[loud] + start, times, levels)
    return start, float(np.median(heard / clip_levels[loud]))


def level_at(recording, clip, freq, start, moment):
    """The level at `freq` in the recording at `moment` against the clip's own level at the same
    point of a copy that starts at `start`."""
    times, levels = band_envelope(recording, freq)
    clip_times, clip_levels = band_envelope(clip, freq)
    return float(np.interp(moment, times, levels) / np.interp(moment - start, clip_times,
                                                               clip_levels))


def last_onset_after_quiet(x, quiet_s, level=0.005, block_s=0.01):
    """When the last sound that follows at least `quiet_s` of quiet begins (seconds): quiet is a
    block whose RMS stays under `level`. 0.0 when nothing does."""
    size = int(block_s * RATE)
    count = len(x) // size
    if count == 0:
        return 0.0
    loud = np.sqrt(np.mean(x[:count * size].reshape(count, size) ** 2, axis=1)) >= level
    need = int(round(quiet_s / block_s))
    quiet_run, onset = 0, 0.0
    for index, block_loud in enumerate(loud):
        if block_loud and quiet_run >= need:
            onset = index * block_s
        quiet_run = 0 if block_loud else quiet_run + 1
    return onset


def dominant_frequency(clip):
    """The strongest frequency of a clip (Hz)."""
    spectrum = np.abs(np.fft.rfft(clip * np.hanning(len(clip))))
    return float(np.fft.rfftfreq(len(clip), 1 / RATE)[int(np.argmax(spectrum))])


def peak_frequency(x, near, spread=0.03):
    """The frequency (Hz) of the strongest spectral line within `spread` of `near`, read from a
    Hann-windowed spectrum padded to a 0.05 Hz grid."""
    size = 1 << int(np.ceil(np.log2(RATE / 0.05)))
    spectrum = np.abs(np.fft.rfft(x * np.hanning(len(x)), size))
    freqs = np.fft.rfftfreq(size, 1 / RATE)
    band = (freqs > near * (1 - spread)) & (freqs < near * (1 + spread))
    return float(freqs[band][np.argmax(spectrum[band])])


def sounded_and_ended(path, loud, quiet_s=1.5):
    """Whether the recording being written to `path` holds a sample above `loud` followed by
    `quiet_s` seconds without one: what was played has been heard to its end."""
    try:
        samples = pulse_capture.read_wave(path)
    except (OSError, ValueError):
        return False
    above = np.flatnonzero(samples > loud)
    return len(above) > 0 and len(samples) - above[-1] > quiet_s * RATE


def first_above(x, level):
    """The index of the first sample louder than `level` in absolute value, or len(x)."""
    above = np.flatnonzero(np.abs(x) > level)
    return int(above[0]) if len(above) else len(x)


def last_above(x, level):
    """The index of the last sample louder than `level` in absolute value, or -1."""
    return len(x) - 1 - first_above(x[::-1], level)


def offset_of(recording, source):
    """Where `source` begins within `recording` (samples; negative when the recording starts
    inside it), by the peak of their cross-correlation."""
    size = 1 << int(np.ceil(np.log2(len(recording) + len(source))))
    spectrum = np.fft.rfft(recording, size) * np.conj(np.fft.rfft(source, size))
    correlation = np.fft.irfft(spectrum, size)
    lag = int(np.argmax(correlation))
    return lag if lag < len(recording) else lag - size


def best_match(recording, part):
    """Where `part` matches `recording` best, as (start in samples, correlation coefficient),
    over the starts at which it lies wholly inside the recording; (0, 0.0) when it does not fit."""
    count = len(recording) - len(part) + 1
    if count <= 0 or not np.any(part):
        return 0, 0.0
    size = 1 << int(np.ceil(np.log2(len(recording) + len(part))))
    centred = part - part.mean()
    products = np.fft.irfft(np.fft.rfft(recording, size) * np.conj(np.fft.rfft(centred, size)),
                            size)[:count]
    sums = np.concatenate(([0.0], np.cumsum(recording)))
    squares = np.concatenate(([0.0], np.cumsum(recording * recording)))
    n = len(part)
    window_sum = sums[n:n + count] - sums[:count]
    window_energy = squares[n:n + count] - squares[:count] - window_sum ** 2 / n
    coefficients = products / np.sqrt(np.maximum(window_energy, 1e-12) * np.sum(centred ** 2))
    at = int(np.argmax(coefficients))
    return at, float(coefficients[at])


def speech_missed(take, phrase, threshold, search_s=3.0):
    """How a take holds a phrase's start: (seconds of the phrase's sound it left out at its
    start, where the sound's first sample stands in the take in seconds, correlation of the
    take's copy of the first 0.3 s of sound). The first 0.3 s are found on their own within the
    take's first `search_s`, so a dropout of the audio path later in the take moves nothing; when
    they are not there, the whole phrase's alignment tells how much is missing."""
    onset_at = first_above(phrase, threshold)
    first = phrase[onset_at:onset_at + int(0.3 * RATE)]
    at, likeness = best_match(take[:int(search_s * RATE)], first)
    if likeness >= 0.9:
        return 0.0, at / RATE, likeness
    begins = offset_of(take, phrase) + onset_at
    return max(0, -begins) / RATE, begins / RATE, likeness
