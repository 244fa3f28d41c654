"""Signature-check benchmark of the self-update (not a test).

Prints how long the update's check of a 45 MB program file takes through Windows CNG under
Wine (hash and verify, median and worst of N runs), beside the same work done by OpenSSL
natively as the reference. The key is made for the run and thrown away.
Needs the cross build (scripts/build.sh); builds signature_bench itself.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))
sys.path.insert(0, os.path.join(ROOT, "scripts"))

import bench_session  # noqa: E402
import release  # noqa: E402
import winebox  # noqa: E402

BENCH_DIR = os.path.join(ROOT, "build", "bench-signature")
FILE_MB = 45


def point_hex(public_pem):
    der = subprocess.run(["openssl", "pkey", "-pubin", "-in", public_pem, "-outform", "DER"],
                         check=True, capture_output=True).stdout
    return der[-64:].hex()


def openssl_ms(path, public_pem, der_signature, runs):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        subprocess.run(["openssl", "dgst", "-sha256", "-verify", public_pem, "-signature",
                        der_signature, path], check=True, stdout=subprocess.DEVNULL)
        times.append((time.perf_counter() - started) * 1000)
    times.sort()
    return times[len(times) // 2]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--win-build", default=os.path.join(ROOT, "build", "win"))
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    subprocess.run(["cmake", "--build", args.win_build, "--target", "signature_bench"],
                   check=True, stdout=subprocess.DEVNULL)
    exe = os.path.join(args.win_build, "bench", "signature_bench.exe")
    prefix, home, log = bench_session.headless_prefix(BENCH_DIR)

    with tempfile.TemporaryDirectory(dir=BENCH_DIR) as work:
        key = os.path.join(work, "bench-only")
        subprocess.run([os.path.join(ROOT, "scripts", "make-update-key.sh"), key], check=True,
                       stdout=subprocess.DEVNULL)
        program = os.path.join(work, "program.exe")
        with open(program, "wb") as f:
            f.write(os.urandom(FILE_MB * 10**6))
        signature = release.sign(program, key + ".pem", key + ".pub.pem", work)
        der = os.path.join(work, "signature.der")
        out = os.path.join(work, "figures.txt")
        env = winebox.wine_env(prefix, None, home)
        winebox.run_wine(["wine", exe, winebox.win_path(program), point_hex(key + ".pub.pem"),
                          signature, str(args.runs), winebox.win_path(out)], env, log, timeout=600)
        winebox.stop_server(env, log)
        figures = dict(line.split(" ", 1) for line in open(out, encoding="utf-8").read().split("\n")
                       if line)
        native = openssl_ms(program, key + ".pub.pem", der, args.runs)

    print(f"signature check of a {FILE_MB} MB file ({args.runs} runs)")
    print(f"  CNG under Wine (the program):  median {figures['cng_median_ms']} ms, "
          f"worst {figures['cng_worst_ms']} ms, valid {figures['cng_valid']}")
    print(f"  reference, OpenSSL natively:   median {native:.1f} ms (openssl dgst -verify)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
