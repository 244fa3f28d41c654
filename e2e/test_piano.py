"""The simulated piano for real: opening its window takes F1..F12 from quick-send, switching it
on takes 46 plain keys system-wide, every press sounds its key's clip over whatever already
sounds, and closing the window gives every key back to nobody.

Keys are pressed with xdotool while the tests' chat box (e2e/chatbox) has the focus; whatever
the program does not take arrives there as a plain key. A key nobody takes (Escape, which also
empties the chat box) closes each burst of presses, so the test knows the keys before it have
been handled. What the program plays is recorded from a private PulseAudio server.
"""

import os
import time

import harness
import pulse_capture
from chat_keys import TEXTS, ChatBoxTest, send_lines, wait_box, xdotool
from harness import wait_until
from pulse_capture import RATE, once_more_on_gap
from sound_analysis import (clip_at_recording_rate, dominant_frequency, last_onset_after_quiet,
                            level_at, peak_frequency, tone_copy)

CLIP_DIR = os.environ.get("ZANVORO_CLIP_DIR", "")
NOTE_SECONDS = 3.03
KEY_GAP_S = 0.2
QUIET_S = 0.3  # the quiet between the notes' end and F1's effect is longer than this
MIN_GAIN = 0.4
PITCH_TOLERANCE = 0.015
# The three lowest notes and their pitches.
NOTES = [("q", "note_q.wav", 120.3), ("w", "note_w.wav", 135.0), ("e", "note_e.wav", 151.6)]

_pulse = pulse_capture.ModulePulse("pulse-piano")
setUpModule, tearDownModule = _pulse.set_up, _pulse.tear_down

PIANO = "Zanvoro模拟钢琴"
ON_TITLE = "温馨提示"
ON_TEXT = "模拟钢琴开启成功！现在就演奏吧~！"
HELD_TEXT = "以下按键已被其他程序占用，无法使用：F5、Q。其余按键已开启，现在就演奏吧~！"
BARRIER = ["down:1B"]


class PianoTest(ChatBoxTest):
    """Opening the piano window and switching it on, as the user does."""

    def open_piano(self, program):
        program.click("特定按钮4", post=True)  # the piano window is modal
        program.wait_window(lambda w: w.visible, caption=PIANO, what="the piano window")
        self.assertFalse(program.main().visible)

    def piano_on(self, program, control="保存配置按钮1", text=ON_TEXT):
        program.click(control, caption=PIANO, post=True)
        wait_box(program, ON_TITLE, text)

    def typed(self, chat, keys):
        """What the chat box receives of `keys` followed by the barrier key."""
        return self.press(chat, " ".join(keys + ["Escape"]), BARRIER)[:-1]


class PianoKeysTest(PianoTest):
    def test_piano_takes_its_keys_from_quick_send_and_gives_them_to_nobody(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program)
        self.switch_on(program)
        self.assertEqual(self.press(chat, "F1", send_lines(TEXTS[0])), send_lines(TEXTS[0]))

        self.open_piano(program)
        self.assertEqual(self.typed(chat, ["F1", "q"]), ["down:70", "down:51"],
                         "opening the piano switches quick-send off")

        self.piano_on(program)
        self.assertEqual(self.typed(chat, ["F1", "q", "w", "e", "1", "8", "F12", "m"]), [],
                         "the piano's keys never reach the focused program")
        self.assertEqual(self.typed(chat, ["shift+q", "9"]), ["down:10", "down:51", "down:39"])
        harness.session().screenshot("piano-on")

        program.click("按钮2", caption=PIANO)  # "关闭": off, the window stays
        self.assertEqual(self.typed(chat, ["q", "F1"]), ["down:51", "down:70"])
        self.piano_on(program, "按钮1")
        self.assertEqual(self.typed(chat, ["q"]), [])

        program.close(PIANO)
        program.wait_window(lambda w: w.visible, what="the main window to come back")
        wait_until(lambda: program.window(PIANO) is None, what="the piano window to go")
        self.assertEqual(self.typed(chat, ["F1", "q"]), ["down:70", "down:51"],
                         "closing releases every key and leaves quick-send off")

        self.switch_on(program)
        self.assertEqual(self.press(chat, "F1", send_lines(TEXTS[0])), send_lines(TEXTS[0]))


class HeldPianoKeysTest(PianoTest):
    def test_keys_another_program_holds_are_named_and_stay_with_it(self):
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program, hold_keys=(0x74, 0x51))  # F5, Q
        self.open_piano(program)
        self.piano_on(program, text=HELD_TEXT)
        chat.focus()
        mark = len(chat.lines())
        xdotool("key", "F5", "q", "w", "F6", "Escape")
        wait_until(lambda: chat.after(mark)[-1:] == BARRIER, what="the barrier key")
        self.assertEqual(chat.after(mark), BARRIER, "W and F6 are the piano's, F5 and Q the other's")
        hotkeys = [line for line in chat.lines()[mark:] if line.startswith("hotkey:")]
        self.assertEqual(hotkeys, ["hotkey:74", "hotkey:51"])


class PianoSoundTest(PianoTest):
    def clip(self, name):
        return clip_at_recording_rate(os.path.join(CLIP_DIR, name),
                                      os.path.join(harness.session().dir, name))

    @once_more_on_gap
    def test_notes_overlap_at_their_pitches_and_f1_plays_its_effect_not_a_text(self):
        if not CLIP_DIR:
            self.skipTest("ZANVORO_CLIP_DIR is not set")
        program, _, _ = self.start_with_texts(TEXTS)
        chat = self.chat_box(program)
        self.switch_on(program)
        self.open_piano(program)
        self.piano_on(program)
        chat.focus()
        mark = len(chat.lines())

        # The process's first playback also waits for the sound engine and opens Wine's audio
        # path, which takes a while; the notes measured below must not carry that.
        xdotool("key", "1")
        time.sleep(1.0)
        _pulse.start_recording(os.path.join(harness.session().dir, "piano.wav"))
        xdotool("key", "--delay", str(int(KEY_GAP_S * 1000)), "q", "w", "e")
        # F1 comes after the notes have rung out, past a stretch of quiet that tells them apart.
        time.sleep(NOTE_SECONDS + 0.5)
        xdotool("key", "F1")
        time.sleep(1.5)
        recording = _pulse.stop_recording()
        _pulse.require_whole()  # the notes' starts and levels are read against each other
        self.assertEqual(chat.after(mark), [], "no key reached the chat box, no text was sent")
        f1_at = last_onset_after_quiet(recording, QUIET_S) - 0.05

        # Each note is followed by the level of its fundamental, which no other note shares:
        # the recording against the clip itself gives where the copy starts and how loud it is.
        # The bounds leave room for the audio path stuttering on a loaded machine; a missing,
        # faint or cut-off note is far outside them.
        notes = recording[:int(f1_at * RATE)]
        clips = {name: self.clip(name) for _, name, _ in NOTES}
        starts = []
        for key, name, pitch in NOTES:
            start, gain = tone_copy(notes, clips[name], pitch)
            self.assertTrue(MIN_GAIN < gain < 1 / MIN_GAIN, f"{key} at full level, not {gain:.2f}")
            starts.append(start)
        # On a loaded machine a playback may start a little late, so the order of the starts
        # is not checked; that they overlap is.
        self.assertLess(max(starts) - min(starts), NOTE_SECONDS - 1, f"the notes overlap: {starts}")
        # When the last of them is struck, the other two ring on as their clips do: no note cuts
        # another short.
        strike = 0.18
        moment = max(starts) + strike + 0.3
        for (key, name, pitch), start in zip(NOTES, starts):
            if start < max(starts):
                level = level_at(notes, clips[name], pitch, start, moment)
                self.assertGreater(level, MIN_GAIN, f"{key} still rings under the last note")
        # Each pitch is read where its note is loudest, from its strike on, with the other
        # notes sounding beside it: the middle of three readings, so one stutter of the audio
        # path cannot move it. Neighbouring notes lie 6 % and more apart.
        for (key, _, pitch), start in zip(NOTES, starts):
            readings = sorted(
                peak_frequency(notes[int((start + strike + lag) * RATE):
                                     int((start + strike + lag + 0.5) * RATE)], pitch)
                for lag in (0.0, 0.15, 0.3))
            self.assertAlmostEqual(readings[1], pitch, delta=pitch * PITCH_TOLERANCE,
                                   msg=f"pitch of {key}: {readings}")

        # The effect is told by its strongest line, at the level the clip has it.
        effect = self.clip("key_f1.wav")
        line = dominant_frequency(effect)
        after_f1 = recording[int(f1_at * RATE):]
        _, gain = tone_copy(after_f1, effect, line, window_s=0.04)
        self.assertTrue(MIN_GAIN < gain < 1 / MIN_GAIN,
                        f"the F1 clip's {line:.0f} Hz line at full level, not {gain:.2f}")


if __name__ == "__main__":
    harness.main()
