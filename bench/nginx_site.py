"""Debian's nginx serving a folder on a free loopback port, with its own configuration, for the
benchmarks that want a real web server. Started as a child and stopped by its PID.

Two roots: /ranged/ answers Range requests as nginx does by default, /whole/ never does
(max_ranges 0), so one file can be fetched in parts and as one stream from the same server.
Every request is logged with its Range header and the bytes sent."""

import os

from nginx_server import NginxServer, free_loopback_port

HTTP_BODY = """    log_format ranges '$msec $request_time $status "$http_range" $body_bytes_sent $uri';
    access_log {dir}/access.log ranges;
    default_type application/octet-stream;
    sendfile on;
    server {{
        listen 127.0.0.1:{port};
        location /ranged/ {{ alias {docs}/; }}
        location /whole/ {{ alias {docs}/; max_ranges 0; }}
    }}"""


class NginxSite(NginxServer):
    def __init__(self, docs, work_dir):
        work_dir = os.path.abspath(work_dir)
        port = free_loopback_port()
        super().__init__(work_dir, port, HTTP_BODY.format(dir=work_dir, port=port,
                                                          docs=os.path.abspath(docs)))

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

