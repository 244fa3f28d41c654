"""The cross-built tests of the Windows platform layer (code page, files, pictures, fonts and
real windows), run under Wine on the session's private X display so the window tests do not
skip themselves."""

import os
import unittest

import harness
import winebox

setUpModule = harness.start_session
tearDownModule = harness.stop_session

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
                         "window tests skipped: no display reached them")


if __name__ == "__main__":
    harness.main()
