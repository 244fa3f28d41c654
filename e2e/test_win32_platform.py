"""The cross-built tests of the Windows platform layer (code page, files, pictures, fonts, real
windows and the sound engine), run under Wine on the session's private X display and with a
private PulseAudio as the output device, so the window and sound tests do not skip themselves."""

import os
import unittest

import harness
import pulse_capture
import winebox

_pulse = pulse_capture.ModulePulse("pulse-win32")
setUpModule, tearDownModule = _pulse.set_up, _pulse.tear_down

TIMEOUT_S = 300


class Win32PlatformTest(unittest.TestCase):
    def test_platform_layer_passes_its_own_tests(self):
        exe = os.environ.get("ZANVORO_WIN32_TESTS_EXE", "")
        self.assertTrue(os.path.isfile(exe), f"{exe!r} is missing: build the Windows side first")
        session = harness.session()
        log = os.path.join(session.dir, "win32_tests.log")
        code = winebox.run_wine(["wine", exe], session.env, log, timeout=TIMEOUT_S, check=False)
        with open(log, encoding="utf-8", errors="replace") as f:
            output = f.read()
        print(output[-3000:])
        self.assertEqual(code, 0, f"the platform tests failed (log: {log})")
        self.assertIn("[  PASSED  ]", output)
        self.assertNotIn("[  SKIPPED ]", output.split("[  PASSED  ]")[-1],
                         "window or sound tests skipped: no display or no device reached them")


if __name__ == "__main__":
    harness.main()
