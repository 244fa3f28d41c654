"""Releases as a maker makes them: a test-only key and code-signing set-up, version 1 and
version 2 built and signed by the release tool for a site on a loopback port chosen now, Debian's
nginx serving the release folder with the server block the tool wrote, version 1 updating itself
to version 2, and the refusals that keep anyone else's program, or another release than the one
announced, from being started."""

import contextlib
import io
import os
import struct
import subprocess
import sys
import tempfile
from unittest import mock

import harness
from code_signing import CodeSigning
from harness import ProgramTest, wait_until
from nginx_server import NginxServer, free_loopback_port
from test_online import DONE_TEXT, FAILED_TEXT, NOTICE, UPDATE_CAPTION, box_texts, mc_page_shown

sys.path.insert(0, os.path.join(harness.SOURCE_DIR, "scripts"))
import release  # noqa: E402

NAME = "Zanvoro助手"


def file_version(exe):
    """FILEVERSION of the exe's version resource, from its VS_FIXEDFILEINFO."""
    with open(exe, "rb") as f:
        data = f.read()
    # The key also stands in the program's own data (the update reads it), and the signature
    # alone turns up in the clips' samples: a version block is where the fixed part's signature
    # follows the key at the next 32-bit boundary from the block's start.
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    found = []
    at = data.find(key)
    while at >= 0:
        block = at - 6
        if data[block + 40:block + 44] == struct.pack("<I", 0xFEEF04BD):
            high, low = struct.unpack_from("<II", data, block + 48)
            found.append((high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF))
        at = data.find(key, at + 1)
    return found[0] if len(found) == 1 else None


class Nginx(NginxServer):
    """The release's server block under nginx; requests are logged with their Range header."""

    def __init__(self, work, site_conf, port):
        self.access_log = os.path.join(work, "access.log")
        super().__init__(work, port, f"""    log_format parts '$request_uri|$status|$http_range';
    access_log {self.access_log} parts;
    include {site_conf};""")
        self.start()

    def requests(self, path):
        """(status, Range header) of every request for `path` so far."""
        try:
            with open(self.access_log, encoding="utf-8", errors="replace") as f:
                rows = [line.rstrip("\n").split("|") for line in f]
        except FileNotFoundError:
            return []
        return [(int(r[1]), r[2] if r[2] != "-" else "") for r in rows if len(r) == 3 and r[0] == path]


class Release:
    """Keys, the two releases and the site, made once for the module."""

    def __init__(self):
        session = harness.session()
        self.dir = tempfile.mkdtemp(prefix="release-", dir=session.dir)
        self.port = free_loopback_port()
        self.host = f"127.0.0.1:{self.port}"
        keys = os.path.join(self.dir, "keys")
        os.makedirs(keys)
        self.key = self._make_key(os.path.join(keys, "test-only"))
        self.other_key = self._make_key(os.path.join(keys, "other-test-only"))
        self.signing = CodeSigning(os.path.join(self.dir, "codesign"))
        self.build_dir = os.path.join(session.config.work_dir, "release-build")
        # Both forms of certificate: version 1 from a PKCS#12 file, version 2 from PEM files with
        # a time stamp.
        self.v1 = self._release(1, ["--codesign-pfx", self.signing.pfx,
                                    "--codesign-pass-file", self.signing.pass_file])
        self.v2 = self._release(2, ["--codesign-cert", self.signing.cert,
                                    "--codesign-key", self.signing.key,
                                    "--timestamp-url", self.signing.tsa.url])
        self.site = os.path.join(self.v2, "site")
        self.exe_v1 = os.path.join(self.v1, "site", NAME + ".exe")
        self.served_exe = os.path.join(self.site, NAME + ".exe")
        self.document = os.path.join(self.site, "111.txt")
        with open(self.exe_v1, "rb") as f:
            self.v1_bytes = f.read()
        with open(os.path.join(self.v1, "site", "111.txt"), "rb") as f:
            self.v1_signature = f.read().decode("gbk").split("---")[3]
        with open(self.served_exe, "rb") as f:
            self.program_bytes = f.read()
        with open(self.document, "rb") as f:
            self.document_bytes = f.read()
        self.v2_signature = self.document_bytes.decode("gbk").split("---")[3]
        self.nginx = Nginx(os.path.join(self.dir, "nginx"), os.path.join(self.v2, "nginx-site.conf"),
                           self.port)

    @staticmethod
    def _make_key(prefix):
        subprocess.run([os.path.join(harness.SOURCE_DIR, "scripts", "make-update-key.sh"), prefix],
                       check=True, stdout=subprocess.DEVNULL)
        return prefix + ".pem"

    def _release(self, version, codesign):
        out = os.path.join(self.dir, f"v{version}")
        log = os.path.join(self.dir, f"release-v{version}.log")
        with open(log, "wb") as f:
            done = subprocess.run(
                [os.path.join(harness.SOURCE_DIR, "scripts", "release.sh"), "--version",
                 str(version), "--name", NAME, "--url-base", f"http://{self.host}/", "--key",
                 self.key, "--out", out, "--site-host", self.host, "--build-dir", self.build_dir,
                 *codesign],
                stdout=f, stderr=subprocess.STDOUT)
        if done.returncode != 0:
            raise RuntimeError(f"the release tool failed for version {version} (see {log})")
        return out

    def restore(self):
        """Puts the release's own files back after a test changed them."""
        with open(self.served_exe, "wb") as f:
            f.write(self.program_bytes)
        with open(self.document, "wb") as f:
            f.write(self.document_bytes)

    def document_announcing(self, version, signature):
        """The release's document with another version number and signature."""
        fields = self.document_bytes.decode("gbk").split("---")
        return "---".join([str(version)] + fields[1:3] + [signature]).encode("gbk")

    def stop(self):
        self.nginx.stop()
        self.signing.stop()


_release = None


def setUpModule():
    """The session first, then the release on top of it."""
    global _release
    harness.start_session()
    try:
        _release = Release()
    except BaseException:
        harness.stop_session()
        raise


def tearDownModule():
    if _release:
        _release.stop()
    harness.stop_session()


class ReleaseToolTest(ProgramTest):
    def test_release_folder_holds_the_signed_program_and_its_document(self):
        r = _release
        text = r.document_bytes.decode("gbk")
        fields = text.split("---")
        self.assertEqual(len(fields), 4, text)
        self.assertEqual(fields[:3], ["2", f"http://{r.host}/Zanvoro%E5%8A%A9%E6%89%8B.exe", NAME])
        self.assertRegex(fields[3], r"^[0-9a-f]{128}$")
        self.assertNotIn(b"\n", r.document_bytes)
        self.assertEqual(file_version(r.served_exe), (2, 0, 2, 0))
        self.assertEqual(file_version(r.exe_v1), (2, 0, 1, 0))
        for name in ("ProductName", "FileDescription", "CompanyName"):
            self.assertIn(name.encode("utf-16-le"), r.program_bytes)
        self.assertIn(NAME.encode("utf-16-le"), r.program_bytes)

    def test_release_programs_carry_authenticode_signatures(self):
        r = _release
        for what, exe, stamped in (("version 1, PKCS#12", r.exe_v1, False),
                                   ("version 2, PEM and a time stamp", r.served_exe, True)):
            with self.subTest(what):
                code, out = r.signing.verify(exe)
                self.assertEqual(code, 0, out)
                self.assertIn("Signature verification: ok", out)
                self.assertRegex(out, r"Message digest algorithm\s*:\s*SHA256")
                # The name is not ASCII, so the signature describes the program by its ASCII name.
                self.assertIn("Text description: Zanvoro\n", out)
                self.assertIn(f"URL description: http://{r.host}/\n", out)
                self.assertEqual("Timestamp Server Signature verification: ok" in out, stamped, out)
        self.assertEqual(r.signing.tsa.requests, 1, "one time stamp, for version 2")
        # A CA that did not issue the certificate does not vouch for it: the check above counts.
        code, out = r.signing.verify(r.served_exe, ca=r.signing.tsa.cert)
        self.assertNotEqual(code, 0, out)

    def test_release_tool_checks_code_signing_options_before_building(self):
        r = _release
        s = r.signing
        cases = {
            "certificate without its key": (["--codesign-cert", s.cert], "go together"),
            "pfx and certificate": (["--codesign-pfx", s.pfx, "--codesign-cert", s.cert,
                                     "--codesign-key", s.key], "either --codesign-pfx"),
            "time stamp without a certificate": (["--timestamp-url", s.tsa.url],
                                                 "need a code-signing certificate"),
            "missing pfx": (["--codesign-pfx", s.pfx + ".gone"], "no file"),
            "time stamp not http": (["--codesign-pfx", s.pfx, "--timestamp-url", "ftp://a/"],
                                    "--timestamp-url must be an http address"),
        }
        for what, (options, message) in cases.items():
            with self.subTest(what):
                out = tempfile.mkdtemp(dir=r.dir)
                done = subprocess.run(
                    [os.path.join(harness.SOURCE_DIR, "scripts", "release.sh"), "--version", "3",
                     "--name", NAME, "--url-base", "http://a/", "--key", r.key, "--out", out,
                     "--build-dir", os.path.join(out, "build"), *options],
                    capture_output=True, text=True)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn(message, done.stderr)
                self.assertEqual(os.listdir(out), [], "nothing is built or written")

    def test_without_a_code_signing_certificate_the_tool_says_what_windows_will_show(self):
        r = _release
        built = os.path.join(r.build_dir, "platform", "win32", "zanvoro.exe")
        out = tempfile.mkdtemp(dir=r.dir)
        args = release.parse_args(["--version", "2", "--name", NAME, "--url-base", "http://a/",
                                   "--key", r.key, "--out", out, "--site-host", r.host,
                                   "--build-dir", r.build_dir])
        told = io.StringIO()
        # The build itself is the one the releases above made; only its signing is looked at.
        with mock.patch.object(release, "build_exe", return_value=built), \
                contextlib.redirect_stderr(told), contextlib.redirect_stdout(io.StringIO()):
            release.release(args)
        self.assertIn("unknown publisher", told.getvalue())
        shipped = os.path.join(out, "site", NAME + ".exe")
        with open(shipped, "rb") as f, open(built, "rb") as g:
            self.assertEqual(f.read(), g.read(), "the build as it is")
        code, output = r.signing.verify(shipped)
        self.assertNotEqual(code, 0, output)
        with open(os.path.join(out, "site", "111.txt"), encoding="gbk") as f:
            self.assertRegex(f.read(), r"---[0-9a-f]{128}$")

    def test_release_tool_refuses_to_run_without_a_key(self):
        out = tempfile.mkdtemp(dir=_release.dir)
        done = subprocess.run([os.path.join(harness.SOURCE_DIR, "scripts", "release.sh"),
                               "--version", "3", "--name", NAME, "--url-base", "http://a/",
                               "--out", out], capture_output=True, text=True)
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("without a signing key", done.stderr)
        self.assertEqual(os.listdir(out), [])


class SignedUpdateTest(ProgramTest):
    def launch_v1(self):
        program = self.launch(exe=_release.exe_v1, site_host=_release.host)
        program.wait_for_main()
        return program

    def test_version_1_updates_itself_to_version_2(self):
        r = _release
        exe_path = "/Zanvoro%E5%8A%A9%E6%89%8B.exe"
        documents_before = len(r.nginx.requests("/111.txt"))
        parts_before = len(r.nginx.requests(exe_path))
        program = self.launch_v1()
        old_pid = program.main().raw["pid"]
        done = wait_until(lambda: program.box(NOTICE), timeout=90, what="the completion box")
        self.assertIn(DONE_TEXT, box_texts(done))
        ranges = [rng for _, rng in r.nginx.requests(exe_path)[parts_before:]]
        self.assertGreaterEqual(len(ranges), 5, "five parts, each by its own range")
        self.assertTrue(all(ranges), ranges)
        target = os.path.join(program.cwd, NAME + ".exe")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), r.program_bytes)

        program.dismiss(NOTICE)
        new = wait_until(lambda: next((w for w in program.boxes()
                                       if w["caption"] == program.main_caption
                                       and w["pid"] != old_pid), None),
                         timeout=60, what="version 2's main window")
        new_pid = new["pid"]
        window = program.wait_window(mc_page_shown, pid=new_pid, timeout=60,
                                     what="version 2 on the MC page")
        harness.session().screenshot("version-2-started")
        self.assertEqual(window["编辑框老版本号"]["text"], "2")
        self.assertEqual(window["编辑框版本号"]["text"], "2")
        self.assertEqual(window["透明标签状态"]["text"], "读取服务器数据完成")
        self.assertIsNone(program.window(UPDATE_CAPTION, pid=new_pid), "no update offered")
        self.assertEqual(len(r.nginx.requests("/111.txt")) - documents_before, 2,
                         "each version read the document")
        self.assertTrue(program.running(), "version 1 waits for version 2")

        program.close(pid=new_pid)
        self.assertEqual(program.wait_exit(timeout=30), 0)

    def refused(self, what):
        program = self.launch_v1()
        old_pid = program.main().raw["pid"]
        failed = wait_until(lambda: program.box(NOTICE), timeout=90, what="the failure box")
        self.assertIn(FAILED_TEXT, box_texts(failed), what)
        program.dismiss(NOTICE)
        window = program.wait_window(mc_page_shown, timeout=20, what="the MC page after " + what)
        self.assertTrue(window.visible)
        self.assertIsNone(program.window(UPDATE_CAPTION))
        self.assertTrue(program.running())
        self.assertEqual(os.listdir(program.cwd), [], "no file is left behind")
        others = [w for w in program.boxes() if w["pid"] != old_pid]
        self.assertEqual(others, [], "nothing else was started")
        program.stop()

    def test_forged_updates_are_refused(self):
        r = _release
        self.addCleanup(r.restore)
        cases = {
            "one byte of the program changed": lambda: self.change_one_byte(r, r.program_bytes),
            "signature made with another key": lambda: self.sign_with_other_key(r),
            "document without a signature": lambda: self.three_fields(r),
            # Signed files of the maker's, announced as a release they are not.
            "the real version 1 announced as version 3":
                lambda: self.announce(r, r.v1_bytes, r.document_announcing(3, r.v1_signature)),
            "version 2 announced as version 4":
                lambda: self.announce(r, r.program_bytes, r.document_announcing(4, r.v2_signature)),
        }
        for what, prepare in cases.items():
            with self.subTest(what):
                r.restore()
                prepare()
                self.refused(what)

    @staticmethod
    def change_one_byte(r, signed):
        changed = bytearray(signed)
        changed[len(changed) // 2] ^= 0x01
        with open(r.served_exe, "wb") as f:
            f.write(changed)

    @staticmethod
    def sign_with_other_key(r):
        public = os.path.join(r.dir, "other.pub.pem")
        release.public_key_of(r.other_key, public)
        signature = release.sign(r.served_exe, r.other_key, public, tempfile.mkdtemp(dir=r.dir))
        fields = r.document_bytes.decode("gbk").split("---")
        with open(r.document, "wb") as f:
            f.write("---".join(fields[:3] + [signature]).encode("gbk"))

    @staticmethod
    def announce(r, program, document):
        with open(r.served_exe, "wb") as f:
            f.write(program)
        with open(r.document, "wb") as f:
            f.write(document)

    @staticmethod
    def three_fields(r):
        fields = r.document_bytes.decode("gbk").split("---")
        with open(r.document, "wb") as f:
            f.write("---".join(fields[:3]).encode("gbk"))


if __name__ == "__main__":
    harness.main()
