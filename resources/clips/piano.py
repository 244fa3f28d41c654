"""The piano's clips: 26 struck-string notes and the 20 short effects of the function and
digit keys."""

import numpy as np

import speech
import synth as s

NOTE_FRAMES = 33404
SILENT_LEAD = 0.16  # seconds before the hammer falls
STRIKE_AT = 0.18    # the loudest moment of the strike
# Each string is slightly stiff, so its overtones run a little sharp.
STIFFNESS = 0.0003


def note(rate, frequency, seed):
    """A piano tone whose lowest partial sits exactly on `frequency`."""
    seconds = NOTE_FRAMES / rate
    ring_time = seconds - SILENT_LEAD
    t = s.times(ring_time, rate)
    out = np.zeros(len(t))
    r = s.rng(seed)
    stretch_one = np.sqrt(1 + STIFFNESS)
    for k in range(1, 40):
        freq = frequency * k * np.sqrt(1 + STIFFNESS * k * k) / stretch_one
        if freq >= rate / 2 * 0.9:
            break
        level = 1.0 / k ** 1.1 * (1.0 if k == 1 else 0.8)
        # Higher partials die sooner; a second, slower stage keeps the tail singing.
        fast = np.exp(-t / (0.35 / k ** 0.5))
        slow = np.exp(-t / (1.0 / (1 + 0.15 * k)))
        # Two strings a hair apart in tune give the slow beating of a real unison.
        beat = 1.0 + 0.15 * np.cos(2 * np.pi * (0.6 + 0.3 * r.random()) * t)
        out += level * np.sin(2 * np.pi * freq * t + r.random() * 2 * np.pi) * (0.6 * fast + 0.4 * slow) * beat
    # Overall fall to near silence by the end of the clip, with the attack landing at STRIKE_AT.
    rise = STRIKE_AT - SILENT_LEAD
    attack = np.clip(t / rise, 0.0, 1.0) ** 1.5
    out *= attack * np.exp(-t / 0.55) / np.exp(-rise / 0.55)
    hammer = s.band(s.noise(0.05, rate, seed + 1), rate, low=frequency * 2, high=4000)
    hammer *= s.decay(0.05, rate, 0.008, 0.002)
    s.place(out, hammer * 0.15, rise * 0.5, rate)
    out = s.fade(out, rate, 0.0, 0.05)
    full = np.concatenate([s.silence(SILENT_LEAD, rate), out])
    return s.normalise(full[:NOTE_FRAMES], 0.6)


# Letter keys in the order they climb the scale, with the pitch of each.
NOTES = (("q", 120.3), ("w", 135.0), ("e", 151.6), ("a", 160.1), ("s", 180.3), ("z", 202.3),
         ("x", 227.1), ("r", 240.6), ("t", 270.1), ("d", 303.1), ("f", 321.2), ("g", 360.5),
         ("c", 404.6), ("v", 454.2), ("y", 481.2), ("u", 540.1), ("i", 606.3), ("h", 642.3),
         ("j", 723.1), ("b", 811.6), ("n", 911.0), ("o", 965.2), ("p", 1083.4), ("k", 1219.6),
         ("l", 1292.1), ("m", 1450.4))


# --- Effects ----------------------------------------------------------------------------------
def ding(rate, seconds):  # F1
    return s.ring(rate, seconds, [(1318.5, 1.0, 1.0), (2637.0, 0.3, 0.6)], 0.06, strike=0.1)


def yahoo(rate, seconds):  # F2
    call = speech.say("yahoo", rate, "en-us+f3", speed=320, pitch=80)
    return s.normalise(call, 0.9)


def pop(rate, seconds):  # F3
    pitch = s.glide(300, 900, seconds, rate, curve=0.5)
    return s.tone(pitch, seconds, rate) * s.decay(seconds, rate, 0.03, 0.001)


def bubble(rate, seconds):  # F4
    pitch = s.glide(400, 1200, seconds, rate, curve=2.0)
    return s.tone(pitch, seconds, rate) * s.envelope(seconds, rate, [(0, 0), (0.01, 1), (seconds, 0)])


def tink(rate, seconds):  # F5
    return s.stereo(s.ring(rate, seconds, [(3000, 1.0, 1.0), (4700, 0.5, 0.6)], 0.008, strike=0.3))


def mac_pop(rate, seconds):  # F6
    body = s.thump(rate, 220, seconds, drop=1.0, seed=610, click=0.3)
    return s.stereo(body)


def glass_ping(rate, seconds):  # F7
    return s.stereo(s.ring(rate, seconds, [(2093, 1.0, 1.0), (4186, 0.4, 0.6), (6272, 0.2, 0.4)], 0.04,
                           seed=620, strike=0.1))


def tick(rate, seconds):  # F8
    # A tone under the noise keeps 17 ms dense enough to be as loud as the others under the
    # peak ceiling; a bare noise burst would only get there squashed flat.
    body = 0.3 * s.band(s.noise(seconds, rate, 630), rate, low=2000) + s.tone(3000, seconds, rate)
    click = body * s.decay(seconds, rate, 0.03, 0.0002)
    return s.stereo(click)


def water_drop(rate, seconds):  # F9
    pitch = s.glide(700, 1800, seconds, rate, curve=0.7)
    return s.tone(pitch, seconds, rate) * s.decay(seconds, rate, 0.03, 0.001)


def chirp(rate, seconds):  # F10
    out = s.silence(seconds, rate)
    for i, at in enumerate((0.0, 0.08)):
        pitch = s.glide(3000, 4800, 0.06, rate) if rate > 10000 else s.glide(2500, 4500, 0.06, rate)
        tweet = s.tone(pitch, 0.06, rate) * s.envelope(0.06, rate, [(0, 0), (0.01, 1), (0.06, 0)])
        s.place(out, tweet, at, rate)
    return out


def cricket(rate, seconds):  # F11
    t = s.times(seconds, rate)
    pulses = (np.sin(2 * np.pi * 30 * t) > 0.3).astype(float)
    return s.tone(4400, seconds, rate) * pulses * s.envelope(seconds, rate, [(0, 0), (0.01, 1), (seconds - 0.02, 1), (seconds, 0)])


def frog(rate, seconds):  # F12
    out = s.silence(seconds, rate)
    for i, at in enumerate((0.0, 0.25)):
        croak = s.voice(s.glide(180, 140, 0.2, rate), 0.2, rate, "o", breath=1.0, seed=640 + i, jitter=0.1)
        croak *= 0.5 + 0.5 * np.sign(np.sin(2 * np.pi * 40 * s.times(0.2, rate)))
        s.place(out, croak * s.envelope(0.2, rate, [(0, 0), (0.02, 1), (0.2, 0)]), at, rate)
    return out


def whoosh(rate, seconds):  # 1
    sweep = s.band(s.noise(seconds, rate, 650), rate, low=300, high=3000)
    return sweep * s.envelope(seconds, rate, [(0, 0), (seconds * 0.6, 1), (seconds, 0)])


def hiya(rate, seconds):  # 2
    shout = speech.say("嘿呀", rate, "cmn", speed=240, pitch=60)
    return s.normalise(shout, 0.9)


def punch(rate, seconds):  # 3
    out = s.silence(seconds, rate)
    s.place(out, whoosh(rate, 0.25) * 0.5, 0.0, rate)
    hit = s.thump(rate, 80, 0.5, seed=660, click=1.0)
    hit += s.band(s.noise(0.5, rate, 661), rate, low=200, high=3000) * s.decay(0.5, rate, 0.03)
    s.place(out, hit, 0.22, rate)
    return s.room(out, rate, 0.4, 0.2, 662)


def kick(rate, seconds):  # 4
    out = s.silence(seconds, rate)
    s.place(out, whoosh(rate, 0.2) * 0.4, 0.0, rate)
    s.place(out, s.thump(rate, 60, 0.45, seed=670, click=0.8), 0.18, rate)
    return out


def kick_drum(rate, seconds):  # 5
    return s.stereo(s.thump(rate, 55, seconds, seed=680, click=0.5))


def crash(rate, seconds):  # 6
    wash = s.band(s.noise(seconds, rate, 690), rate, low=2500) * s.decay(seconds, rate, 0.6, 0.002)
    return wash


def snare_hit(rate, seconds):  # 7
    rattle = s.band(s.noise(seconds, rate, 700), rate, low=1500, high=9000) * s.decay(seconds, rate, 0.12)
    return rattle + 0.6 * s.thump(rate, 190, seconds, drop=0.2, seed=701, click=0.2)


def tom(rate, seconds):  # 8
    return s.thump(rate, 110, seconds, drop=0.4, seed=710, click=0.3) * 1.0


EFFECTS = {"f1": ding, "f2": yahoo, "f3": pop, "f4": bubble, "f5": tink, "f6": mac_pop,
           "f7": glass_ping, "f8": tick, "f9": water_drop, "f10": chirp, "f11": cricket,
           "f12": frog, "1": whoosh, "2": hiya, "3": punch, "4": kick, "5": kick_drum,
           "6": crash, "7": snare_hit, "8": tom}
