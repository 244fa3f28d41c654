"""No sound device at all (Wine's audio drivers switched off for the program): every sound button
is handled at once, nothing is shown, and the program runs on. The sound engine is made off the
GUI thread, so a failure there would end the process after the click returned: the test looks
again once the engine has had time to fail."""

import time

import harness

setUpModule = harness.start_session
tearDownModule = harness.stop_session

NO_AUDIO_DRIVERS = "winepulse.drv,winealsa.drv,wineoss.drv="
ENGINE_GRACE_S = 3.0  # far longer than making an engine takes; only then is nothing checked


class NoSoundDeviceTest(harness.ProgramTest):
    def test_clips_are_silent_and_the_window_stays_responsive(self):
        session = harness.session()
        session.env["WINEDLLOVERRIDES"] += ";" + NO_AUDIO_DRIVERS
        program, _ = self.start()
        # ADPCM, a long PCM clip, 8-bit PCM, and stop all.
        for button in ("官方音按钮2", "官方音按钮49", "官方音按钮1", "官方音按钮51"):
            program.click(button)
        time.sleep(ENGINE_GRACE_S)
        self.assertTrue(program.running(), f"the program ended (log: {program.log_path})")
        program.click("官方音按钮16")  # handled: the window still answers
        boxes = [w["caption"] for w in program.boxes() if w["class"] == "#32770"]
        self.assertEqual(boxes, [], "no message was shown")


if __name__ == "__main__":
    harness.main()
