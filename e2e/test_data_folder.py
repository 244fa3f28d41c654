"""Where the program keeps its data on machines whose drive D: cannot hold it: a prefix without
a drive D:, and one whose D: is read-only (a bind mount, in a mount namespace of this module's
own). Texts and a slot saved there come back after a restart, a spoken take is played back,
and every file lies in the application-data folder. The slot's file is named with an emoji and
a Korean word, which the program must keep whole from the Open dialog to the player. With a
working D: the data stays on D: as it always did.
"""

import os
import shutil

import numpy as np

import harness
import pulse_capture
import voice_rig
from harness import NO_DRIVE_D, READ_ONLY_DRIVE_D, ProgramTest, wait_until
from pulse_capture import RATE

harness.own_mount_namespace()

_pulse = pulse_capture.ModulePulse("pulse-data-folder", voice_rig.VoicePulse)
setUpModule, tearDownModule = _pulse.set_up, _pulse.tear_down

FOLDER = "Zanvoro助手"
QUICK_CONFIG = "快捷键配置.txt"
SLOT_CONFIG = "自定义配置.txt"
MEDIA_NAME = "😀한국.wav"
TEXT = "欢迎😀来到直播间"
TONE_HZ = 1234.0
TAKE_TIMEOUT_S = 30
HEARD_TIMEOUT_S = 40
HEARD_RMS = 0.02  # far above the silence of the null sink, far below any clip


def write_tone(path, seconds=6.0):
    t = np.arange(int(seconds * RATE)) / RATE
    # Quiet padding: the system player may cut the last few hundred milliseconds.
    samples = np.concatenate([0.3 * np.sin(2 * np.pi * TONE_HZ * t), np.zeros(RATE // 2)])
    pulse_capture.write_wave(path, samples)


def loudest_rms(path, window=RATE // 20):
    """The loudest 50 ms of a recording still being written (0 while it holds nothing)."""
    try:
        samples = pulse_capture.read_wave(path)
    except (OSError, ValueError):
        return 0.0
    frames = len(samples) // window
    if frames == 0:
        return 0.0
    blocks = samples[:frames * window].reshape(frames, window)
    return float(np.sqrt((blocks ** 2).mean(axis=1)).max())


class DataFolderTest(ProgramTest):
    def app_data_folder(self):
        folder = os.path.join(harness.session().app_data(), FOLDER)
        shutil.rmtree(folder, ignore_errors=True)  # other modules share the prefix
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def hear(self, name, action):
        """Records the speaker while `action` runs and until something is heard."""
        path = os.path.join(harness.session().dir, f"{self.id()}-{name}.wav")
        _pulse.start_recording(path)
        try:
            action()
            wait_until(lambda: loudest_rms(path) > HEARD_RMS, timeout=HEARD_TIMEOUT_S,
                       interval=0.25, what=f"{name} to be heard")
        finally:
            _pulse.stop_recording()

    def save_text_and_slot(self, program, media):
        session = harness.session()
        answer = session.probe("settext", "--caption", program.main_caption, "--name",
                               "快捷编辑框1", "--text", TEXT)
        self.assertTrue(answer.get("ok"), answer)
        program.click("保存配置按钮")
        program.press("自定义歌曲名字1", post=True)
        answer = session.probe("choosefile", "--path", harness.winebox.win_path(media),
                               "--wait", "20000")
        self.assertTrue(answer.get("ok"), answer)
        program.wait_window(lambda w: w["自定义歌曲名字1"]["text"] == MEDIA_NAME,
                            what="the slot to take the chosen file")

    def speak_a_take(self, program, folder):
        voice_rig.start_listening(program)
        phrase = os.path.join(harness.session().dir, "phrase-mic.wav")
        if not os.path.exists(phrase):
            voice_rig.spoken_phrase(phrase)
        take = os.path.join(folder, "1.wav")
        self.hear("take", lambda: voice_rig.take_of_phrase(_pulse, take, phrase, TAKE_TIMEOUT_S))

    def test_without_a_usable_drive_d_the_data_lives_in_the_application_data(self):
        media = os.path.join(harness.session().dir, MEDIA_NAME)
        write_tone(media)
        for drive in (NO_DRIVE_D, READ_ONLY_DRIVE_D):
            with self.subTest(drive=drive):
                folder = self.app_data_folder()
                d_dir = harness.winebox.fresh_dir(os.path.join(harness.session().dir, f"d-{drive}"))
                program, _ = self.start(d_dir, drive=drive)
                program.wait_settled()
                self.save_text_and_slot(program, media)
                self.speak_a_take(program, folder)
                self.assertLessEqual({QUICK_CONFIG, SLOT_CONFIG, "1.wav"}, set(os.listdir(folder)))
                program.stop()

                again, window = self.start(d_dir, drive=drive)
                self.assertEqual(window["快捷编辑框1"]["text"], TEXT)
                self.assertEqual(window["自定义歌曲名字1"]["text"], MEDIA_NAME)
                self.assertEqual(window["编辑框自定义地址1"]["text"],
                                 harness.winebox.win_path(media))
                again.wait_settled()
                self.hear("slot", lambda: again.click("自定义播放按钮1", post=True))
                again.stop()
                self.assertEqual(os.listdir(d_dir), [], "nothing lands on drive D:")

    def test_with_a_working_drive_d_the_data_stays_there(self):
        folder = self.app_data_folder()
        program, _ = self.start()
        program.click("保存配置按钮")
        self.assertTrue(os.path.isfile(os.path.join(program.d_dir, FOLDER, QUICK_CONFIG)))
        self.assertFalse(os.path.exists(folder), "the application data is left alone")


if __name__ == "__main__":
    harness.main()
