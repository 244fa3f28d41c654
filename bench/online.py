"""Online-services benchmark of zanvoro.exe under Wine + Xvfb (not part of the test suite).

Prints: the time from process start to the MC sound page (the animated wait plus the version
check, median of N runs), the self-update's download rate for a large file in parallel parts
and, for comparison, as one stream (the site withholding sizes and ranges), from the loopback
Python site and from Debian's nginx, with the bytes the parts asked for beside the file's size;
and how long the version check waits on a site that accepts the connection and never answers.
Needs both builds (./test.sh or scripts/build.sh). Uses its own prefix in build/bench.
"""

import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "e2e"))

import bench_session  # noqa: E402
import harness  # noqa: E402
import nginx_site  # noqa: E402

PADDED_MIB = 64


def time_to_mc_page(session):
    started = time.monotonic()
    program = session.launch()
    program.wait_for_main()
    harness.wait_until(lambda: (w := program.window()) and not w.shown("图片框9") and w.shown("图片框3"),
                       60, 0.02)
    elapsed = time.monotonic() - started
    program.stop()
    return elapsed


def update_docs(session, new_version, size_mib, url=None):
    """Docs publishing version 2 whose program (at `url`, by default on the site itself) is the
    tiny new version padded with zeros (data after a PE image leaves it runnable)."""
    docs = tempfile.mkdtemp(prefix="docs-", dir=session.dir)
    shutil.copy(os.path.join(harness.DEFAULT_DOCS, "forum.php"), docs)
    url = url or f"http://{session.config.site_host}/new.exe"
    with open(os.path.join(docs, "111.txt"), "wb") as f:
        f.write(f"2---{url}---bench".encode("gbk"))
    padded = os.path.join(docs, "new.exe")
    shutil.copy(new_version, padded)
    with open(padded, "ab") as f:
        f.write(b"\0" * (size_mib * 2**20 - os.path.getsize(new_version)))
    return docs, os.path.getsize(padded)


def download_rate(session, docs, size, misbehaviour=None):
    """Bytes per second from the first request for the file to the completion box."""
    site = session.start_site(docs)
    if misbehaviour:
        site.misbehave("/new.exe", misbehaviour)
    program = session.launch()
    harness.wait_until(lambda: program.box("提示"), 300, interval=0.05)
    finished = time.time()
    first = min(r["time"] for r in site.requests("/new.exe"))
    parts = len(site.requests("/new.exe"))
    program.dismiss("提示")
    program.wait_exit(timeout=60)
    # Requests are stamped when they arrive; the box is seen within a probe's round trip.
    elapsed = finished - first
    return size / elapsed, elapsed, parts


def asked_bytes(request, size):
    """How many bytes a logged request asked for: its Range, or the whole file."""
    header = request["range"]
    if not header.startswith("bytes="):
        return size
    first, _, last = header[len("bytes="):].partition("-")
    first = int(first)
    return (min(int(last), size - 1) if last else size - 1) - first + 1


def nginx_download_rate(session, new_version, root):
    """The update's rate from nginx: `root` "ranged" lets the parts ask for ranges, "whole"
    makes nginx answer every request with the whole file."""
    files = tempfile.mkdtemp(prefix="nginx-docs-", dir=session.dir)
    site = nginx_site.NginxSite(files, tempfile.mkdtemp(prefix="nginx-", dir=session.dir)).start()
    try:
        docs, size = update_docs(session, new_version, PADDED_MIB, url=site.url(root, "new.exe"))
        shutil.move(os.path.join(docs, "new.exe"), os.path.join(files, "new.exe"))
        session.start_site(docs)
        program = session.launch()
        harness.wait_until(lambda: program.box("提示"), 300, interval=0.05)
        finished = time.time()
        program.dismiss("提示")
        program.wait_exit(timeout=60)
        requests = site.requests(f"/{root}/new.exe")
    finally:
        site.stop()
    elapsed = finished - min(r["start"] for r in requests)
    asked = sum(asked_bytes(r, size) for r in requests)
    sent = sum(r["sent"] for r in requests)
    return size / elapsed, elapsed, len(requests), asked, sent, size


def silent_site_wait(session):
    site = session.start_site(harness.DEFAULT_DOCS)
    site.hold("/111.txt")
    started = time.monotonic()
    program = session.launch()
    harness.wait_until(lambda: program.box("信息："), 120, interval=0.1)
    elapsed = time.monotonic() - started
    site.release()
    program.dismiss("信息：")
    program.wait_exit(timeout=30)
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    bench_session.add_program_arguments(parser)
    parser.add_argument("--new-version", default=os.path.join(
        ROOT, "build", "win", "site", "new_version", "new_version.exe"))
    args = parser.parse_args()

    config = bench_session.bench_config(args.exe, args.probe, args.site_host)

    session = harness.Session("online", config).start()
    try:
        time_to_mc_page(session)  # warm-up
        pages = [time_to_mc_page(session) for _ in range(args.runs)]
        docs, size = update_docs(session, args.new_version, PADDED_MIB)
        parted = download_rate(session, docs, size)
        single = download_rate(session, docs, size, misbehaviour="nosize")
        nginx_parted = nginx_download_rate(session, args.new_version, "ranged")
        nginx_single = nginx_download_rate(session, args.new_version, "whole")
        silent = silent_site_wait(session)
    finally:
        session.stop()

    print(f"start to MC page (100 ticks + version check): median {statistics.median(pages) * 1000:.0f} ms "
          f"over {len(pages)} runs (min {min(pages) * 1000:.0f}, max {max(pages) * 1000:.0f})")
    for label, (rate, elapsed, requests) in (("in parts", parted), ("one stream", single)):
        print(f"update download of {size / 2**20:.0f} MiB {label}: {rate / 2**20:.1f} MiB/s "
              f"({elapsed:.2f} s, {requests} requests)")
    for label, (rate, elapsed, requests, asked, sent, size) in (("in parts", nginx_parted),
                                                                ("one stream", nginx_single)):
        print(f"update download of {size / 2**20:.0f} MiB from nginx {label}: {rate / 2**20:.1f} MiB/s "
              f"({elapsed:.2f} s, {requests} requests; asked for {asked / 2**20:.2f} MiB, "
              f"nginx sent {sent / 2**20:.2f} MiB)")
    print(f"  parts against one stream: {nginx_parted[0] / nginx_single[0]:.2f} (goal: at least 1)")
    print(f"version check on a silent site: box after {silent:.1f} s from start")
    return 0


if __name__ == "__main__":
    sys.exit(main())
