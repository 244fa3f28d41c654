"""The fifty clips of the MC sound page. Each builder gets the clip's rate and length and
returns mono or stereo float samples; the table in make_clips.py fixes the formats."""

import numpy as np

import speech
import synth as s


def qq_message(rate, seconds):
    # Two quick bright knocks.
    out = s.silence(seconds, rate)
    for at, freq in ((0.02, 1568.0), (0.16, 1175.0)):
        knock = s.harmonics(freq, 0.3, rate, [1.0, 0.0, 0.25]) * s.decay(0.3, rate, 0.05)
        s.place(out, knock, at, rate)
    return out


def qq_alert(rate, seconds):
    # A rising three-note chime.
    out = s.silence(seconds, rate)
    for i, freq in enumerate((1046.5, 1318.5, 1568.0)):
        note = s.harmonics(freq, 0.6, rate, [1.0, 0.3, 0.1]) * s.decay(0.6, rate, 0.18)
        s.place(out, note, 0.01 + 0.13 * i, rate, 0.8)
    return out


def rooster(rate, seconds):
    # Cock-a-doodle-doo: three short calls and a long one that holds and falls.
    out = s.silence(seconds, rate)
    calls = ((0.05, 0.16, 520, 640), (0.26, 0.14, 600, 700), (0.45, 0.18, 680, 760),
             (0.70, 1.20, 820, 560))
    for i, (at, dur, f_start, f_end) in enumerate(calls):
        pitch = s.glide(f_start, f_end, dur, rate, curve=2.5 if i == 3 else 1.0)
        shape = s.envelope(dur, rate, [(0, 0), (0.02, 1), (dur * 0.8, 0.8), (dur, 0)])
        call = s.voice(pitch, dur, rate, "a" if i < 3 else "o", breath=0.6, seed=30 + i,
                       jitter=0.03, scale=1.5)
        s.place(out, call * shape, at, rate)
    return s.room(out, rate, 0.8, 0.25, 31)


def scratch(rate, seconds):
    # A groove pushed back and forth under the hand.
    beat = 60.0 / 96.0
    loop = s.silence(8.0, rate)
    for i in range(int(8.0 / beat)):
        s.place(loop, s.thump(rate, 55.0, 0.3, seed=40 + i), i * beat, rate)
        chord = sum(s.harmonics(f, beat, rate, [1.0, 0.5, 0.3, 0.2]) for f in (220.0, 277.2, 329.6))
        s.place(loop, chord * s.decay(beat, rate, 0.25) * 0.3, i * beat, rate)
    t = s.times(seconds, rate)
    # Forward play, then rhythmic scrubs around the hand position.
    hand = 1.0 + 0.35 * np.sin(2 * np.pi * 2.6 * t) * (t > 0.6) + 0.6 * t * (t <= 0.6)
    hand += 0.08 * np.sin(2 * np.pi * 7.8 * t) * (t > 2.2)
    position = np.clip(hand * rate, 0, len(loop) - 2)
    scratched = np.interp(position, np.arange(len(loop)), loop)
    return s.stereo(scratched, np.roll(scratched, int(0.004 * rate)))


def contempt(rate, seconds):
    # A scornful "tch" and then the words.
    tch = s.band(s.noise(0.12, rate, 50), rate, low=2500) * s.decay(0.12, rate, 0.03)
    words = speech.say("切，鄙视你！", rate, "cmn", speed=150, pitch=35)
    out = s.silence(seconds, rate)
    s.place(out, tch * 0.4, 0.05, rate)
    s.place(out, s.normalise(words, 0.9), 0.35, rate)
    return s.widen(out, rate, 51, 0.15)


def whip(rate, seed):
    swish = s.band(s.noise(0.25, rate, seed), rate, low=800, high=5000)
    swish *= s.envelope(0.25, rate, [(0, 0), (0.2, 0.4), (0.25, 0)])
    snap = s.band(s.noise(0.15, rate, seed + 1), rate, low=1500) * s.decay(0.15, rate, 0.012, 0.0003)
    out = s.silence(0.45, rate)
    s.place(out, swish * 0.3, 0.0, rate)
    s.place(out, snap * 1.5, 0.24, rate)
    return out


def whipping(rate, seconds):
    # Lashes at a steady, unhurried pace, each answered by a groan.
    def lash(i, r):
        dur = 0.5 + 0.4 * r.random()
        groan = s.voice(s.glide(160 + 30 * r.random(), 100, dur, rate), dur, rate,
                        "a" if i % 2 else "o", breath=0.4, seed=620 + i, jitter=0.04)
        groan *= s.envelope(dur, rate, [(0, 0), (0.05, 1), (dur, 0)])
        sound = s.silence(0.35 + dur, rate)
        s.place(sound, whip(rate, 600 + 2 * i), 0.0, rate)
        s.place(sound, groan * 0.5, 0.35, rate)
        return sound, 1.6 + 0.9 * r.random()
    return s.widen(s.series(seconds, rate, 60, 0.3, 1.0, lash), rate, 61, 0.3)


def burp(rate, seconds):
    pitch = s.glide(95, 70, seconds, rate)
    flutter = 1 + 0.5 * np.sin(2 * np.pi * 23 * s.times(seconds, rate))
    body = s.voice(pitch, seconds, rate, "o", breath=0.8, seed=70, jitter=0.08) * flutter
    return body * s.envelope(seconds, rate, [(0, 0), (0.03, 1), (0.35, 0.7), (seconds, 0)])


def snore(rate, seconds):
    # A rattling in-breath, then a soft blowing out.
    t = s.times(seconds, rate)
    rattle = s.band(s.noise(seconds, rate, 80), rate, low=60, high=700)
    rattle *= 0.5 + 0.5 * np.sign(np.sin(2 * np.pi * 28 * t))
    rattle += 0.4 * s.voice(55, seconds, rate, "o", breath=0.5, seed=81, jitter=0.1)
    inhale = rattle * s.envelope(seconds, rate, [(0, 0), (0.5, 1), (1.0, 0.9), (1.1, 0), (seconds, 0)])
    exhale = s.band(s.noise(seconds, rate, 82), rate, low=300, high=2000)
    exhale *= s.envelope(seconds, rate, [(0, 0), (1.15, 0), (1.35, 0.15), (seconds, 0)])
    return s.widen(inhale + exhale, rate, 83, 0.1)


def brawl(rate, seconds):
    # Punches, shouts and a murmuring crowd around them.
    r = s.rng(90)
    crowd = s.band(s.noise(seconds, rate, 91), rate, low=200, high=1500)
    crowd *= 0.6 + 0.4 * s.band(s.noise(seconds, rate, 92), rate, high=2.0) * 8
    left = crowd * 0.08
    right = s.band(s.noise(seconds, rate, 93), rate, low=200, high=1500) * 0.08
    shouts = ("打！", "啊！", "住手！", "站住！", "哎哟！", "别打了！")
    at = 0.4
    i = 0
    while at < seconds - 0.8:
        punch = s.thump(rate, 70 + 30 * r.random(), 0.25, seed=900 + i, click=0.8)
        punch += s.band(s.noise(0.25, rate, 950 + i), rate, low=200, high=2500) * s.decay(0.25, rate, 0.02)
        side = r.random() * 2 - 1
        s.place(left, punch * (1 - side) * 0.5, at, rate)
        s.place(right, punch * (1 + side) * 0.5, at, rate)
        if r.random() < 0.35:
            shout = speech.say(shouts[i % len(shouts)], rate, "cmn", speed=180,
                               pitch=int(20 + 40 * r.random()))
            shout = s.normalise(shout, 0.5)
            s.place(left, shout * (1 - side * 0.5), at + 0.2, rate)
            s.place(right, shout * (1 + side * 0.5), at + 0.2, rate)
        at += 0.25 + 1.1 * r.random()
        i += 1
    return s.stereo(s.room(left, rate, 0.6, 0.3, 94), s.room(right, rate, 0.6, 0.3, 95))


def sneeze(rate, seconds):
    # "Ah-" drawn in, then the burst.
    ah = s.voice(s.glide(250, 330, 0.2, rate), 0.2, rate, "a", breath=0.5, seed=100)
    ah *= s.envelope(0.2, rate, [(0, 0), (0.05, 0.5), (0.2, 0.3)])
    burst = s.band(s.noise(0.3, rate, 101), rate, low=1500, high=8000) * s.decay(0.3, rate, 0.06, 0.002)
    burst += 0.3 * s.voice(300, 0.3, rate, "u", breath=1.0, seed=102) * s.decay(0.3, rate, 0.05)
    out = s.silence(seconds, rate)
    s.place(out, ah, 0.0, rate)
    s.place(out, burst, 0.2, rate)
    return s.widen(out, rate, 103, 0.15)


def draw_sword(rate, seed, pitch):
    length = 1.6
    scrape = s.band(s.noise(length, rate, seed), rate, low=2500, high=9000)
    scrape *= s.envelope(length, rate, [(0, 0), (0.05, 0.5), (0.5, 0.6), (0.55, 0), (length, 0)])
    partials = [(pitch * k, 1.0 / k, 1.0 / k) for k in (1.0, 2.76, 5.4, 8.93)]
    shing = s.ring(rate, length, partials, 0.35, seed=seed + 1, strike=0.0)
    out = s.silence(length, rate)
    s.place(out, scrape * 0.5, 0.0, rate)
    s.place(out, shing[:len(out)], 0.5, rate, 0.6)
    return out


def swords_drawn(rate, seconds):
    out_l = s.silence(seconds, rate)
    out_r = s.silence(seconds, rate)
    for i, (at, pitch, side) in enumerate(((0.2, 1900, -0.6), (2.4, 2300, 0.6), (4.6, 1700, 0.0),
                                            (6.9, 2600, -0.3), (9.0, 2100, 0.4))):
        sword = draw_sword(rate, 110 + 10 * i, pitch)
        s.place(out_l, sword * (1 - side), at, rate)
        s.place(out_r, sword * (1 + side), at, rate)
    return s.stereo(s.room(out_l, rate, 1.2, 0.3, 118), s.room(out_r, rate, 1.2, 0.3, 119))


def busy_tone(rate, seconds):
    # The Chinese busy signal: 450 Hz, on for 0.35 s, then off.
    on = s.tone(450.0, 0.35, rate) * 0.5
    out = s.silence(seconds, rate)
    s.place(out, s.fade(on, rate, 0.003, 0.003), 0.0, rate)
    return out


def fart(rate, seconds):
    t = s.times(seconds, rate)
    pitch = 85 + 25 * np.sin(2 * np.pi * 3.1 * t) - 20 * t
    body = s.voice(pitch, seconds, rate, "u", breath=1.2, seed=130, jitter=0.15, scale=0.6)
    return body * s.envelope(seconds, rate, [(0, 0), (0.02, 1), (0.5, 0.8), (seconds, 0)])


def light_up(rate, seconds):
    # A bright "ding" and a rising, shimmering chord: the moment a light comes on.
    out = s.silence(seconds, rate)
    ding = s.ring(rate, 2.0, [(1760, 1.0, 1.0), (3520, 0.3, 0.5), (5280, 0.1, 0.3)], 0.6, seed=140)
    s.place(out, ding, 0.05, rate, 0.7)
    for i, freq in enumerate((523.3, 659.3, 784.0, 1046.5, 1318.5)):
        note = s.harmonics(freq, 4.0, rate, [1.0, 0.4, 0.2, 0.1])
        note *= s.envelope(4.0, rate, [(0, 0), (0.1, 0.6), (3.0, 0.4), (4.0, 0)])
        s.place(out, note * 0.25, 0.3 + 0.12 * i, rate)
    sparkle = s.band(s.noise(seconds, rate, 141), rate, low=6000) * 0.05
    sparkle *= s.envelope(seconds, rate, [(0, 0), (0.4, 1), (seconds, 0)])
    return s.widen(out + sparkle, rate, 142, 0.4)


def cocking(rate, seconds):
    out = s.silence(seconds, rate)
    pull = s.ring(rate, 0.12, [(2200, 1.0, 1.0), (3700, 0.6, 0.6), (5900, 0.4, 0.4)], 0.02,
                  seed=150, strike=0.8)
    push = s.ring(rate, 0.15, [(1800, 1.0, 1.0), (3100, 0.7, 0.7), (6700, 0.3, 0.4)], 0.025,
                  seed=151, strike=1.0)
    slide = s.band(s.noise(0.12, rate, 152), rate, low=2000, high=7000) * 0.2
    s.place(out, pull, 0.02, rate)
    s.place(out, slide, 0.08, rate)
    s.place(out, push, 0.24, rate)
    return s.widen(out, rate, 153, 0.2)


def dog(rate, seconds):
    # One bark: a sharp, rough "woof".
    dur = 0.16
    pitch = s.glide(520, 330, dur, rate, curve=0.6)
    bark = s.voice(pitch, dur, rate, "a", breath=0.9, seed=160, jitter=0.05, scale=1.2)
    bark *= s.envelope(dur, rate, [(0, 0), (0.008, 1), (0.06, 0.8), (dur, 0)])
    out = s.silence(seconds, rate)
    s.place(out, bark, 0.01, rate)
    return s.widen(s.room(out, rate, 0.3, 0.15, 161), rate, 162, 0.1)


def snare(rate, seed, seconds=0.3):
    rattle = s.band(s.noise(seconds, rate, seed), rate, low=1500, high=9000) * s.decay(seconds, rate, 0.06)
    return rattle + 0.6 * s.thump(rate, 190, seconds, drop=0.2, seed=seed + 1, click=0.2)


def drums(rate, seconds):
    out = s.silence(seconds, rate)
    hits = ((0.0, "kick"), (0.16, "snare"), (0.32, "kick"), (0.44, "tom1"), (0.56, "tom2"),
            (0.68, "tom3"), (0.84, "kick"), (0.84, "crash"))
    for i, (at, kind) in enumerate(hits):
        if kind == "kick":
            sound = s.thump(rate, 55, 0.4, seed=170 + i)
        elif kind == "snare":
            sound = snare(rate, 170 + i)
        elif kind == "crash":
            sound = s.band(s.noise(0.5, rate, 170 + i), rate, low=4000) * s.decay(0.5, rate, 0.25) * 0.4
        else:
            sound = s.thump(rate, {"tom1": 180, "tom2": 140, "tom3": 100}[kind], 0.35, drop=0.3,
                            seed=170 + i, click=0.4)
        s.place(out, sound, at, rate)
    return s.widen(out, rate, 178, 0.25)


def ghost(rate, seconds, low, high, seed, scale):
    t = s.times(seconds, rate)
    pitch = np.interp(t, [0, seconds * 0.3, seconds * 0.7, seconds], [low, high, high * 0.95, low * 0.8])
    pitch *= 1 + 0.03 * np.sin(2 * np.pi * 5.5 * t)
    wail = s.voice(pitch, seconds, rate, "u", breath=0.5, seed=seed, jitter=0.02, scale=scale)
    wail *= s.envelope(seconds, rate, [(0, 0), (seconds * 0.2, 1), (seconds * 0.8, 0.9), (seconds, 0)])
    return s.room(wail, rate, 1.0, 0.6, seed + 1)


def ghost_male(rate, seconds):
    return ghost(rate, seconds, 130, 220, 180, 1.0)


def ghost_female(rate, seconds):
    return ghost(rate, seconds, 450, 820, 190, 1.3)


def yawn(rate, seconds):
    inhale = s.band(s.noise(1.2, rate, 200), rate, low=400, high=3000)
    inhale *= s.envelope(1.2, rate, [(0, 0), (0.6, 0.15), (1.2, 0)])
    dur = 3.0
    pitch = np.interp(s.times(dur, rate), [0, 0.4, 2.0, dur], [320, 300, 190, 140])
    sigh = s.voice(pitch, dur, rate, "a", breath=0.6, seed=201, jitter=0.03)
    sigh *= s.envelope(dur, rate, [(0, 0), (0.3, 1), (2.0, 0.7), (dur, 0)])
    hum = s.voice(130, 0.6, rate, "m", breath=0.2, seed=202) * s.envelope(0.6, rate, [(0, 0), (0.1, 0.6), (0.6, 0)])
    out = s.silence(seconds, rate)
    s.place(out, inhale, 0.0, rate)
    s.place(out, sigh, 1.1, rate)
    s.place(out, hum, 4.1, rate)
    return out


def cheers(seconds, rate, seed, count):
    r = s.rng(seed)
    left = s.silence(seconds, rate)
    right = s.silence(seconds, rate)
    for i in range(count):
        dur = 0.6 + 1.5 * r.random()
        f0 = 180 + 350 * r.random()
        pitch = s.glide(f0, f0 * (1.2 + 0.3 * r.random()), dur, rate)
        shout = s.voice(pitch, dur, rate, "o" if i % 2 else "u", breath=0.5, seed=seed + i,
                        jitter=0.03, scale=1.0 + 0.3 * r.random())
        shout *= s.envelope(dur, rate, [(0, 0), (0.1, 1), (dur, 0)])
        side = r.random()
        at = r.random() * (seconds - dur)
        s.place(left, shout * side, at, rate)
        s.place(right, shout * (1 - side), at, rate)
    return s.stereo(left, right)


def cheering_applause(rate, seconds):
    claps = applause(seconds, rate, 210, 70)
    voices = cheers(seconds, rate, 211, 14) * 0.5
    env = s.envelope(seconds, rate, [(0, 0), (0.2, 1), (seconds - 0.8, 1), (seconds, 0.2)])[:, None]
    return (claps + voices) * env


def applause(seconds, rate, seed, per_second):
    return s.applause(seconds, rate, seed, per_second)


def machine_gun(rate, seconds):
    out = s.silence(seconds, rate)
    for i in range(12):
        s.place(out, s.crack(rate, 0.3, seed=220 + i, tau=0.03, body=0.8), 0.02 + i * 0.075, rate)
    out = s.room(out, rate, 0.7, 0.4, 235)
    return s.widen(out, rate, 236, 0.2)


def thunderous_applause(rate, seconds):
    claps = applause(seconds, rate, 240, 160)
    env = s.envelope(seconds, rate, [(0, 0), (0.1, 1), (seconds - 0.6, 1), (seconds, 0.1)])[:, None]
    return claps * env


def cough(rate, seconds):
    out = s.silence(seconds, rate)
    for i, at in enumerate((0.0, 0.25)):
        dur = 0.2
        burst = s.band(s.noise(dur, rate, 250 + i), rate, low=300, high=4000)
        burst += 0.8 * s.voice(s.glide(150, 110, dur, rate), dur, rate, "a", breath=1.0, seed=252 + i)
        burst *= s.envelope(dur, rate, [(0, 0), (0.01, 1), (0.05, 0.6), (dur, 0)])
        s.place(out, burst, at, rate)
    return s.widen(out, rate, 255, 0.15)


def scream(rate, seconds):
    def cry(i, r):
        dur = 1.2 + 1.3 * r.random()
        f0 = 900 + 300 * r.random()
        t = s.times(dur, rate)
        pitch = np.interp(t, [0, 0.15, dur * 0.7, dur], [f0 * 0.7, f0, f0 * 0.97, f0 * 0.75])
        pitch *= 1 + 0.02 * np.sin(2 * np.pi * 6.5 * t)
        sound = s.voice(pitch, dur, rate, "a", breath=0.5, seed=261 + i, jitter=0.03, scale=1.35)
        sound *= s.envelope(dur, rate, [(0, 0), (0.08, 1), (dur * 0.8, 0.85), (dur, 0)])
        return sound, dur + 0.4 + 0.8 * r.random()
    out = s.series(seconds, rate, 260, 0.1, 1.0, cry)
    return s.widen(s.room(out, rate, 0.9, 0.3, 269), rate, 270, 0.2)


def sly_laugh(rate, seconds):
    out = s.silence(seconds, rate)
    s.place(out, s.laugh(rate, 280, 9, 330, 1, "e", scale=1.1, gap=0.16, fall=0.985), 0.1, rate)
    s.place(out, s.laugh(rate, 281, 10, 300, 1, "i", scale=1.1, gap=0.15, fall=0.98), 2.2, rate)
    return s.widen(out, rate, 282, 0.2)


def hotline(rate, seconds):
    ring = s.tone(450.0, 1.0, rate) * 0.3
    words = speech.say("您好，欢迎致电精神病热线。强迫症患者，请反复按一。依赖症患者，请找人帮你按二。"
                       "多重人格患者，请按三、四、五、六。", rate, "cmn+f2", speed=200, pitch=55)
    out = s.silence(seconds, rate)
    s.place(out, s.fade(ring, rate, 0.01, 0.01), 0.1, rate)
    s.place(out, speech.telephone(s.normalise(words, 0.9), rate), 1.5, rate)
    return s.stereo(out)


def ambulance(rate, seconds):
    # Two alternating tones, the way Chinese ambulances sound.
    t = s.times(seconds, rate)
    high = (np.floor(t / 0.45) % 2) == 0
    pitch = np.where(high, 960.0, 770.0)
    siren = s.harmonics(pitch, seconds, rate, [1.0, 0.0, 0.3, 0.0, 0.15])
    return s.widen(siren * 0.5, rate, 290, 0.3)


def gunshot(rate, seconds):
    out = s.silence(seconds, rate)
    s.place(out, s.crack(rate, 1.2, seed=300, tau=0.1), 0.05, rate)
    s.place(out, s.crack(rate, 1.0, seed=302, tau=0.2) * 0.25, 0.45, rate)
    s.place(out, s.crack(rate, 1.0, seed=304, tau=0.25) * 0.1, 0.95, rate)
    return s.widen(s.room(out, rate, 1.5, 0.5, 306), rate, 307, 0.3)


def moaning(rate, seconds):
    def sigh(i, r):
        dur = 1.0 + 1.2 * r.random()
        f0 = 300 + 120 * r.random()
        pitch = np.interp(s.times(dur, rate), [0, dur * 0.3, dur], [f0, f0 * 1.08, f0 * 0.8])
        sound = s.voice(pitch, dur, rate, "a" if i % 3 else "m", breath=0.7, seed=311 + i,
                        jitter=0.02, scale=1.2)
        sound *= s.envelope(dur, rate, [(0, 0), (dur * 0.3, 1), (dur, 0)])
        return sound, dur + 0.8 + 1.4 * r.random()
    return s.room(s.series(seconds, rate, 310, 0.3, 1.5, sigh), rate, 0.8, 0.25, 330)


def gong_strike(rate, seconds, seed, fundamental):
    ratios = (1.0, 1.52, 1.91, 2.35, 2.83, 3.41, 4.12, 4.9)
    partials = [(fundamental * k, 1.0 / (1 + 0.4 * i), 1.0 / (1 + 0.15 * i)) for i, k in enumerate(ratios)]
    body = s.ring(rate, seconds, partials, seconds / 3.0, seed=seed, strike=0.3)
    # The shimmer of a gong: beating partials that swell after the hit.
    swell = s.ring(rate, seconds, [(fundamental * 1.01, 0.5, 1.0), (fundamental * 2.37, 0.4, 0.8)],
                   seconds / 2.5, seed=seed + 1, strike=0.0)
    return body + swell * s.envelope(seconds, rate, [(0, 0), (0.6, 1), (seconds, 1)])


def gong(rate, seconds):
    return s.widen(gong_strike(rate, seconds, 340, 180.0), rate, 341, 0.3)


def bell(rate, seconds):
    base = 440.0
    partials = [(base * 0.5, 0.6, 1.6), (base, 1.0, 1.0), (base * 1.19, 0.5, 0.8), (base * 1.5, 0.4, 0.7),
                (base * 2.0, 0.5, 0.6), (base * 2.52, 0.25, 0.4), (base * 3.0, 0.2, 0.3)]
    return s.widen(s.ring(rate, seconds, partials, 0.9, seed=350, strike=0.2), rate, 351, 0.35)


def kiss(rate, seed, length=0.25, hum=0.0):
    smack = s.band(s.noise(0.03, rate, seed), rate, low=500, high=6000) * s.decay(0.03, rate, 0.004, 0.0003)
    suck = s.band(s.noise(0.12, rate, seed + 1), rate, low=1500, high=5000)
    suck *= s.envelope(0.12, rate, [(0, 0), (0.08, 0.15), (0.12, 0)])
    out = s.silence(length, rate)
    s.place(out, suck, 0.0, rate)
    s.place(out, smack, 0.11, rate)
    if hum:
        mm = s.voice(s.glide(330, 420, 0.25, rate), 0.25, rate, "m", breath=0.1, seed=seed + 2, scale=1.2)
        s.place(out, mm * s.envelope(0.25, rate, [(0, 0), (0.05, 1), (0.25, 0)]) * hum, 0.0, rate)
    return out


def kiss_quick(rate, seconds):
    out = s.silence(seconds, rate)
    s.place(out, kiss(rate, 360), 0.05, rate)
    return out


def kiss_female(rate, seconds):
    out = s.silence(seconds, rate)
    for i, at in enumerate((0.1, 0.55, 1.3, 1.75)):
        s.place(out, kiss(rate, 370 + 3 * i, 0.4, hum=0.3 if i % 2 else 0.0), at, rate)
    hum = s.voice(s.glide(380, 300, 0.6, rate), 0.6, rate, "m", breath=0.2, seed=380, scale=1.25)
    s.place(out, hum * s.envelope(0.6, rate, [(0, 0), (0.1, 0.5), (0.6, 0)]), 2.15, rate)
    return out


def light_applause(rate, seconds):
    claps = applause(seconds, rate, 390, 14)
    return claps * s.envelope(seconds, rate, [(0, 0), (0.2, 1), (seconds - 0.5, 1), (seconds, 0.2)])[:, None]


def sword_fight(rate, seconds):
    def clash(i, r):
        base = 1300 + 1200 * r.random()
        clang = s.ring(rate, 0.6, [(base, 1.0, 1.0), (base * 1.47, 0.7, 0.8), (base * 2.09, 0.5, 0.6),
                                  (base * 2.76, 0.3, 0.5)], 0.09, seed=401 + i, strike=0.8)
        swish = s.band(s.noise(0.15, rate, 450 + i), rate, low=600, high=4000)
        swish *= s.envelope(0.15, rate, [(0, 0), (0.12, 0.4), (0.15, 0)])
        sound = s.silence(0.74, rate)
        s.place(sound, swish, 0.0, rate)
        s.place(sound, clang, 0.14, rate)
        return sound, 0.2 + 0.5 * r.random()
    return s.room(s.series(seconds, rate, 400, 0.1, 0.3, clash), rate, 0.6, 0.3, 460)


def crowd_laughing(rate, seconds):
    r = s.rng(410)
    left = s.silence(seconds, rate)
    right = s.silence(seconds, rate)
    for i in range(12):
        f0 = 140 + 280 * r.random()
        voice = s.laugh(rate, 411 + 5 * i, 8 + int(6 * r.random()), f0, 1, "a" if i % 2 else "e",
                        scale=0.9 + 0.4 * r.random(), gap=0.13 + 0.07 * r.random())
        at = r.random() * 1.2
        side = r.random()
        s.place(left, voice * side, at, rate)
        s.place(right, voice * (1 - side), at, rate)
    env = s.envelope(seconds, rate, [(0, 0), (0.3, 1), (seconds - 1.0, 0.8), (seconds, 0)])
    return s.stereo(s.room(left * env, rate, 0.8, 0.3, 470), s.room(right * env, rate, 0.8, 0.3, 471))


def pistol(rate, seconds):
    out = s.silence(seconds, rate)
    s.place(out, s.crack(rate, 1.0, seed=420, tau=0.06, low=600, body=0.4), 0.05, rate)
    s.place(out, s.crack(rate, 1.0, seed=422, tau=0.06, low=600, body=0.4), 0.75, rate)
    return s.widen(s.room(out, rate, 1.2, 0.45, 424), rate, 425, 0.3)


def crow(rate, seconds):
    # Caws passing from left to right over flapping wings.
    mono = s.silence(seconds, rate)
    for i, at in enumerate((0.15, 0.6, 1.15)):
        dur = 0.32
        pitch = s.glide(700, 560, dur, rate)
        caw = s.voice(pitch, dur, rate, "a", breath=2.0, seed=430 + i, jitter=0.1, scale=1.3)
        caw *= s.envelope(dur, rate, [(0, 0), (0.02, 1), (0.25, 0.8), (dur, 0)])
        s.place(mono, caw, at, rate)
    t = s.times(seconds, rate)
    wings = s.band(s.noise(seconds, rate, 440), rate, low=150, high=900)
    wings *= np.maximum(0, np.sin(2 * np.pi * 4.5 * t)) ** 3 * 0.5
    position = np.linspace(-0.9, 0.9, len(t))
    distance = 1.0 - 0.5 * np.abs(position)
    return s.pan((mono + wings) * distance, position)


def evil_laugh(rate, seconds):
    out = s.laugh(rate, 450, 8, 150, 1, "a", scale=0.85, gap=0.19, breath=0.5, syllable=0.14, fall=0.95)
    return s.room(out, rate, 1.2, 0.5, 451)


def heartbeat(rate, seconds):
    out = s.silence(seconds, rate)
    beat = 60.0 / 72.0
    at = 0.1
    while at < seconds - 0.3:
        s.place(out, s.thump(rate, 48, 0.18, drop=0.3, seed=460, click=0.0), at, rate)
        s.place(out, s.thump(rate, 58, 0.14, drop=0.3, seed=461, click=0.0) * 0.7, at + 0.28, rate)
        at += beat
    return s.band(out, rate, high=300)


def brass(rate, seconds, freq, seed):
    t = s.times(seconds, rate)
    shape = s.envelope(seconds, rate, [(0, 0), (0.04, 1), (seconds * 0.7, 0.8), (seconds, 0)])
    weights = [1.0 / k ** 0.7 for k in range(1, 16)]
    tone = s.harmonics(freq * (1 + 0.003 * np.sin(2 * np.pi * 5 * t)), seconds, rate, weights)
    return s.band(tone, rate, high=3000) * shape


def news_theme(rate, seconds):
    # An original fanfare: timpani roll, brass calls climbing to a held chord, strings beneath.
    out = s.silence(seconds, rate)
    roll = s.silence(2.0, rate)
    for i in range(24):
        s.place(roll, s.thump(rate, 73.4, 0.3, drop=0.1, seed=470 + i, click=0.1) * (i / 24), i * 0.08, rate)
    s.place(out, roll, 0.0, rate)
    notes = [(2.0, 0.4, 293.7), (2.4, 0.4, 392.0), (2.8, 0.8, 440.0), (3.6, 0.4, 392.0),
             (4.0, 1.6, 587.3), (6.0, 0.4, 523.3), (6.4, 0.4, 587.3), (6.8, 0.8, 659.3),
             (7.6, 0.4, 587.3), (8.0, 1.6, 784.0), (10.0, 0.5, 587.3), (10.5, 0.5, 659.3),
             (11.0, 0.5, 784.0), (11.5, 2.5, 880.0)]
    for i, (at, dur, freq) in enumerate(notes):
        s.place(out, brass(rate, dur, freq, i) * 0.4, at, rate)
        s.place(out, brass(rate, dur, freq / 2, i + 1) * 0.25, at, rate)
    chords = [(2.0, (146.8, 220.0, 293.7)), (6.0, (130.8, 196.0, 261.6)),
              (10.0, (146.8, 220.0, 293.7)), (14.0, (196.0, 246.9, 293.7)),
              (17.5, (146.8, 220.0, 293.7, 370.0))]
    for i, (at, freqs) in enumerate(chords):
        end = chords[i + 1][0] if i + 1 < len(chords) else seconds
        dur = end - at
        pad = sum(s.harmonics(f, dur, rate, [1.0, 0.5, 0.33, 0.25]) for f in freqs)
        pad *= s.envelope(dur, rate, [(0, 0), (0.5, 1), (dur - 0.3, 1), (dur, 0)])
        s.place(out, pad * 0.12, at, rate)
    for i, at in enumerate((14.0, 15.0, 16.0, 17.0, 17.5)):
        s.place(out, s.thump(rate, 73.4, 0.6, drop=0.1, seed=490 + i, click=0.2), at, rate)
        s.place(out, brass(rate, 0.5, 587.3, i) * 0.5, at, rate)
    out *= s.envelope(seconds, rate, [(0, 1), (seconds - 2.0, 1), (seconds, 0)])
    return s.widen(out, rate, 495, 0.35)


def counting(rate, seconds):
    words = speech.say("one two three four five", rate, "en-us", speed=300, pitch=45)
    out = s.silence(seconds, rate)
    s.place(out, s.normalise(words, 0.9), 0.0, rate)
    return s.stereo(out)


def baby_laugh(rate, seconds):
    def giggle(i, r):
        giggles = s.laugh(rate, 501 + i, 4 + int(4 * r.random()), 420 + 120 * r.random(), 1,
                          "e" if i % 2 else "a", scale=1.6, gap=0.12, breath=0.4, syllable=0.08,
                          fall=1.02)
        breath = s.band(s.noise(0.3, rate, 520 + i), rate, low=800, high=4000)
        breath *= s.envelope(0.3, rate, [(0, 0), (0.2, 0.1), (0.3, 0)])
        s.place(giggles, breath, len(giggles) / rate - 0.3, rate)
        return giggles, len(giggles) / rate + 0.3 * r.random()
    return s.widen(s.series(seconds, rate, 500, 0.1, 1.2, giggle), rate, 530, 0.2)


def glass(rate, seconds):
    # The smash, then shards tinkling down ever more sparsely.
    r = s.rng(540)
    left = s.silence(seconds, rate)
    right = s.silence(seconds, rate)
    smash = s.band(s.noise(0.6, rate, 541), rate, low=1500) * s.decay(0.6, rate, 0.08, 0.001)
    s.place(smash, s.thump(rate, 90, 0.3, seed=542, click=1.0), 0.0, rate, 0.5)
    s.place(left, smash, 0.05, rate)
    s.place(right, smash, 0.05, rate)
    for i in range(160):
        at = 0.08 + (r.random() ** 2.2) * (seconds - 0.5)
        freq = 2500 + 6000 * r.random()
        shard = s.ring(rate, 0.25, [(freq, 1.0, 1.0), (freq * 1.63, 0.5, 0.7), (freq * 2.41, 0.3, 0.5)],
                       0.03 + 0.05 * r.random(), seed=543 + i, strike=0.3)
        level = 0.3 * (1 - at / seconds) * (0.3 + r.random())
        side = r.random()
        s.place(left, shard * level * side, at, rate)
        s.place(right, shard * level * (1 - side), at, rate)
    return s.stereo(s.room(left, rate, 0.7, 0.25, 720), s.room(right, rate, 0.7, 0.25, 721))


def helicopter(rate, seconds):
    t = s.times(seconds, rate)
    blades = np.maximum(0, np.sin(2 * np.pi * 17.0 * t)) ** 6
    wash = s.band(s.noise(seconds, rate, 550), rate, low=60, high=1200) * blades
    rumble = s.band(s.noise(seconds, rate, 551), rate, high=150) * 0.6
    whine = s.harmonics(1150 + 30 * t, seconds, rate, [0.05, 0.02])
    body = wash + rumble + whine
    position = np.linspace(-1.0, 1.0, len(t))
    loudness = 0.4 + 0.6 * np.exp(-(position ** 2) * 3)
    return s.pan(body * loudness, position * 0.8)


def tobrin_laugh(rate, seconds):
    # A big, breathless belly laugh that climbs before it tumbles.
    out = s.silence(seconds, rate)
    s.place(out, s.laugh(rate, 560, 6, 200, 1, "a", scale=0.95, gap=0.2, syllable=0.15, fall=1.05), 0.05, rate)
    s.place(out, s.laugh(rate, 561, 9, 260, 1, "a", scale=0.95, gap=0.16, syllable=0.12, fall=0.95), 1.3, rate)
    inhale = s.band(s.noise(0.4, rate, 562), rate, low=500, high=3000)
    s.place(out, inhale * s.envelope(0.4, rate, [(0, 0), (0.3, 0.2), (0.4, 0)]), 2.95, rate)
    return s.widen(out, rate, 563, 0.2)


def be_decent(rate, seconds):
    words = speech.say("做人要厚道点", rate, "cmn", speed=175, pitch=40)
    out = s.silence(seconds, rate)
    s.place(out, s.normalise(words, 0.9), 0.05, rate)
    return s.widen(out, rate, 570, 0.1)


def siren(rate, seconds):
    # An air-raid siren: each cycle winds up, holds and winds down.
    t = s.times(seconds, rate)
    cycle = 9.6
    phase = (t % cycle) / cycle
    pitch = np.interp(phase, [0, 0.35, 0.6, 1.0], [180, 780, 760, 180])
    tone = s.harmonics(pitch, seconds, rate, [1.0, 0.5, 0.33, 0.25, 0.2, 0.16])
    tone = s.band(tone, rate, high=2500)
    loud = np.interp(phase, [0, 0.35, 0.6, 1.0], [0.3, 1.0, 1.0, 0.3])
    return s.room(tone * loud, rate, 1.5, 0.3, 580) * s.envelope(seconds, rate, [(0, 0), (1.0, 1), (seconds - 1.0, 1), (seconds, 0)])


def thunder(rate, seconds):
    t = s.times(seconds, rate)
    crack_part = s.band(s.noise(seconds, rate, 590), rate, low=800) * s.decay(seconds, rate, 0.05, 0.002)
    rumble = s.band(s.noise(seconds, rate, 591), rate, high=220, order=3)
    rolling = 0.6 + 0.4 * s.band(s.noise(seconds, rate, 592), rate, high=6.0) * 20
    rumble *= np.clip(rolling, 0, None) * np.exp(-t / 0.9) * np.clip(t / 0.08, 0, 1)
    left = crack_part * 0.4 + rumble
    right = np.roll(crack_part, int(0.01 * rate)) * 0.4 + s.band(s.noise(seconds, rate, 593), rate, high=220, order=3) * np.clip(rolling, 0, None) * np.exp(-t / 0.9) * np.clip(t / 0.08, 0, 1)
    return s.stereo(left, right)
