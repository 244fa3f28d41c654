#!/usr/bin/env python3
"""The official site on loopback: serves a folder of documents for running and testing the program.

Query strings are ignored when a file is looked up (forum.php?mod=... serves forum.php),
`Range: bytes=a-b` is answered with 206, and every request is logged as one JSON line so tests
can see what the program fetched. Tests may also hold a path: its requests then wait until the
test releases them, which keeps the program inside a blocking fetch for as long as needed.
Files from elsewhere (the downloadable new program from the build tree) can be served under a
path of their own, and a path can be told to misbehave the ways a real site does: slow, cut
off, without a size, missing, or answering garbage; or to answer in UTF-8 as many forums do.

Used in-process by the end-to-end harness (SiteServer) and from the command line by run.sh.
"""

import argparse
import errno
import json
import os
import re
import signal
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CONTENT_TYPES = {
    ".txt": "text/plain",
    ".html": "text/html; charset=gbk",
    ".php": "text/html; charset=gbk",
    ".exe": "application/octet-stream",
}
HOLD_LIMIT_S = 120  # a forgotten hold must not keep a server thread forever
RANGE = re.compile(r"^bytes=(\d*)-(\d*)$")

# How a path can misbehave, with its options and their defaults:
#   slow     the body goes out in `chunk`-byte pieces, `delay` seconds apart
#   cut      no byte at or beyond the file offset `at` is ever sent (whatever range is asked),
#            although the headers announce the whole answer; then the connection closes
#   nosize   Range is ignored and no Content-Length is sent; the end of the body is the close
#   404      the file is answered as missing
#   garbage  200 with `size` bytes of binary junk instead of the file
#   utf8     the (GBK) document re-encoded as UTF-8, its "charset=gbk" rewritten to utf-8; with
#            `header` 1 the Content-Type names the charset, with 0 it is plain "text/html" and
#            only the page's own <meta> tells; Range is ignored
MISBEHAVIOURS = {
    "slow": {"chunk": 4096, "delay": 0.2},
    "cut": {"at": 0},
    "nosize": {},
    "404": {},
    "garbage": {"size": 4096},
    "utf8": {"header": 1},
}
GBK_CHARSET = re.compile(r"charset=gbk", re.IGNORECASE)


def parse_range(header, size):
    """(first, last) inclusive for a single `bytes=` range, None when the header is to be
    ignored (absent or several ranges), or "unsatisfiable"."""
    if not header:
        return None
    match = RANGE.match(header.strip())
    if not match:
        return None  # multi-range or another unit: answer with the whole document
    first, last = match.groups()
    if first == "" and last == "":
        return None
    if first == "":  # suffix: the last N bytes
        count = int(last)
        if count == 0 or size == 0:
            return "unsatisfiable"
        return max(0, size - count), size - 1
    first = int(first)
    last = size - 1 if last == "" else min(int(last), size - 1)
    if first >= size or first > last:
        return "unsatisfiable"
    return first, last


class SiteServer:
    """A threaded HTTP server on host:port serving `docs`, with a request log and held paths."""

    def __init__(self, docs, port, host="127.0.0.1", log_path=None, files=None):
        self.docs = os.path.realpath(docs)
        self.log_path = log_path
        self._log_lock = threading.Lock()
        self._requests = []
        self._holds = {}  # path -> threading.Event, set when released
        self._files = dict(files or {})  # URL path -> file outside the docs folder
        self._misbehaviours = {}  # path -> (mode, options)
        self._httpd = ThreadingHTTPServer((host, port), self._handler_class())
        self._httpd.daemon_threads = True
        self._thread = None

    @classmethod
    def when_port_free(cls, docs, port, log_path=None, wait_s=120, on_wait=None):
        """Starts a server on a fixed port, waiting while another run on this machine holds it."""
        deadline = time.monotonic() + wait_s
        while True:
            try:
                return cls(docs, port, log_path=log_path).start()
            except OSError as e:
                if e.errno != errno.EADDRINUSE or time.monotonic() > deadline:
                    raise
                if on_wait:
                    on_wait()
                    on_wait = None
                time.sleep(0.5)

    # -- control from the test ---------------------------------------------------------------
    def start(self):
        self._thread = threading.Thread(target=self._httpd.serve_forever, name="site", daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self.release()
        self._httpd.shutdown()
        self._httpd.server_close()
        if self._thread:
            self._thread.join(timeout=5)

    def hold(self, path):
        self._holds[path] = threading.Event()

    def release(self, path=None):
        for held, event in list(self._holds.items()):
            if path is None or held == path:
                event.set()

    def add_file(self, url_path, file_path):
        """Serves `file_path` (anywhere on disk) under `url_path`."""
        self._files[url_path] = os.path.realpath(file_path)

    def misbehave(self, path, mode, **options):
        """Makes requests for `path` misbehave (see MISBEHAVIOURS); mode None behaves again."""
        if mode is None:
            self._misbehaviours.pop(path, None)
            return
        if mode not in MISBEHAVIOURS:
            raise ValueError(f"unknown misbehaviour {mode!r}")
        unknown = set(options) - set(MISBEHAVIOURS[mode])
        if unknown:
            raise ValueError(f"{mode} takes no option {', '.join(sorted(unknown))}")
        self._misbehaviours[path] = (mode, dict(MISBEHAVIOURS[mode], **options))

    def requests(self, path=None):
        """Logged requests so far, optionally only those for one path (query ignored)."""
        with self._log_lock:
            return [r for r in self._requests if path is None or r["path"] == path]

    # -- serving -----------------------------------------------------------------------------
    def _record(self, entry):
        with self._log_lock:
            self._requests.append(entry)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(json.dumps(entry, ensure_ascii=False) + "\n")

    def _locate(self, url_path):
        extra = self._files.get(urllib.parse.unquote(url_path))
        if extra is not None:
            return extra if os.path.isfile(extra) else None
        relative = urllib.parse.unquote(url_path).lstrip("/")
        target = os.path.realpath(os.path.join(self.docs, relative))
        if target != self.docs and not target.startswith(self.docs + os.sep):
            return None  # outside the docs folder
        if os.path.isdir(target):
            target = os.path.join(target, "index.html")
        return target if os.path.isfile(target) else None

    def _handler_class(self):
        site = self

        class Handler(BaseHTTPRequestHandler):
            server_version = "ZanvoroSite/1"

            def log_message(self, *args):  # the JSON log replaces stderr chatter
                pass

            def do_HEAD(self):
                self._serve(send_body=False)

            def do_GET(self):
                self._serve(send_body=True)

            def _serve(self, send_body):
                path = urllib.parse.urlsplit(self.path).path
                entry = {
                    "time": time.time(),
                    "method": self.command,
                    "target": self.path,
                    "path": path,
                    "version": self.request_version,
                    "headers": dict(self.headers.items()),
                }
                held = site._holds.get(path)
                if held is not None:
                    entry["held"] = True
                    held.wait(HOLD_LIMIT_S)
                mode, options = site._misbehaviours.get(path, (None, {}))
                status, headers, body, _ = self._misbehaving_answer(path, mode, options)
                delay, chunk = (options["delay"], options["chunk"]) if mode == "slow" else (0, len(body) or 1)
                if mode:
                    entry["misbehaviour"] = mode
                entry["status"] = status
                entry["bytes"] = len(body)
                site._record(entry)
                try:
                    self.send_response(status)
                    for name, value in headers:
                        self.send_header(name, value)
                    self.end_headers()
                    if send_body:
                        for at in range(0, len(body), chunk):
                            if at and delay:
                                time.sleep(delay)
                            self.wfile.write(body[at:at + chunk])
                            self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError):
                    pass  # the program gave up on the request; nothing to tell it
                if mode in ("cut", "nosize"):
                    self.close_connection = True

            def _misbehaving_answer(self, path, mode, options):
                """(status, headers, body, first byte's file offset) as the mode makes them."""
                if mode == "404":
                    return (*self._missing(), 0)
                if mode == "garbage":
                    junk = bytes((i * 7919 + 13) % 256 for i in range(options["size"]))
                    return 200, [("Content-Type", "text/html"), ("Content-Length", str(len(junk)))], junk, 0
                if mode == "utf8":
                    return (*self._in_utf8(path, options["header"]), 0)
                status, headers, body = self._answer(path, ranges=(mode != "nosize"))
                first = 0
                for name, value in headers:
                    if name == "Content-Range" and status == 206:
                        first = int(value.split()[1].split("-")[0])
                if mode == "nosize":
                    headers = [(n, v) for n, v in headers if n not in ("Content-Length", "Accept-Ranges")]
                elif mode == "cut":
                    body = body[:max(0, options["at"] - first)]
                return status, headers, body, first

            def _in_utf8(self, path, header):
                status, headers, body = self._answer(path, ranges=False)
                if status != 200:
                    return status, headers, body
                text = GBK_CHARSET.sub("charset=utf-8", body.decode("gbk", errors="replace"))
                body = text.encode("utf-8")
                kind = "text/html; charset=utf-8" if header else "text/html"
                return 200, [("Content-Type", kind), ("Content-Length", str(len(body)))], body

            def _missing(self):
                body = b"<html><body>404 Not Found</body></html>"
                return 404, [("Content-Type", "text/html"), ("Content-Length", str(len(body)))], body

            def _answer(self, path, ranges=True):
                file_path = site._locate(path)
                if file_path is None:
                    return self._missing()
                size = os.path.getsize(file_path)
                kind = CONTENT_TYPES.get(os.path.splitext(file_path)[1].lower(), "application/octet-stream")
                headers = [("Content-Type", kind), ("Accept-Ranges", "bytes")]
                wanted = parse_range(self.headers.get("Range"), size) if ranges else None
                if wanted == "unsatisfiable":
                    return 416, headers + [("Content-Range", f"bytes */{size}"), ("Content-Length", "0")], b""
                # Only the asked-for range is read, so parallel parts of a large file stay cheap.
                first, last = (0, size - 1) if wanted is None else wanted
                with open(file_path, "rb") as f:
                    f.seek(first)
                    part = f.read(max(0, last + 1 - first))
                if wanted is None:
                    return 200, headers + [("Content-Length", str(len(part)))], part
                return 206, headers + [("Content-Range", f"bytes {first}-{last}/{size}"),
                                       ("Content-Length", str(len(part)))], part

        return Handler


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--docs", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "docs"))
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log", help="append one JSON line per request to this file")
    parser.add_argument("--hold", action="append", default=[], help="path whose requests wait (until SIGUSR1)")
    parser.add_argument("--file", action="append", default=[], metavar="PATH=FILE",
                        help="serve FILE (anywhere on disk) under the URL path PATH")
    parser.add_argument("--misbehave", action="append", default=[], metavar="PATH=MODE[,opt=value...]",
                        help="make PATH misbehave: " + ", ".join(MISBEHAVIOURS))
    args = parser.parse_args(argv)

    files = dict(item.split("=", 1) for item in args.file)
    site = SiteServer(args.docs, args.port, args.host, args.log, files=files)
    for item in args.misbehave:
        path, setting = item.split("=", 1)
        mode, *pairs = setting.split(",")
        options = {k: float(v) if "." in v else int(v) for k, v in (p.split("=", 1) for p in pairs)}
        site.misbehave(path, mode, **options)
    for path in args.hold:
        site.hold(path)
    stopping = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stopping.set())
    signal.signal(signal.SIGINT, lambda *_: stopping.set())
    signal.signal(signal.SIGUSR1, lambda *_: site.release())
    site.start()
    print(f"serving {site.docs} on http://{args.host}:{args.port}/", file=sys.stderr, flush=True)
    while not stopping.wait(0.5):
        pass
    site.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
