"""Debian's nginx with a main configuration of our own, in the foreground on a loopback port,
started as a child and stopped by its PID: the official site of the release tests and the
benchmarks' real web server. The caller writes what the http block serves and logs."""

import os
import socket
import subprocess
import time

from winebox import end_process

NGINX = "/usr/sbin/nginx"
START_S = 20


def free_loopback_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class NginxServer:
    def __init__(self, work_dir, port, http_body):
        """`http_body`: the http block's own lines (log format, access log, a server or an
        include of one); temp paths, pid and error log are kept in `work_dir`."""
        self.dir = os.path.abspath(work_dir)
        self.port = port
        self.http_body = http_body
        self.proc = None

    def start(self):
        temp = os.path.join(self.dir, "temp")
        os.makedirs(temp, exist_ok=True)
        # Started by root, nginx's workers would drop to an unprivileged user, who may not reach
        # the test's folders; they read them as the test's own user instead.
        user = "user root;\n" if os.geteuid() == 0 else ""
        conf = os.path.join(self.dir, "nginx.conf")
        with open(conf, "w", encoding="utf-8") as f:
            f.write(f"""daemon off;
{user}master_process off;
worker_processes 1;
pid {self.dir}/nginx.pid;
error_log {self.dir}/error.log warn;
events {{ worker_connections 256; }}
http {{
    client_body_temp_path {temp}/body;
    proxy_temp_path {temp}/proxy;
    fastcgi_temp_path {temp}/fastcgi;
    uwsgi_temp_path {temp}/uwsgi;
    scgi_temp_path {temp}/scgi;
{self.http_body}
}}
""")
        with open(os.path.join(self.dir, "nginx.out"), "ab") as out:
            self.proc = subprocess.Popen(
                [NGINX, "-p", self.dir, "-c", conf, "-e", os.path.join(self.dir, "error.log")],
                stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        deadline = time.monotonic() + START_S
        while True:
            if self.proc.poll() is not None:
                raise RuntimeError(f"nginx ended at start (see {self.dir}/error.log)")
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return self
            except OSError:
                if time.monotonic() > deadline:
                    self.stop()
                    raise RuntimeError(f"nginx did not listen within {START_S} s")
                time.sleep(0.05)

    def stop(self):
        end_process(self.proc)
        self.proc = None
