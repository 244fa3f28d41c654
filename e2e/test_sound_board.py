"""The sound board heard for real: what the program plays is recorded from a private PulseAudio
server and taken apart again with the clips the build made. Overlapping clips must both be in
the recording at full level, repeated clicks must give as many copies, 停止播放 must silence
fifty clips within 100 ms and the custom slot's file at once, the ADPCM clip must play, an 8-bit
clip must end in silence, and a slot chosen in the real Open dialog must be saved byte for byte
and play its file.

Moments are found in the recording itself (where a clip's copy begins); the test's own clock
only says how far apart two of its clicks were, which holds within milliseconds, while where a
recording begins on that clock is uncertain by a fifth of a second. Where a measurement relies
on the recording's timing and the recording lost time there (see pulse_capture), it is made once
more; measurements of levels and energies hold whether or not the audio path slipped."""

import os
import subprocess
import sys
import time

import numpy as np

import harness
import winebox
import pulse_capture
from harness import ProgramTest, wait_until
from pulse_capture import RATE, once_more_on_gap
from sound_analysis import clip_at_recording_rate

CLIP_DIR = os.environ.get("ZANVORO_CLIP_DIR", "")
SEPARATOR = "￥￥￥￥￥￥%%%%%%%"
UNCHOSEN = "亲，你还没有选择场景音哦！点击我！选择歌曲！"
MEDIA_TONE_HZ = 1234.0  # far from every clip's strongest lines, so the media file stands out
SILENT_RMS = 1e-3
STOP_WITHIN_S = 0.1
# Clips that sound longer than fifty clicks take, and a gunshot that marks a moment.
LONG_BUTTONS = (49, 9, 30, 42, 6, 27, 11, 25)
MARK_BUTTON = 29

_pulse = pulse_capture.ModulePulse("pulse-sound")
setUpModule, tearDownModule = _pulse.set_up, _pulse.tear_down


def clip(name):
    return pulse_capture.read_wave(os.path.join(CLIP_DIR, name))


def correlate(signal, template):
    """Cross-correlation for every lag where the template starts inside the signal."""
    size = 1 << int(np.ceil(np.log2(len(signal) + len(template))))
    product = np.fft.rfft(signal, size) * np.conj(np.fft.rfft(template, size))
    return np.fft.irfft(product, size)[:len(signal)]


def find_copies(recording, template, count, block=2205, search=660):
    """Peels `count` copies of the template off the recording, strongest first. Each copy is
    found as a whole, then subtracted block by block, every block aligned on its own within
    `search` samples: under load the audio path shifts a stream by a few milliseconds now and
    then, and may drop a moment of it. Returns [(start in seconds, gain)] in the order found,
    where gain is what most blocks reached (the 80th percentile, so a dropout does not count
    against the copy), and what is left."""
    residual = recording.copy()
    copies = []
    # Quiet blocks say little about the level and much about whatever else is playing.
    loudest = max(float(np.dot(template[i:i + block], template[i:i + block]))
                  for i in range(0, len(template), block))
    for _ in range(count):
        # A copy must start early enough for half a second of it to be in the recording.
        usable = max(1, len(residual) - min(len(template), RATE // 2))
        lag = int(np.argmax(correlate(residual, template)[:usable]))
        gains = []
        for offset in range(0, len(template), block):
            start = lag + offset
            part = template[offset:offset + block][:max(0, len(residual) - start - search)]
            energy = float(np.dot(part, part))
            if len(part) < block // 2 or energy < 0.1 * loudest * len(part) / block:
                continue
            low = max(0, start - search)
            scores = np.correlate(residual[low:start + len(part) + search], part, "valid")
            best = int(np.argmax(scores))
            gain = scores[best] / energy
            residual[low + best:low + best + len(part)] -= gain * part
            gains.append(gain)
        copies.append((lag / RATE, float(np.percentile(gains, 80)) if gains else 0.0))
    return copies, residual


def click_burst(program, entries):
    """Clicks buttons in turn from one probe ("+MS" pauses instead), each handled before the
    next; returns when each click had been handled, in seconds from the first."""
    answer = program.session.probe("clicks", "--caption", program.main_caption,
                                   "--names", ",".join(entries))
    if not answer.get("ok") or not answer.get("handled"):
        raise AssertionError(f"the burst of clicks was not handled: {answer}")
    return [us / 1e6 for us in answer["at_us"]]


def energy_ratio(recording, clips):
    """The recording's energy against that of the clips it should hold whole. Clips that are
    alike to themselves at no shift but none (noise, applause) add their energies however they
    overlap, and a slip of the audio path under load, which only puts silence in, changes
    nothing: unlike subtracting copies sample by sample."""
    return float(np.sum(recording ** 2)) / sum(float(np.sum(c ** 2)) for c in clips)


def rms(x):
    return float(np.sqrt(np.mean(x ** 2))) if len(x) else 0.0


def tone_level(x, freq):
    """Amplitude of one sine in x (Hann-windowed)."""
    window = np.hanning(len(x))
    phase = np.exp(-2j * np.pi * freq * np.arange(len(x)) / RATE)
    return float(2 * abs(np.sum(x * window * phase)) / np.sum(window))


def write_tone(path, seconds, freq=MEDIA_TONE_HZ):
    t = np.arange(int(seconds * RATE)) / RATE
    tone = 0.3 * np.sin(2 * np.pi * freq * t)
    # Quiet padding: the system player may cut the last few hundred milliseconds.
    pulse_capture.write_wave(path, np.concatenate([tone, np.zeros(RATE // 2)]))


def slot_file(slots):
    """The configuration file's bytes for (label, path) pairs of slots 1..18."""
    text = "".join(label + SEPARATOR + path + SEPARATOR for label, path in slots)
    return text.encode("gbk")


class SoundTest(ProgramTest):
    def setUp(self):
        if not CLIP_DIR:
            self.skipTest("ZANVORO_CLIP_DIR is not set")

    def record(self, actions, tail):
        """Records while running actions, then `tail` seconds more; returns the samples and, for
        each action, the moment its call returned on the test's clock (seconds), which only
        tells how far apart two actions were."""
        _pulse.start_recording(os.path.join(harness.session().dir, f"{self.id()}.wav"))
        returned = []
        for action in actions:
            action()
            returned.append(time.monotonic())
        time.sleep(tail)
        return _pulse.stop_recording(), returned

    def warm_up(self, program):
        """The process's first playback waits for the sound engine, made at the first click,
        and under Wine a new audio stream stutters for its first second or two: one short clip
        first, heard to its end, so the clips measured do not carry that and nothing of the
        first is left to hear."""
        _pulse.start_recording(os.path.join(harness.session().dir, f"{self.id()}-warm.wav"))
        program.click("官方音按钮16")

        def heard_and_ended():
            samples = pulse_capture.without_pilot(pulse_capture.read_wave(_pulse.recording_path))
            loud = np.flatnonzero(np.abs(samples) > 0.1)
            return len(loud) > 0 and len(samples) - loud[-1] > 0.3 * RATE

        wait_until(heard_and_ended, timeout=20, interval=0.1, what="the first clip heard out")
        _pulse.stop_recording()

    def assert_silent_after(self, recording, stopped_at, what, within=STOP_WITHIN_S):
        """Sound right up to the stop, silence from `within` after it to the end."""
        before = recording[int((stopped_at - 0.6) * RATE):int((stopped_at - 0.1) * RATE)]
        after = recording[int((stopped_at + within) * RATE):]
        self.assertGreater(rms(before), 0.05, f"{what} sounded until the stop")
        self.assertGreater(len(after), RATE, "the recording goes on after the stop")
        loud = np.flatnonzero(np.abs(recording) > 0.01)
        last = loud[-1] / RATE if len(loud) else 0.0
        print(f"{self.id()}: {what} last heard {(last - stopped_at) * 1000:.0f} ms after the stop",
              file=sys.stderr, flush=True)
        self.assertLess(rms(after), SILENT_RMS,
                        f"{what} silent from {within * 1000:.0f} ms after the stop at "
                        f"{stopped_at:.3f} s (last sound at {last:.3f} s)")


class OverlapTest(SoundTest):
    def test_a_short_clip_mixes_into_a_long_one_and_both_are_heard_whole(self):
        program, _ = self.start()
        self.warm_up(program)
        # Applause, noise that never repeats, is easy to find again under a bark.
        applause, dog = clip("mc23.wav"), clip("mc16.wav")
        streams = []
        recording, _ = self.record([lambda: program.click("官方音按钮23"), lambda: time.sleep(0.6),
                                    lambda: streams.extend(_pulse.sink_inputs()),
                                    lambda: program.click("官方音按钮16")], tail=4.0)
        # The keep-alive stream is pacat's; anything else is the program's engine through Wine.
        self.assertTrue([name for name in streams if name != "pacat"],
                        f"the program played through another device (streams: {streams})")
        [(applause_at, applause_gain)], residual = find_copies(recording, applause, 1)
        [(dog_at, dog_gain)], left = find_copies(residual, dog, 1)
        self.assertAlmostEqual(applause_gain, 1.0, delta=0.2)
        self.assertAlmostEqual(dog_gain, 1.0, delta=0.2)
        self.assertGreater(dog_at, applause_at + 0.3, "the dog was clicked after the applause")
        # The bark ended on its own while the applause went on to its end.
        self.assertLess(dog_at + len(dog) / RATE, applause_at + len(applause) / RATE)
        self.assertAlmostEqual(energy_ratio(recording, [applause, dog]), 1.0, delta=0.25,
                               msg="nothing else was played")

    def test_five_clicks_give_five_overlapping_copies(self):
        program, _ = self.start()
        self.warm_up(program)
        # Applause never repeats, so each copy is found at its own start, however close the
        # clicks came; the clicks take far less time than the clip lasts.
        applause = clip("mc23.wav")
        recording, _ = self.record([lambda: program.click("官方音按钮23")] * 5, tail=5.0)
        copies, _ = find_copies(recording, applause, 5)
        starts = sorted(start for start, _ in copies)
        for start, gain in copies:
            self.assertAlmostEqual(gain, 1.0, delta=0.2, msg=f"copies (start, gain): {copies}")
        self.assertTrue(all(b - a > 0.002 for a, b in zip(starts, starts[1:])),
                        f"five copies, each at its own start: {starts}")
        self.assertLess(starts[-1] - starts[0], len(applause) / RATE, "all five overlap")
        # A sixth copy would add a fifth more, a missing one take a fifth away.
        self.assertAlmostEqual(energy_ratio(recording, [applause] * 5), 1.0, delta=0.1,
                               msg=f"five copies and no more (copies {copies})")

    @once_more_on_gap
    def test_the_adpcm_clip_plays_like_the_others(self):
        program, _ = self.start()
        self.warm_up(program)
        reference = os.path.join(harness.session().dir, "mc02-44k.wav")
        # sox decodes Microsoft ADPCM on its own, so this does not trust our encoder.
        subprocess.run(["sox", os.path.join(CLIP_DIR, "mc02.wav"), "-r", str(RATE), "-e", "signed",
                        "-b", "16", reference], check=True)
        chime = pulse_capture.read_wave(reference)
        recording, _ = self.record([lambda: program.click("官方音按钮2")], tail=1.5)
        [(at, gain)], residual = find_copies(recording, chime, 1)
        _pulse.require_whole(at, at + len(chime) / RATE)
        self.assertAlmostEqual(gain, 1.0, delta=0.2)
        self.assertLess(rms(residual), 0.5 * rms(recording))


class ClipEndTest(SoundTest):
    @once_more_on_gap
    def test_an_8_bit_clip_ends_in_silence_without_a_click(self):
        program, _ = self.start()
        # Clip 1 is unsigned 8-bit and its last 150 ms are silence (0x80). An output left to run
        # dry pads with zero bytes, full negative in that format: 10-20 ms at about -1.0 right
        # after every copy.
        knock = clip_at_recording_rate(os.path.join(CLIP_DIR, "mc01.wav"),
                                       os.path.join(harness.session().dir, "mc01-44k.wav"))
        count, gap = 3, 1.2
        actions = [lambda: program.click("官方音按钮1"), lambda: time.sleep(gap)] * count
        recording, _ = self.record(actions, tail=0.5)
        copies, _ = find_copies(recording, knock, count)
        starts = sorted(start for start, _ in copies)
        _pulse.require_whole(starts[0], starts[-1] + len(knock) / RATE + 0.15)
        self.assertTrue(all(b - a > gap / 2 for a, b in zip(starts, starts[1:])),
                        f"three separate copies (at {starts})")
        window = int(0.15 * RATE)
        after = [float(np.max(np.abs(recording[end:end + window]), initial=0.0))
                 for end in (int(start * RATE) + len(knock) for start in starts)]
        # The middle of three, so one copy disturbed by a stutter of the audio path does not count.
        self.assertLess(float(np.median(after)), 0.1 * float(np.max(np.abs(knock))),
                        f"peaks in the 150 ms after each copy: {after}")


class StopAllTest(SoundTest):
    @once_more_on_gap
    def test_stop_silences_fifty_overlapping_clips_within_100_ms(self):
        program, _ = self.start()
        self.warm_up(program)
        # Fifty clicks in a burst from one probe, a second and a half of all of them, the stop,
        # and at once a gunshot: it starts where the stop took effect, give or take one pass of
        # the mixer, and is the only thing left to hear.
        burst = [f"官方音按钮{n}" for n in (LONG_BUTTONS * 7)[:50]]
        burst += ["+1500", "官方音按钮51", f"官方音按钮{MARK_BUTTON}"]
        handled = []
        recording, _ = self.record([lambda: handled.extend(click_burst(program, burst))],
                                   tail=3.0)
        gunshot = clip(f"mc{MARK_BUTTON:02d}.wav")
        [(mark_at, gain)], _ = find_copies(recording, gunshot, 1)
        self.assertAlmostEqual(gain, 1.0, delta=0.2, msg="the gunshot after the stop")
        clicked_apart = handled[-1] - handled[-2]
        stopped_at = mark_at - clicked_apart
        _pulse.require_whole(stopped_at - 0.6, stopped_at + 0.4)
        before = recording[int((stopped_at - 0.6) * RATE):int((stopped_at - 0.1) * RATE)]
        span = (STOP_WITHIN_S, 0.4)  # after the stop
        after = recording[int((stopped_at + span[0]) * RATE):int((stopped_at + span[1]) * RATE)]
        alone = gunshot[int((span[0] - clicked_apart) * RATE):int((span[1] - clicked_apart) * RATE)]
        print(f"{self.id()}: before the stop {rms(before):.3f}; from 100 ms after it "
              f"{rms(after):.3f}, the gunshot alone {rms(alone):.3f}", file=sys.stderr, flush=True)
        self.assertGreater(rms(before), 0.1, "fifty clips sounded until the stop")
        # Levels, not samples, are compared, so a slip of the audio path under load changes
        # little; the fifty sounding on for 10 ms more would lift the level by half.
        self.assertLess(rms(after), 1.3 * rms(alone),
                        "from 100 ms after the stop only the gunshot sounds")

    @once_more_on_gap
    def test_stop_silences_every_clip_and_the_slot_file_at_once(self):
        media_dir = harness.session().dir
        song = os.path.join(media_dir, "开场 音乐.wav")
        write_tone(song, 20.0)
        d_dir = os.path.join(media_dir, "d-stop")
        os.makedirs(os.path.join(d_dir, "Zanvoro助手"), exist_ok=True)
        slots = [("开场 音乐.wav", winebox.win_path(song))] + [(UNCHOSEN, "")] * 17
        with open(os.path.join(d_dir, "Zanvoro助手", "自定义配置.txt"), "wb") as f:
            f.write(slot_file(slots))
        program, window = self.start(d_dir)
        self.assertEqual(window["自定义歌曲名字1"]["text"], "开场 音乐.wav")
        self.warm_up(program)

        news = clip("mc42.wav")
        recording, returned = self.record(
            [lambda: program.click("自定义播放按钮1"), lambda: time.sleep(1.5),
             lambda: program.click("官方音按钮42"), lambda: program.click("官方音按钮49"),
             lambda: time.sleep(1.5), lambda: program.click("官方音按钮51")], tail=2.5)
        [(news_at, _)], _ = find_copies(recording, news, 1)
        stopped_at = news_at + returned[-1] - returned[2]
        _pulse.require_whole(news_at, stopped_at + 1.0)
        before = recording[int((stopped_at - 1.0) * RATE):int((stopped_at - 0.1) * RATE)]
        # Read in tenths of a second: the file's own stream may slip under load, and a long
        # reading across a slip cancels itself out.
        tenths = [tone_level(before[i:i + RATE // 10], MEDIA_TONE_HZ)
                  for i in range(0, len(before) - RATE // 10, RATE // 10)]
        self.assertGreater(float(np.median(tenths)), 0.1, "the slot's file was playing")
        # The file stops through the system's media player, which takes a moment longer.
        self.assert_silent_after(recording, stopped_at, "clips and file", within=0.3)


class ChosenSlotTest(SoundTest):
    def test_a_file_chosen_in_the_open_dialog_is_saved_exactly_and_plays(self):
        media = os.path.join(harness.session().dir, "slot3.wav")
        write_tone(media, 6.0)
        program, _ = self.start()
        program.press("自定义歌曲名字3", post=True)
        session = harness.session()
        dialog = wait_until(lambda: [w for w in program.boxes() if w["caption"] == "Open"],
                            timeout=20, what="the Open dialog")
        self.assertTrue(dialog)
        time.sleep(0.5)  # the dialog takes keys once its edit box has the focus
        env = dict(session.env)
        subprocess.run(["xdotool", "type", "--delay", "20", winebox.win_path(media)],
                       env=env, check=True, timeout=60)
        subprocess.run(["xdotool", "key", "Return"], env=env, check=True, timeout=20)

        config = os.path.join(program.d_dir, "Zanvoro助手", "自定义配置.txt")
        wait_until(lambda: os.path.exists(config), timeout=20, what="the slots to be saved")
        slots = [(UNCHOSEN, "无"), (UNCHOSEN, ""), ("slot3.wav", winebox.win_path(media))]
        slots += [(UNCHOSEN, "")] * 15
        with open(config, "rb") as f:
            self.assertEqual(f.read(), slot_file(slots))
        window = program.wait_window(lambda w: w["自定义歌曲名字3"]["text"] == "slot3.wav",
                                     what="the slot's new caption")
        self.assertEqual(window["自定义歌曲名字3"]["text"], "slot3.wav")

        recording, _ = self.record([lambda: program.click("自定义播放按钮3")], tail=2.5)
        self.assertGreater(tone_level(recording[RATE:], MEDIA_TONE_HZ), 0.1, "the chosen file plays")


if __name__ == "__main__":
    harness.main()
