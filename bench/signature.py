"""Benchmark of the self-update's check of a downloaded program (not a test).

Prints how long the update's check of the cross build's own exe takes under Wine (reading the
file, SHA-256 and ECDSA through Windows CNG, the version resource; median and worst of N runs),
beside OpenSSL's hash and verification of the same file natively as the reference. The key is
made for the run and thrown away.
Needs the cross build (scripts/build.sh); builds signature_bench itself.
"""

import argparse
import os
import re
import shutil
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


def point_hex(public_pem):
    der = subprocess.run(["openssl", "pkey", "-pubin", "-in", public_pem, "-outform", "DER"],
                         check=True, capture_output=True).stdout
    return der[-64:].hex()


def own_version(build):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
        return re.search(r"^ZANVORO_OWN_VERSION:\w+=(\d+)$", f.read(), re.M).group(1)


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
        shutil.copyfile(os.path.join(args.win_build, "platform", "win32", "zanvoro.exe"), program)
        size_mb = os.path.getsize(program) / 10**6
        signature = release.sign(program, key + ".pem", key + ".pub.pem", work)
        der = os.path.join(work, "signature.der")
        out = os.path.join(work, "figures.txt")
        env = winebox.wine_env(prefix, None, home)
        winebox.run_wine(["wine", exe, winebox.win_path(program), point_hex(key + ".pub.pem"),
                          signature, own_version(args.win_build), str(args.runs),
                          winebox.win_path(out)], env, log, timeout=600)
        winebox.stop_server(env, log)
        figures = dict(line.split(" ", 1) for line in open(out, encoding="utf-8").read().split("\n")
                       if line)
        native = openssl_ms(program, key + ".pub.pem", der, args.runs)

    print(f"update check of the {size_mb:.1f} MB exe ({args.runs} runs, median and worst, ms)")
    print(f"  reading the file under Wine:           {figures['read_median_ms']} "
          f"{figures['read_worst_ms']}")
    print(f"  signature and version under Wine:      {figures['check_median_ms']} "
          f"{figures['check_worst_ms']} (accepted {figures['genuine']})")
    print(f"    of which the version resource:       {figures['version_median_ms']}")
    print(f"  reference, OpenSSL natively:           {native:.1f} (openssl dgst -verify)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
