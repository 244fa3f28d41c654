"""One loudness for every clip: EBU R128 loudness and true peak measured by libebur128 (called
through ctypes, so the figures are the reference meter's own), and a gain with a look-ahead
limiter that brings a clip to the target without its true peak passing the ceiling. It never
clips: where the gain would push a peak over, the limiter has already turned it down."""

import ctypes
from collections import namedtuple

import numpy as np

TARGET_LUFS = -16.0
CEILING_DBTP = -1.0
# The limiter aims a little below the ceiling: quantising to 8 bits and ADPCM coding move peaks.
HEADROOM_DB = 0.3
# How close to the target the gain is driven before the clip is handed on.
SETTLE_LU = 0.2

LOOKAHEAD_S = 0.005  # the gain ramps down over this before a peak...
HOLD_S = 0.02        # ...stays down this long after it, so a burst is not pumped peak by peak
OVERSAMPLING = 4     # inter-sample peaks, as the meter's true peak sees them
# How far a peak between samples may rise over the samples themselves in any ordinary sound;
# a clip whose samples stay this far under the ceiling needs no limiter.
INTER_SAMPLE_DB = 3.0

# ebur128.h
_MODE_M = 1 << 0
_MODE_I = (1 << 2) | _MODE_M
_MODE_SAMPLE_PEAK = (1 << 4) | _MODE_M
_MODE_TRUE_PEAK = (1 << 5) | _MODE_M | _MODE_SAMPLE_PEAK
_DUAL_MONO = 6
_MOMENTARY_S = 0.4

Level = namedtuple("Level", "loudness true_peak momentary")
Level.__doc__ = """loudness: LUFS (integrated, or the maximum momentary loudness when the clip is
too short for a gating block, then momentary is True); true_peak: dBTP over all channels."""


class LoudnessError(RuntimeError):
    pass


_lib = None


def _library():
    global _lib
    if _lib is None:
        try:
            lib = ctypes.CDLL("libebur128.so.1")
        except OSError as error:
            raise LoudnessError(f"libebur128 is not installed (Debian package libebur128-1): "
                                f"{error}") from error
        lib.ebur128_init.restype = ctypes.c_void_p
        lib.ebur128_init.argtypes = [ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        lib.ebur128_destroy.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
        lib.ebur128_set_channel.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int]
        lib.ebur128_add_frames_double.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t]
        for name in ("ebur128_loudness_global", "ebur128_loudness_momentary"):
            getattr(lib, name).argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_double)]
        lib.ebur128_true_peak.argtypes = [ctypes.c_void_p, ctypes.c_uint,
                                          ctypes.POINTER(ctypes.c_double)]
        _lib = lib
    return _lib


class _Meter:
    def __init__(self, channels, rate, mode):
        self.lib = _library()
        self.state = ctypes.c_void_p(self.lib.ebur128_init(channels, rate, mode))
        if not self.state:
            raise LoudnessError(f"libebur128 refused {channels} channels at {rate} Hz")
        if channels == 1:
            # waveOut plays a mono clip on both speakers: it is heard like a stereo clip whose
            # two channels are the same, and is measured so.
            self._check(self.lib.ebur128_set_channel(self.state, 0, _DUAL_MONO), "set_channel")

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.lib.ebur128_destroy(ctypes.byref(self.state))

    @staticmethod
    def _check(result, what):
        if result != 0:
            raise LoudnessError(f"libebur128 {what} failed ({result})")

    def add(self, frames):
        block = np.ascontiguousarray(frames, dtype=np.float64)
        self._check(self.lib.ebur128_add_frames_double(
            self.state, block.ctypes.data, len(block)), "add_frames")

    def value(self, name):
        out = ctypes.c_double()
        self._check(getattr(self.lib, "ebur128_" + name)(self.state, ctypes.byref(out)), name)
        return out.value

    def true_peak(self, channel):
        out = ctypes.c_double()
        self._check(self.lib.ebur128_true_peak(self.state, channel, ctypes.byref(out)), "true_peak")
        return out.value


def _frames(samples):
    x = np.asarray(samples, dtype=np.float64)
    return x[:, None] if x.ndim == 1 else x


def _db(linear):
    return 20.0 * np.log10(linear) if linear > 0 else -np.inf


def _max_momentary(x, rate):
    """The loudest 400 ms window, sliding in 10 ms steps from the clip's start until the window
    has passed its end (the meter counts the time before the start as silence)."""
    hop = max(1, rate // 100)
    padded = np.concatenate([x, np.zeros((int(_MOMENTARY_S * rate) + hop, x.shape[1]))])
    loudest = -np.inf
    with _Meter(x.shape[1], rate, _MODE_M) as meter:
        for start in range(0, len(padded), hop):
            meter.add(padded[start:start + hop])
            loudest = max(loudest, meter.value("loudness_momentary"))
    return loudest


def measure(samples, rate, peak=True):
    """Level of float samples (frames,) or (frames, channels) in [-1, 1]. Without `peak` the
    true peak (the costly part, an oversampling filter) is left out and reads as nan."""
    x = _frames(samples)
    with _Meter(x.shape[1], rate, _MODE_I | (_MODE_TRUE_PEAK if peak else 0)) as meter:
        meter.add(x)
        loudness = meter.value("loudness_global")
        top = max(meter.true_peak(c) for c in range(x.shape[1])) if peak else np.nan
    momentary = not np.isfinite(loudness)
    if momentary:
        loudness = _max_momentary(x, rate)
    return Level(loudness, _db(top) if peak else np.nan, momentary)


def _sliding_min(x, width):
    """out[i] = min(x[i:i + width]), past the end counted as 1; linear time (van Herk)."""
    n = len(x)
    pad = -(n + width - 1) % width
    blocks = np.concatenate([x, np.ones(width - 1 + pad)]).reshape(-1, width)
    prefix = np.minimum.accumulate(blocks, axis=1).ravel()
    suffix = np.minimum.accumulate(blocks[:, ::-1], axis=1)[:, ::-1].ravel()
    return np.minimum(suffix[:n], prefix[width - 1:width - 1 + n])


def _oversampled_peaks(x, size=1 << 15, margin=64):
    """Per frame, the largest magnitude over every channel and the inter-sample points that
    follow it, from band-limited interpolation. Chunks overlap by a margin that covers the
    interpolation's reach; a power-of-two size keeps each FFT quick and in the cache."""
    n = len(x)
    chunk = size - 2 * margin
    padded = np.concatenate([np.zeros((margin, x.shape[1])), x, np.zeros((margin + chunk, x.shape[1]))])
    peaks = np.empty(n)
    for start in range(0, n, chunk):
        spectrum = np.fft.rfft(padded[start:start + size], axis=0)
        up = np.fft.irfft(spectrum, size * OVERSAMPLING, axis=0) * OVERSAMPLING
        count = min(chunk, n - start)
        middle = up[margin * OVERSAMPLING:(margin + count) * OVERSAMPLING]
        peaks[start:start + count] = np.abs(middle).reshape(count, OVERSAMPLING, -1).max(axis=(1, 2))
    return peaks


def limit(x, rate, ceiling, peaks):
    """Look-ahead limiter on (frames, channels) whose per-frame true peaks are `peaks`: one gain
    for all channels, so the image does not move. The gain needed at each frame is held for
    HOLD_S after it and reached through a linear ramp of LOOKAHEAD_S that ends on it, so it is
    met at every peak."""
    needed = np.minimum(1.0, ceiling / np.maximum(peaks, 1e-12))
    if needed.min() >= 1.0:
        return x
    # A clip shorter than the hold would get one gain throughout and could never grow louder.
    ramp = max(1, min(int(LOOKAHEAD_S * rate), len(x) // 16))
    hold = max(1, min(int(HOLD_S * rate), len(x) // 8))
    held = _sliding_min(np.concatenate([np.ones(hold), needed]), hold + ramp)[:len(x)]
    # Mean over the ramp ending at each frame: every frame of it holds a gain at or below the
    # frame's need, so the mean is too. Before the first frame the first gain stands, so a peak
    # right at the start is met as well.
    running = np.cumsum(np.concatenate([np.full(ramp, held[0]), held]))
    gain = (running[ramp:] - running[:-ramp]) / ramp
    return x * gain[:, None]


def match(samples, rate, ceiling_db=CEILING_DBTP - HEADROOM_DB, attempts=10):
    """The samples brought to TARGET_LUFS with their true peak at most ceiling_db. Gain is
    applied, the limiter takes off what passes the ceiling, and both are settled again from
    what the meter reads, since limiting takes some loudness with it."""
    x = _frames(samples)
    level = measure(x, rate, peak=False)
    if not np.isfinite(level.loudness):
        raise LoudnessError("the sound is silent")
    gain_db = TARGET_LUFS - level.loudness
    if _db(np.max(np.abs(x))) + gain_db + INTER_SAMPLE_DB <= ceiling_db:
        # Far enough under the ceiling that no peak between samples reaches it: a plain gain.
        y = x * 10.0 ** (gain_db / 20.0)
        return y[:, 0] if np.ndim(samples) == 1 else y
    peaks = _oversampled_peaks(x)
    aim_db = ceiling_db
    for _ in range(attempts):
        gain = 10.0 ** (gain_db / 20.0)
        y = limit(x * gain, rate, 10.0 ** (aim_db / 20.0), peaks * gain)
        # The loudness settles first; the true peak is read only once it has.
        lufs = measure(y, rate, peak=False).loudness
        gain_db += TARGET_LUFS - lufs
        if abs(lufs - TARGET_LUFS) > SETTLE_LU:
            continue
        level = measure(y, rate)
        if level.true_peak <= ceiling_db:
            break
        # The meter's interpolation found a peak between the limiter's points, or the gain's
        # own movement made one: aim that much lower.
        aim_db -= level.true_peak - ceiling_db + 0.02
    else:
        level = measure(y, rate)
        if level.true_peak > ceiling_db:
            # Never settled under the ceiling: a plain cut makes sure of it, at the cost of
            # that little loudness.
            y = y * 10.0 ** ((ceiling_db - level.true_peak - 0.01) / 20.0)
    return y[:, 0] if np.ndim(samples) == 1 else y
