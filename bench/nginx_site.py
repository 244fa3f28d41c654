"""Debian's nginx serving a folder on a free loopback port, with its own configuration, for the
benchmarks that want a real web server. Started as a child and stopped by its PID.

Two roots: /ranged/ answers Range requests as nginx does by default, /whole/ never does
(max_ranges 0), so one file can be fetched in parts and as one stream from the same server.
Every request is logged with its Range header and the bytes sent."""

import os
import socket
import subprocess
import time

NGINX = "/usr/sbin/nginx"

CONFIG = """daemon off;
master_process off;
worker_processes 1;
pid {dir}/nginx.pid;
error_log {dir}/error.log warn;
events {{ worker_connections 256; }}
http {{
    log_format ranges '$msec $request_time $status "$http_range" $body_bytes_sent $uri';
    access_log {dir}/access.log ranges;
    client_body_temp_path {dir}/body;
    proxy_temp_path {dir}/proxy;
    fastcgi_temp_path {dir}/fastcgi;
    default_type application/octet-stream;
    sendfile on;
    server {{
        listen 127.0.0.1:{port};
        location /ranged/ {{ alias {docs}/; }}
        location /whole/ {{ alias {docs}/; max_ranges 0; }}
    }}
}}
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class NginxSite:
    def __init__(self, docs, work_dir):
        self.docs = os.path.abspath(docs)
        self.dir = os.path.abspath(work_dir)
        self.port = None
        self.proc = None

    def start(self):
        os.makedirs(self.dir, exist_ok=True)
        self.port = free_port()
        config = os.path.join(self.dir, "nginx.conf")
        with open(config, "w") as f:
            f.write(CONFIG.format(dir=self.dir, port=self.port, docs=self.docs))
        with open(os.path.join(self.dir, "nginx.out"), "ab") as out:
            self.proc = subprocess.Popen([NGINX, "-p", self.dir, "-c", config, "-e", os.path.join(self.dir, "error.log")],
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError(f"nginx ended at start (see {self.dir}/error.log)")
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.5).close()
                return self
            except OSError:
                time.sleep(0.05)
        self.stop()
        raise RuntimeError("nginx did not listen within 10 s")

    def url(self, root, name):
        return f"http://127.0.0.1:{self.port}/{root}/{name}"

    def requests(self, uri):
        """The logged requests for `uri`: start time (Unix), status, Range header, bytes sent."""
        found = []
        try:
            with open(os.path.join(self.dir, "access.log")) as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return found
        for line in lines:
            ended, took, status, rest = line.split(" ", 3)
            range_header, _, tail = rest[1:].partition('" ')
            sent, path = tail.split(" ", 1)
            if path == uri:
                found.append({"start": float(ended) - float(took), "end": float(ended),
                              "status": int(status), "range": range_header, "sent": int(sent)})
        return found

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None
