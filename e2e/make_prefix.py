"""Fixture of the end-to-end tests: one fresh Wine prefix per test run, in the build tree.

Fresh every run so that nothing a previous run (or a previous Wine) left in the registry or on
drive C: can make a test pass. The settings are read back from the registry files, because a
prefix that silently lacks them fails later tests in confusing ways (2 s hangs, boxes for
Chinese text).
"""

import os
import shutil
import sys
import time

import harness
import winebox


def registry_faults(prefix):
    with open(os.path.join(prefix, "user.reg"), encoding="utf-8", errors="replace") as f:
        user = f.read()
    with open(os.path.join(prefix, "system.reg"), encoding="utf-8", errors="replace") as f:
        system = f.read()
    faults = []
    if '"Managed"="N"' not in user:
        faults.append("X11 Driver Managed=N")
    if harness.URL_RECORDER not in user:
        faults.append("WineBrowser Browsers")
    if not os.path.exists(os.path.join(prefix, "drive_c", "windows", "Fonts", "marlett.ttf")):
        faults.append("the Marlett font")
    for face in winebox.LINKED_FACES:
        if f'"{face}"=str(7):"{winebox.CJK_FONT}' not in system:
            faults.append(f"font link for {face}")
    return faults


def main():
    config = harness.Config.from_env()
    log = os.path.join(config.work_dir, "prefix.log")
    os.makedirs(config.work_dir, exist_ok=True)
    lanes = [harness.Config(config.exe, config.probe, config.site_host, config.work_dir, lane)
             for lane in harness.LANES]
    for lane in lanes:
        if os.path.isdir(lane.prefix):  # a server of the old prefix may still hold it
            winebox.stop_server(winebox.wine_env(lane.prefix, None, lane.home), log)
        shutil.rmtree(lane.prefix, ignore_errors=True)
        shutil.rmtree(lane.home, ignore_errors=True)

    started = time.monotonic()
    xvfb = winebox.Xvfb(os.path.join(config.work_dir, "prefix-xvfb.log")).start()
    try:
        winebox.make_prefix(config.prefix, config.home, xvfb.display, log,
                            browsers=harness.URL_RECORDER)
    finally:
        xvfb.stop()
    faults = registry_faults(config.prefix)
    if faults:
        os.remove(os.path.join(config.prefix, winebox.PREFIX_READY))
        print("the new prefix lacks: " + ", ".join(faults), file=sys.stderr)
        return 1
    for lane in lanes[1:]:
        copy_prefix(config, lane)
    print(f"Wine prefixes {', '.join(lane.prefix for lane in lanes)} made in "
          f"{time.monotonic() - started:.1f} s")
    return 0


def copy_prefix(made, lane):
    """The prefix of another lane: a copy whose user folders lead to that lane's home."""
    shutil.copytree(made.prefix, lane.prefix, symlinks=True)
    shutil.copytree(made.home, lane.home, symlinks=True)
    for folder, links, files in os.walk(lane.prefix):
        for name in links + files:
            path = os.path.join(folder, name)
            if os.path.islink(path) and os.readlink(path).startswith(made.home):
                target = lane.home + os.readlink(path)[len(made.home):]
                os.remove(path)
                os.symlink(target, path)


if __name__ == "__main__":
    sys.exit(main())
