"""Builds a release of zanvoro.exe for the official site and signs it.

  scripts/release.sh --version N --name NAME --url-base URL --key PRIVATE.pem --out DIR
                     [--codesign-cert CERT.pem --codesign-key KEY.pem
                      | --codesign-pfx FILE.p12] [--codesign-pass-file FILE]
                     [--timestamp-url URL] [--site-host HOST] [--build-dir DIR]

Builds the exe (own version N, the public half of PRIVATE.pem compiled in, the official site
HOST), gives it an Authenticode signature with osslsigncode when a code-signing certificate is
given (SHA-256, the program's name and the official site, an RFC 3161 time stamp from URL), and
only then makes the update signature, over the Authenticode-signed bytes. Writes
DIR/site/NAME.exe, DIR/site/111.txt (the version document, GBK, one line:
N---URL/NAME.exe---NAME---SIGNATURE) and DIR/nginx-site.conf (a server block serving DIR/site).
Nothing is uploaded; the last lines say what to upload. Without a key it refuses to run: an
unsigned release could not update any build that trusts a key, and would teach users to accept
unsigned files. Without a code-signing certificate it still runs, and says what that costs.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOOLCHAIN = os.path.join(ROOT, "cmake", "mingw-w64-x86_64.cmake")
JOBS = "2"
MAX_VERSION = 65535  # the version resource holds 16 bits per field
# Characters Windows refuses in a file name, and names it resolves to devices in any directory.
FORBIDDEN = set('\\/:*?"<>|')
DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | \
    {f"{p}{d}" for p in ("COM", "LPT") for d in "0123456789"}


# Authenticode's description is an ASCII string: Windows shows other characters garbled, so a
# name that is not plain ASCII is described by the product's own ASCII name.
ASCII_PROGRAM_NAME = "Zanvoro"
UNKNOWN_PUBLISHER = (
    "no code-signing certificate given: the exe carries no Authenticode signature, so Windows "
    "shows it as coming from an unknown publisher and SmartScreen stops users who download it "
    "by hand (see the README for where to get a certificate)")


class ReleaseError(Exception):
    pass


def default_site_host():
    """The host a build gets when none is given: the default of its cache variable."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        found = re.search(r'set\(ZANVORO_SITE_HOST "([^"]+)" CACHE', f.read())
    if not found:
        raise ReleaseError("cannot find the default site host in CMakeLists.txt")
    return found.group(1)


def check_version(text):
    if not re.fullmatch(r"[1-9][0-9]*", text) or int(text) > MAX_VERSION:
        raise ReleaseError(f"--version must be a whole number from 1 to {MAX_VERSION}: {text!r}")
    return int(text)


def check_name(name):
    """The software name becomes a file name on every user's machine and a field of the
    document: the program refuses names that are not a plain file name, so the tool does too."""
    if not name or name in (".", ".."):
        raise ReleaseError("--name must be a plain file name stem")
    if any(c in FORBIDDEN or ord(c) < 0x20 or ord(c) == 0x7F for c in name):
        raise ReleaseError(f"--name {name!r} holds a character Windows refuses in file names")
    if name != name.rstrip(" ."):
        raise ReleaseError(f"--name {name!r} ends in a space or a dot, which Windows drops")
    if "---" in name or name.endswith("-"):
        raise ReleaseError(f"--name {name!r} would run into the document's field marker")
    if name.split(".")[0].rstrip(" ").upper() in DEVICES:
        raise ReleaseError(f"--name {name!r} names a Windows device")
    try:
        name.encode("gbk")
    except UnicodeEncodeError:
        raise ReleaseError(f"--name {name!r} cannot be written in GBK") from None
    return name


def check_url_base(url):
    parts = urllib.parse.urlsplit(url)
    if parts.scheme not in ("http", "https") or not parts.netloc or parts.query or parts.fragment:
        raise ReleaseError(f"--url-base must be an http address of a folder: {url!r}")
    if "---" in url or any(ord(c) <= 0x20 or ord(c) >= 0x7F for c in url):
        raise ReleaseError(f"--url-base {url!r} must be plain ASCII without blanks or '---'")
    return url.rstrip("/")


def run(args, **kwargs):
    try:
        return subprocess.run(args, check=True, **kwargs)
    except subprocess.CalledProcessError as e:
        raise ReleaseError(f"{args[0]} failed (exit code {e.returncode})") from None


def public_key_of(private_key, out_path):
    if not os.path.isfile(private_key):
        raise ReleaseError(f"no key file {private_key}")
    run(["openssl", "ec", "-in", private_key, "-pubout", "-out", out_path],
        stderr=subprocess.DEVNULL)


def build_exe(build_dir, version, public_key, site_host):
    run(["cmake", "-S", ROOT, "-B", build_dir, f"-DCMAKE_TOOLCHAIN_FILE={TOOLCHAIN}",
         "-DCMAKE_BUILD_TYPE=Release", f"-DZANVORO_SITE_HOST={site_host}",
         f"-DZANVORO_OWN_VERSION={version}", f"-DZANVORO_UPDATE_KEY={public_key}"],
        stdout=subprocess.DEVNULL)
    run(["cmake", "--build", build_dir, "-j", JOBS, "--target", "zanvoro"],
        stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "platform", "win32", "zanvoro.exe")


def der_signature_to_hex(der):
    """ECDSA-Sig-Value (SEQUENCE of INTEGER r, INTEGER s) as 128 lowercase hex digits, r then
    s, 32 big-endian bytes each."""
    def read(at, tag):
        if der[at] != tag:
            raise ReleaseError("openssl wrote a signature this tool cannot read")
        length = der[at + 1]
        if length & 0x80:
            count = length & 0x7F
            length = int.from_bytes(der[at + 2:at + 2 + count], "big")
            at += count
        return at + 2, length

    at, _ = read(0, 0x30)
    values = []
    for _ in range(2):
        at, length = read(at, 0x02)
        values.append(int.from_bytes(der[at:at + length], "big"))
        at += length
    if any(v <= 0 or v.bit_length() > 256 for v in values):
        raise ReleaseError("openssl wrote a signature outside the curve's range")
    return "".join(f"{v:064x}" for v in values)


def sign(path, private_key, public_key, work):
    der_path = os.path.join(work, "signature.der")
    run(["openssl", "dgst", "-sha256", "-sign", private_key, "-out", der_path, path])
    # The signature is proven against the key the exe carries before anything is published.
    run(["openssl", "dgst", "-sha256", "-verify", public_key, "-signature", der_path, path],
        stdout=subprocess.DEVNULL)
    with open(der_path, "rb") as f:
        return der_signature_to_hex(f.read())


def check_codesign(args):
    """The code-signing credentials as osslsigncode takes them, or None when none were given."""
    if args.codesign_pfx and (args.codesign_cert or args.codesign_key):
        raise ReleaseError("give either --codesign-pfx or --codesign-cert with --codesign-key")
    if bool(args.codesign_cert) != bool(args.codesign_key):
        raise ReleaseError("--codesign-cert and --codesign-key go together")
    if args.codesign_pfx:
        credentials = ["-pkcs12", args.codesign_pfx]
    elif args.codesign_cert:
        credentials = ["-certs", args.codesign_cert, "-key", args.codesign_key]
    else:
        if args.codesign_pass_file or args.timestamp_url:
            raise ReleaseError("--codesign-pass-file and --timestamp-url need a code-signing "
                               "certificate (--codesign-cert and --codesign-key, or --codesign-pfx)")
        return None
    for path in (args.codesign_pfx, args.codesign_cert, args.codesign_key,
                 args.codesign_pass_file):
        if path and not os.path.isfile(path):
            raise ReleaseError(f"no file {path}")
    if args.codesign_pass_file:
        credentials += ["-readpass", args.codesign_pass_file]
    if args.timestamp_url:
        parts = urllib.parse.urlsplit(args.timestamp_url)
        if parts.scheme not in ("http", "https") or not parts.netloc:
            raise ReleaseError(f"--timestamp-url must be an http address: {args.timestamp_url!r}")
        credentials += ["-ts", args.timestamp_url]
    if not shutil.which("osslsigncode"):
        raise ReleaseError("osslsigncode is missing: run scripts/install-deps.sh")
    return credentials


def authenticode_sign(exe, target, credentials, name, site_host):
    """Signs `exe` into `target` as Windows expects of a program from a known publisher."""
    description = name if name.isascii() and name.isprintable() else ASCII_PROGRAM_NAME
    run(["osslsigncode", "sign", *credentials, "-h", "sha256", "-n", description,
         "-i", f"http://{site_host}/", "-in", exe, "-out", target], stdout=subprocess.DEVNULL)


def nginx_site(site_dir, site_host):
    host, _, port = site_host.rpartition(":") if ":" in site_host else (site_host, "", "80")
    listen = f"{host}:{port}" if re.fullmatch(r"[0-9.]+", host) else port
    return f"""# The official site as this release needs it: the version document and the program file.
# Include it in nginx's http block; add the forum and the other pages beside {site_dir}.
server {{
    listen {listen};
    server_name {host};
    root {site_dir};

    # Clients must always see the newest document, and read it as GBK.
    location = /111.txt {{
        types {{ }}
        default_type "text/plain; charset=gbk";
        add_header Cache-Control "no-cache";
    }}
    # The program file is fetched in parallel byte ranges, which nginx serves by itself.
    location ~ \\.exe$ {{
        default_type application/octet-stream;
    }}
}}
"""


def release(args):
    if not args.key:
        raise ReleaseError("refusing to release without a signing key: pass --key PRIVATE.pem "
                           "(make one once with scripts/make-update-key.sh)")
    version = check_version(args.version)
    name = check_name(args.name)
    url_base = check_url_base(args.url_base)
    codesign = check_codesign(args)
    site_host = args.site_host or default_site_host()
    out = os.path.abspath(args.out)
    build_dir = os.path.abspath(args.build_dir)
    key = os.path.abspath(args.key)

    site_dir = os.path.join(out, "site")
    os.makedirs(site_dir, exist_ok=True)
    os.makedirs(build_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="zanvoro-release-") as work:
        public_key = os.path.join(build_dir, "update_key.pub.pem")
        public_key_of(key, public_key)
        print(f"release: building version {version} for {site_host} in {build_dir}", flush=True)
        exe = build_exe(build_dir, version, public_key, site_host)
        target = os.path.join(site_dir, name + ".exe")
        if codesign:
            authenticode_sign(exe, os.path.join(work, "signed.exe"), codesign, name, site_host)
            shutil.copyfile(os.path.join(work, "signed.exe"), target)
        else:
            print(f"release: {UNKNOWN_PUBLISHER}", file=sys.stderr, flush=True)
            shutil.copyfile(exe, target)
        # Last: the update signature covers the file exactly as users get it.
        signature = sign(target, key, public_key, work)

    address = f"{url_base}/{urllib.parse.quote(name + '.exe', safe='')}"
    document = f"{version}---{address}---{name}---{signature}"
    with open(os.path.join(site_dir, "111.txt"), "wb") as f:
        f.write(document.encode("gbk"))
    with open(os.path.join(out, "nginx-site.conf"), "w", encoding="utf-8") as f:
        f.write(nginx_site(site_dir, site_host))

    signed = "update and Authenticode signatures" if codesign else "update signature only"
    print(f"release: version {version} signed ({signed}); the document reads:\n  {document}")
    print("Upload to the root of the official site, the program file first:")
    print(f"  1. {target}")
    print(f"  2. {os.path.join(site_dir, '111.txt')}  (last: it tells every client to update)")
    print(f"nginx server block for the site: {os.path.join(out, 'nginx-site.conf')}")


def parse_args(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--version", required=True, help="own version of the new build")
    parser.add_argument("--name", required=True, help="software name: the file stem users get")
    parser.add_argument("--url-base", required=True, help="http address of the site folder")
    parser.add_argument("--key", help="the maker's private signing key (PEM)")
    parser.add_argument("--out", required=True, help="folder the release is written to")
    parser.add_argument("--codesign-cert", help="code-signing certificate, PEM (may hold the chain)")
    parser.add_argument("--codesign-key", help="private key of --codesign-cert, PEM")
    parser.add_argument("--codesign-pfx", help="code-signing certificate and key as PKCS#12")
    parser.add_argument("--codesign-pass-file", help="file holding the password of the key or pfx")
    parser.add_argument("--timestamp-url", help="RFC 3161 time-stamping server for the signature")
    parser.add_argument("--site-host", help="official site host (default: the build's default)")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build", "release"),
                        help="cross build tree for releases (default: build/release)")
    return parser.parse_args(argv)


def main():
    try:
        release(parse_args())
    except ReleaseError as e:
        print(f"release: {e}", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
