"""A maker's code-signing set-up, made with openssl for one test run and thrown away with it: a
CA, a code-signing certificate it issued (PEM, and PKCS#12 with a password file) and an RFC 3161
time-stamping authority on a loopback port, each answer made by `openssl ts -reply`."""

import http.server
import os
import subprocess
import tempfile
import threading


def _openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def _issue(directory, name, subject, ca, extensions):
    """A key and a certificate signed by `ca` (a (cert, key) pair) with `extensions`."""
    key, csr, cert = (os.path.join(directory, f"{name}.{ext}") for ext in ("key", "csr", "pem"))
    ext = os.path.join(directory, f"{name}.ext")
    with open(ext, "w", encoding="ascii") as f:
        f.write(extensions)
    _openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", subject)
    _openssl("x509", "-req", "-in", csr, "-CA", ca[0], "-CAkey", ca[1], "-set_serial",
             str(int.from_bytes(os.urandom(8), "big")), "-days", "2", "-out", cert,
             "-extfile", ext)
    return cert, key


class TimeStampAuthority:
    """Answers time-stamp requests over HTTP on loopback until stopped; counts them."""

    def __init__(self, directory, ca):
        self.cert, self.key = _issue(
            directory, "tsa-test-only", "/CN=Zanvoro Test TSA", ca,
            "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
            "extendedKeyUsage=critical,timeStamping\n")
        self.config = os.path.join(directory, "tsa.cnf")
        with open(self.config, "w", encoding="ascii") as f:
            f.write(f"""[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = {directory}/tsa-serial
crypto_device = builtin
signer_cert = {self.cert}
certs = {self.cert}
signer_key = {self.key}
signer_digest = sha256
default_policy = 1.2.3.4.1
other_policies = 1.2.3.4.5
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
""")
        with open(os.path.join(directory, "tsa-serial"), "w", encoding="ascii") as f:
            f.write("01\n")
        self.requests = 0
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), self._handler())
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def _handler(self):
        authority = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                authority.requests += 1
                with tempfile.TemporaryDirectory() as work:
                    query_path, reply_path = (os.path.join(work, n) for n in ("query", "reply"))
                    with open(query_path, "wb") as f:
                        f.write(query)
                    done = subprocess.run(["openssl", "ts", "-reply", "-config", authority.config,
                                           "-queryfile", query_path, "-out", reply_path],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    reply = b""
                    if done.returncode == 0:
                        with open(reply_path, "rb") as f:
                            reply = f.read()
                self.send_response(200 if reply else 500)
                self.send_header("Content-Type", "application/timestamp-reply")
                self.send_header("Content-Length", str(len(reply)))
                self.end_headers()
                self.wfile.write(reply)

            def log_message(self, *args):
                pass

        return Handler

    def stop(self):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join()


class CodeSigning:
    """Everything lives in `directory`, in the build tree; the names say test-only."""

    def __init__(self, directory):
        os.makedirs(directory, exist_ok=True)
        self.ca = os.path.join(directory, "ca-test-only.pem")
        ca_key = os.path.join(directory, "ca-test-only.key")
        _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", ca_key, "-out",
                 self.ca, "-days", "2", "-subj", "/CN=Zanvoro Test CA", "-addext",
                 "basicConstraints=critical,CA:TRUE", "-addext",
                 "keyUsage=critical,keyCertSign,cRLSign")
        self.cert, self.key = _issue(
            directory, "codesign-test-only", "/CN=Zanvoro Test Maker", (self.ca, ca_key),
            "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
            "extendedKeyUsage=codeSigning\n")
        self.pfx = os.path.join(directory, "codesign-test-only.p12")
        self.pass_file = os.path.join(directory, "codesign-test-only.pass")
        with open(self.pass_file, "w", encoding="ascii") as f:
            f.write("test-only-password\n")
        _openssl("pkcs12", "-export", "-in", self.cert, "-inkey", self.key, "-out", self.pfx,
                 "-passout", f"file:{self.pass_file}")
        self.tsa = TimeStampAuthority(directory, (self.ca, ca_key))

    def verify(self, exe, ca=None):
        """osslsigncode's check of `exe` against the test CA (or `ca`): (exit code, output)."""
        args = ["osslsigncode", "verify", "-CAfile", ca or self.ca, "-TSA-CAfile", self.ca,
                "-in", exe]
        done = subprocess.run(args, capture_output=True, text=True, errors="replace")
        return done.returncode, done.stdout + done.stderr

    def stop(self):
        self.tsa.stop()
