"""Tests of the loopback site: what the program will be served, byte for byte, and the server
behaviours the end-to-end tests build on (ranges, queries, holds, the request log)."""

import http.client
import json
import os
import socket
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from serve import SiteServer, parse_range  # noqa: E402

DOCS = os.path.join(HERE, "docs")


class ShippedDocumentsTest(unittest.TestCase):
    def read(self, name):
        with open(os.path.join(DOCS, name), "rb") as f:
            return f.read()

    def test_version_document_is_one_gbk_line_publishing_version_1(self):
        data = self.read("111.txt")
        self.assertFalse(data.endswith((b"\n", b"\r")), "a line break would end up in the software name")
        self.assertEqual(data.decode("gbk").split("---"),
                         ["1", "http://127.0.0.1:18080/zanvoro.exe", "Zanvoro助手"])

    def test_forum_page_carries_the_online_markers_in_gbk(self):
        page = self.read("forum.php").decode("gbk")
        self.assertIn('<strong><a href="home.php?mod=space">在线会员</a></strong><span class="xs1">- 总计 '
                      '<strong>123</strong> 人在线 - 最高记录是 <strong>456</strong>', page)

    def test_every_page_decodes_as_gbk(self):
        for name in ("index.html", "forum.php", "111.txt"):
            with self.subTest(name):
                self.read(name).decode("gbk")


class RangeParsingTest(unittest.TestCase):
    def test_ranges_of_a_ten_byte_document(self):
        cases = [
            (None, None),
            ("bytes=0-3", (0, 3)),
            ("bytes=4-", (4, 9)),
            ("bytes=-3", (7, 9)),
            ("bytes=8-20", (8, 9)),    # the end is clamped to the document
            ("bytes=10-", "unsatisfiable"),
            ("bytes=5-2", "unsatisfiable"),
            ("bytes=-0", "unsatisfiable"),
            ("bytes=0-1,4-5", None),   # several ranges: the whole document instead
            ("items=0-1", None),
            ("bytes=-", None),
        ]
        for header, expected in cases:
            with self.subTest(header):
                self.assertEqual(parse_range(header, 10), expected)


class SiteCase(unittest.TestCase):
    """A site on a free port serving a few documents of its own."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.docs = os.path.join(cls.tmp.name, "docs")
        os.makedirs(os.path.join(cls.docs, "sub"))
        cls.body = bytes(range(256)) * 4
        with open(os.path.join(cls.docs, "new.exe"), "wb") as f:
            f.write(cls.body)
        with open(os.path.join(cls.docs, "forum.php"), "wb") as f:
            f.write("论坛".encode("gbk"))
        with open(os.path.join(cls.docs, "sub", "index.html"), "wb") as f:
            f.write(b"sub")
        with open(os.path.join(cls.tmp.name, "secret.txt"), "wb") as f:
            f.write(b"outside")
        cls.log = os.path.join(cls.tmp.name, "site.log")
        cls.site = SiteServer(cls.docs, 0, log_path=cls.log).start()
        cls.port = cls.site._httpd.server_address[1]

    @classmethod
    def tearDownClass(cls):
        cls.site.stop()
        cls.tmp.cleanup()

    def raw(self, request):
        """The head and body of the answer to `request`, as they arrive."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            s.sendall(request)
            received = b""
            while chunk := s.recv(65536):
                received += chunk
        head, _, body = received.partition(b"\r\n\r\n")
        return head, body

    def get(self, target, headers=None):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            conn.request("GET", target, headers=headers or {})
            response = conn.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            conn.close()


class ServingTest(SiteCase):
    def test_documents_and_status_codes(self):
        cases = [
            ("/new.exe", 200, self.body),
            ("/forum.php?mod=forumdisplay&fid=49", 200, "论坛".encode("gbk")),
            ("/forum.php?", 200, "论坛".encode("gbk")),
            ("/sub/", 200, b"sub"),
            ("/missing.txt", 404, None),
            ("/../secret.txt", 404, None),
            ("/%2e%2e/secret.txt", 404, None),
            ("/sub/..%2f..%2fsecret.txt", 404, None),
        ]
        for target, status, body in cases:
            with self.subTest(target):
                got_status, _, got_body = self.get(target)
                self.assertEqual(got_status, status)
                if body is not None:
                    self.assertEqual(got_body, body)

    def test_range_requests(self):
        size = len(self.body)
        cases = [
            ("bytes=0-99", 206, self.body[0:100], f"bytes 0-99/{size}"),
            ("bytes=1000-", 206, self.body[1000:], f"bytes 1000-{size - 1}/{size}"),
            ("bytes=-24", 206, self.body[-24:], f"bytes {size - 24}-{size - 1}/{size}"),
            (f"bytes={size}-", 416, b"", f"bytes */{size}"),
            ("bytes=0-1,5-6", 200, self.body, None),
        ]
        for header, status, body, content_range in cases:
            with self.subTest(header):
                got_status, headers, got_body = self.get("/new.exe", {"Range": header})
                self.assertEqual(got_status, status)
                self.assertEqual(got_body, body)
                self.assertEqual(headers.get("Content-Range"), content_range)

    def test_http_1_0_request_gets_the_whole_body_and_a_closed_connection(self):
        head, body = self.raw(b"GET /new.exe HTTP/1.0\r\nAccept: */*\r\n\r\n")
        self.assertTrue(head.startswith(b"HTTP/1.0 200"))
        self.assertEqual(body, self.body)

    def test_every_request_is_logged_with_its_headers(self):
        self.get("/forum.php?mod=viewthread&tid=3", {"User-Agent": "Mozilla/4.0 (compatible; MSIE 6.0)"})
        entry = self.site.requests("/forum.php")[-1]
        self.assertEqual(entry["target"], "/forum.php?mod=viewthread&tid=3")
        self.assertEqual(entry["headers"]["User-Agent"], "Mozilla/4.0 (compatible; MSIE 6.0)")
        self.assertEqual(entry["status"], 200)
        with open(self.log, encoding="utf-8") as f:
            logged = [json.loads(line) for line in f]
        self.assertIn(entry, logged)

    def test_held_path_answers_only_after_release(self):
        self.site.hold("/new.exe")
        results = []
        worker = threading.Thread(target=lambda: results.append(self.get("/new.exe")))
        worker.start()
        try:
            time.sleep(0.3)
            self.assertEqual(results, [], "a held request must not be answered")
            self.assertEqual(self.get("/forum.php")[0], 200, "other paths are served meanwhile")
        finally:
            self.site.release("/new.exe")
            worker.join(10)
        self.assertEqual(results[0][0], 200)
        self.assertEqual(results[0][2], self.body)


class MisbehaviourTest(SiteCase):
    """The broken answers the download and the version check must survive."""

    def setUp(self):
        self.addCleanup(self.site.misbehave, "/new.exe", None)

    def raw_get(self, target, range_header=None):
        """Body bytes as they arrive, without trusting the announced length."""
        extra = f"Range: {range_header}\r\n" if range_header else ""
        head, body = self.raw(f"GET {target} HTTP/1.1\r\nHost: x\r\n{extra}\r\n".encode())
        lines = head.decode("latin-1").split("\r\n")
        headers = dict(line.split(": ", 1) for line in lines[1:])
        return int(lines[0].split()[1]), headers, body

    def test_modes(self):
        size = len(self.body)
        cases = [
            # mode, options, Range, status, body, Content-Length header
            ("cut", {"at": 600}, None, 200, self.body[:600], str(size)),
            ("cut", {"at": 600}, "bytes=500-799", 206, self.body[500:600], "300"),
            ("cut", {"at": 600}, "bytes=700-", 206, b"", str(size - 700)),
            ("nosize", {}, "bytes=10-20", 200, self.body, None),
            ("404", {}, None, 404, b"<html><body>404 Not Found</body></html>", "39"),
            ("slow", {"chunk": 300, "delay": 0.01}, "bytes=0-99", 206, self.body[:100], "100"),
            ("slow", {"chunk": 300, "delay": 0.01}, None, 200, self.body, str(size)),
        ]
        for mode, options, range_header, status, body, length in cases:
            with self.subTest(mode=mode, range=range_header):
                self.site.misbehave("/new.exe", mode, **options)
                got_status, headers, got_body = self.raw_get("/new.exe", range_header)
                self.assertEqual(got_status, status)
                self.assertEqual(got_body, body)
                self.assertEqual(headers.get("Content-Length"), length)
                self.assertEqual(self.site.requests("/new.exe")[-1]["misbehaviour"], mode)

    def test_garbage_is_binary_and_never_the_file(self):
        self.site.misbehave("/new.exe", "garbage", size=100)
        status, _, body = self.raw_get("/new.exe")
        self.assertEqual(status, 200)
        self.assertEqual(len(body), 100)
        self.assertNotEqual(body, self.body[:100])
        self.assertIn(0, body)

    def test_slow_answer_takes_its_delays(self):
        self.site.misbehave("/new.exe", "slow", chunk=256, delay=0.1)
        started = time.monotonic()
        self.raw_get("/new.exe")
        self.assertGreaterEqual(time.monotonic() - started, 0.25)  # 4 pieces, 3 pauses

    def test_unknown_mode_or_option_is_refused(self):
        with self.assertRaises(ValueError):
            self.site.misbehave("/new.exe", "sleepy")
        with self.assertRaises(ValueError):
            self.site.misbehave("/new.exe", "cut", when=3)

    def test_utf8_answer_with_and_without_the_charset_in_the_header(self):
        self.addCleanup(self.site.misbehave, "/forum.php", None)
        for header, content_type in ((1, "text/html; charset=utf-8"), (0, "text/html")):
            with self.subTest(header=header):
                self.site.misbehave("/forum.php", "utf8", header=header)
                status, headers, body = self.raw_get("/forum.php", "bytes=0-1")
                self.assertEqual(status, 200)
                self.assertEqual(headers.get("Content-Type"), content_type)
                self.assertEqual(body, "论坛".encode("utf-8"))

    def test_utf8_forum_page_says_utf8_and_keeps_the_online_line(self):
        self.site.add_file("/shipped.php", os.path.join(DOCS, "forum.php"))
        self.addCleanup(self.site.misbehave, "/shipped.php", None)
        self.site.misbehave("/shipped.php", "utf8", header=0)
        page = self.raw_get("/shipped.php")[2].decode("utf-8")
        self.assertIn('content="text/html; charset=utf-8"', page)
        self.assertNotIn("gbk", page.lower())
        self.assertIn("- 总计 <strong>123</strong> 人在线 - 最高记录是", page)

    def test_file_from_outside_the_docs_folder(self):
        outside = os.path.join(self.tmp.name, "secret.txt")
        self.site.add_file("/download/new version.exe", outside)
        self.assertEqual(self.get("/download/new%20version.exe")[2], b"outside")
        self.assertEqual(self.get("/secret.txt")[0], 404, "only the named path serves it")


if __name__ == "__main__":
    unittest.main(verbosity=2)
