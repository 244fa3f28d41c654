"""Building blocks for the clips: tones, shaped noise, envelopes, voices, rooms and stereo.
Everything is deterministic: noise comes from seeded legacy generators, whose streams numpy
keeps stable across versions."""

import numpy as np

TAU = 2.0 * np.pi


def rng(seed):
    return np.random.RandomState(seed)


def times(seconds, rate):
    return np.arange(int(round(seconds * rate))) / rate


def silence(seconds, rate):
    return np.zeros(int(round(seconds * rate)))


def tone(freq, seconds, rate, phase=0.0):
    """Sine of a fixed or per-sample frequency."""
    n = int(round(seconds * rate))
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), (n,))
    return np.sin(phase + TAU * np.cumsum(f) / rate)


def harmonics(freq, seconds, rate, weights, detune=0.0):
    """Additive tone: partial k (from 1) has weights[k-1]; partials above Nyquist are left out."""
    n = int(round(seconds * rate))
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), (n,))
    phase = TAU * np.cumsum(f) / rate
    out = np.zeros(n)
    top = float(np.max(f))
    for k, weight in enumerate(weights, start=1):
        if weight and k * top * (1 + detune) < rate / 2:
            out += weight * np.sin(k * phase * (1 + detune * (k - 1)))
    return out


def noise(seconds, rate, seed):
    return rng(seed).standard_normal(int(round(seconds * rate)))


def fast_length(n):
    """The smallest 2^a 3^b 5^c at or above n: FFTs of such lengths stay quick."""
    best = 1 << max(0, int(n - 1).bit_length())
    p5 = 1
    while p5 < best:
        p35 = p5
        while p35 < best:
            p = p35
            while p < n:
                p *= 2
            best = min(best, p)
            p35 *= 3
        p5 *= 5
    return best


def _spectrum(signal, rate):
    """Spectrum of the signal padded to a quick length, its frequencies, and that length."""
    size = fast_length(len(signal))
    return np.fft.rfft(signal, size), np.fft.rfftfreq(size, 1.0 / rate), size


def band(signal, rate, low=None, high=None, order=2):
    """Smooth band-pass in the frequency domain (Butterworth-shaped magnitude, zero phase)."""
    spectrum, f, size = _spectrum(signal, rate)
    gain = np.ones_like(f)
    if low:
        gain *= 1.0 / np.sqrt(1.0 + (low / np.maximum(f, 1e-9)) ** (2 * order))
    if high:
        gain *= 1.0 / np.sqrt(1.0 + (f / high) ** (2 * order))
    return np.fft.irfft(spectrum * gain, size)[:len(signal)]


def resonate(signal, rate, peaks):
    """Sum of resonances: peaks are (centre Hz, bandwidth Hz, gain)."""
    spectrum, f, size = _spectrum(signal, rate)
    gain = np.zeros_like(f)
    for centre, width, level in peaks:
        gain += level / (1.0 + ((f - centre) / (width / 2.0)) ** 2)
    return np.fft.irfft(spectrum * gain, size)[:len(signal)]


def decay(seconds, rate, tau, attack=0.002):
    t = times(seconds, rate)
    rise = np.clip(t / attack, 0.0, 1.0) if attack > 0 else 1.0
    return rise * np.exp(-t / tau)


def envelope(seconds, rate, points):
    """Piecewise-linear envelope through (time, level) points."""
    t = times(seconds, rate)
    xs, ys = zip(*points)
    return np.interp(t, xs, ys)


def fade(signal, rate, fade_in=0.005, fade_out=0.02):
    out = signal.copy()
    a = min(len(out), int(fade_in * rate))
    b = min(len(out), int(fade_out * rate))
    shape = (-1,) + (1,) * (out.ndim - 1)
    if a:
        out[:a] *= np.linspace(0.0, 1.0, a).reshape(shape)
    if b:
        out[-b:] *= np.linspace(1.0, 0.0, b).reshape(shape)
    return out


def place(canvas, sound, at_seconds, rate, gain=1.0):
    """Mixes sound into canvas from a time on; whatever runs past the end is cut."""
    start = int(round(at_seconds * rate))
    if start >= len(canvas):
        return canvas
    end = min(len(canvas), start + len(sound))
    canvas[start:end] += gain * sound[:end - start]
    return canvas


def series(seconds, rate, seed, first, margin, event):
    """Events one after another from `first` until `margin` before the end. event(i, r) gives
    the i-th sound and the time from its start to the next one; r is the series' own
    generator."""
    r = rng(seed)
    out = silence(seconds, rate)
    at, i = first, 0
    while at < seconds - margin:
        sound, step = event(i, r)
        place(out, sound, at, rate)
        at += step
        i += 1
    return out


def fit(signal, frames, rate):
    """Pads with silence or cuts (with a short fade) to exactly `frames` samples."""
    if len(signal) >= frames:
        return fade(signal[:frames], rate, 0.0, 0.01)
    pad = [(0, frames - len(signal))] + [(0, 0)] * (signal.ndim - 1)
    return np.pad(signal, pad)


def normalise(signal, peak=0.7):
    top = np.max(np.abs(signal))
    return signal * (peak / top) if top > 0 else signal


def room(signal, rate, seconds, wet, seed, damping=4000.0):
    """Reverberation from a decaying noise impulse response."""
    ir = noise(seconds, rate, seed) * np.exp(-times(seconds, rate) * 6.9 / seconds)
    ir = band(ir, rate, high=damping)
    ir /= np.sqrt(np.sum(ir ** 2)) + 1e-12
    n = fast_length(len(signal) + len(ir))
    wet_part = np.fft.irfft(np.fft.rfft(signal, n) * np.fft.rfft(ir, n), n)[:len(signal)]
    return signal + wet * wet_part


def stereo(left, right=None):
    return np.stack([left, left if right is None else right], axis=1)


def pan(signal, position):
    """position -1 (left) .. 1 (right), per sample or fixed; constant power."""
    angle = (np.asarray(position) + 1.0) * np.pi / 4.0
    return np.stack([signal * np.cos(angle), signal * np.sin(angle)], axis=1)


def widen(signal, rate, seed, spread=0.3):
    """Stereo from mono: each side gets its own faint room so the image opens up."""
    left = room(signal, rate, 0.25, spread, seed)
    right = room(signal, rate, 0.25, spread, seed + 1)
    return stereo(left, right)


# --- Voices ---------------------------------------------------------------------------------
VOWELS = {  # formants (Hz, bandwidth, level)
    "a": ((800, 120, 1.0), (1200, 140, 0.5), (2500, 200, 0.25)),
    "o": ((500, 100, 1.0), (850, 120, 0.5), (2500, 200, 0.15)),
    "u": ((320, 80, 1.0), (800, 120, 0.3), (2300, 200, 0.1)),
    "e": ((500, 100, 1.0), (1900, 150, 0.5), (2600, 200, 0.3)),
    "i": ((300, 80, 1.0), (2300, 150, 0.45), (3000, 200, 0.3)),
    "m": ((250, 60, 1.0), (1100, 200, 0.08), (2500, 300, 0.04)),
    "h": ((900, 400, 1.0), (1800, 500, 0.6), (3000, 600, 0.4)),
}


def voice(pitch, seconds, rate, vowel="a", breath=0.1, seed=0, jitter=0.01, scale=1.0):
    """A sung or cried vowel: a buzzing source under formant resonances. `pitch` is a frequency
    or a per-sample curve; `scale` shifts the formants (children and women above 1)."""
    n = int(round(seconds * rate))
    f = np.broadcast_to(np.asarray(pitch, dtype=np.float64), (n,)).copy()
    if jitter:
        wobble = band(noise(seconds, rate, seed), rate, high=12.0)
        wobble /= np.max(np.abs(wobble)) + 1e-12
        f *= 1.0 + jitter * wobble
    count = int(min(60, (rate / 2) / max(np.max(f), 1.0)))
    source = harmonics(f, seconds, rate, [1.0 / k for k in range(1, count + 1)])
    source += breath * noise(seconds, rate, seed + 7)
    peaks = [(c * scale, w * scale, g) for c, w, g in VOWELS[vowel]]
    return resonate(source, rate, peaks)


def glide(start, end, seconds, rate, curve=1.0):
    t = np.linspace(0.0, 1.0, int(round(seconds * rate)))
    return start + (end - start) * t ** curve


def laugh(rate, seed, count, pitch, step, vowel="a", scale=1.0, gap=0.17, breath=0.35,
          syllable=0.12, fall=0.97):
    """A run of 'ha' syllables: a breathy onset, a voiced burst, pitch sinking along the run."""
    r = rng(seed)
    length = count * gap + 0.4
    out = silence(length, rate)
    for i in range(count):
        f0 = pitch * (fall ** i) * (1.0 + 0.04 * r.standard_normal())
        dur = syllable * (0.8 + 0.4 * r.random())
        shape = envelope(dur, rate, [(0, 0), (0.015, 1), (dur * 0.6, 0.7), (dur, 0)])
        onset = voice(f0, 0.03, rate, "h", breath=3.0, seed=seed + i) * 0.3
        burst = voice(glide(f0 * 1.05, f0 * 0.92, dur, rate), dur, rate, vowel, breath=breath,
                      seed=seed + 100 + i, scale=scale) * shape
        at = i * gap * (0.9 + 0.2 * r.random())
        place(out, onset, at, rate)
        place(out, burst, at + 0.02, rate)
    return out


# --- Percussion and impacts -----------------------------------------------------------------
def thump(rate, freq=60.0, seconds=0.35, drop=0.5, seed=0, click=0.3):
    """A low, fast-falling sine (kick drum, heartbeat, punch) with a little click on top."""
    pitch = glide(freq * (1 + drop), freq, seconds, rate, curve=0.3)
    body = tone(pitch, seconds, rate) * decay(seconds, rate, seconds / 4, attack=0.003)
    tick = band(noise(seconds, rate, seed), rate, low=1000) * decay(seconds, rate, 0.006, 0.0005)
    return body + click * tick


def crack(rate, seconds=0.6, seed=0, low=300.0, tau=0.08, body=0.6):
    """A gunshot: a blast of noise with a low boom."""
    blast = band(noise(seconds, rate, seed), rate, low=low) * decay(seconds, rate, tau, 0.0005)
    boom = band(noise(seconds, rate, seed + 1), rate, high=200) * decay(seconds, rate, tau * 2, 0.002)
    return blast + body * 3.0 * boom


def clap(rate, seed, centre=1500.0):
    seconds = 0.06
    burst = resonate(noise(seconds, rate, seed), rate, [(centre, centre * 0.9, 1.0)])
    return burst * decay(seconds, rate, 0.009, 0.001)


def applause(seconds, rate, seed, per_second, width=1.0):
    """Many clappers: claps at random times, each at its own pitch and side."""
    r = rng(seed)
    left = silence(seconds, rate)
    right = silence(seconds, rate)
    count = int(per_second * seconds)
    for i in range(count):
        at = r.random() * seconds
        sound = clap(rate, seed * 1000 + i, centre=900 + 1800 * r.random()) * (0.4 + 0.6 * r.random())
        side = (r.random() * 2 - 1) * width
        place(left, sound * np.cos((side + 1) * np.pi / 4), at, rate)
        place(right, sound * np.sin((side + 1) * np.pi / 4), at, rate)
    return stereo(left, right)


def ring(rate, seconds, partials, tau, seed=0, strike=0.2):
    """A struck metal body: inharmonic partials (Hz, level, decay factor) and a strike noise."""
    t = times(seconds, rate)
    out = np.zeros(len(t))
    r = rng(seed)
    for freq, level, factor in partials:
        if freq < rate / 2:
            out += level * np.sin(TAU * freq * t + r.random() * TAU) * np.exp(-t / (tau * factor))
    hit = band(noise(seconds, rate, seed), rate, low=2000) * decay(seconds, rate, 0.004, 0.0003)
    return out * np.clip(t / 0.002, 0, 1) + strike * hit
