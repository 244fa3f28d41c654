"""Debian's tinyproxy as the proxy of an office or school network: its own configuration and log
in the test's folder, a free loopback port, stopped by its PID."""

import os
import re
import socket
import subprocess

import winebox
from harness import wait_until

START_TIMEOUT_S = 15


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=1):
            return True
    except OSError:
        return False


class Tinyproxy:
    def __init__(self, work_dir):
        self.dir = work_dir
        self.port = free_port()
        self.log = os.path.join(work_dir, "tinyproxy.log")
        self.conf = os.path.join(work_dir, "tinyproxy.conf")
        self.proc = None

    @property
    def address(self):
        return f"127.0.0.1:{self.port}"

    def start(self):
        with open(self.conf, "w", encoding="ascii") as f:
            f.write(f'Port {self.port}\nListen 127.0.0.1\nTimeout 60\nMaxClients 20\n'
                    f'Allow 127.0.0.1\nLogFile "{self.log}"\nLogLevel Connect\n')
        with open(os.path.join(self.dir, "tinyproxy.out"), "ab") as out:
            # -d: in the foreground, so the PID we hold is the proxy's own.
            self.proc = subprocess.Popen(["tinyproxy", "-d", "-c", self.conf],
                                         stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        wait_until(lambda: self.proc.poll() is None and listening(self.port),
                   timeout=START_TIMEOUT_S, what="tinyproxy to listen")
        return self

    def stop(self):
        winebox.end_process(self.proc)
        self.proc = None

    def requested(self):
        """The absolute URLs of the GET requests the proxy passed on, in order."""
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except FileNotFoundError:
            return []
        return re.findall(r"Request \(file descriptor \d+\): GET (\S+) HTTP", text)
