"""Wine and X for running the Windows program on Linux: the virtual display, the prefix, the
environment every Wine process gets, and stopping it all again.

Shared by the end-to-end tests, run.sh and the benchmarks, so that a prefix is set up the same
way everywhere. Wine programs' output is always read through files: Wine's background services
inherit the standard handles of the first Wine program of a session and a pipe would never close.
"""

import json
import os
import shutil
import subprocess
import tempfile
import time

# Keep Wine from offering to download Mono and Gecko. An embedded browser needs mshtml, so this
# is the one place to change when Gecko becomes part of the prefix.
DLL_OVERRIDES = "mscoree,mshtml="

# Wine's own UI fonts (captions, message boxes) have no CJK glyphs until linked to one that does.
LINKED_FACES = ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif")
CJK_FONT = "wqy-microhei.ttc,WenQuanYi Micro Hei"
CJK_FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Wine draws the caption buttons with Marlett; this Wine does not find its own copy, so
# captions would show "0 1 r" instead of the buttons.
MARLETT = "/usr/share/wine/fonts/marlett.ttf"

SCREEN = "1280x1024x24"
PREFIX_READY = "zanvoro-prefix-ready"  # written last, so a half-made prefix is never reused
WINE_TIMEOUT_S = 120


class WineError(RuntimeError):
    pass


def win_path(unix_path):
    """The path as a Windows program sees it through drive Z: (the Unix root)."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def wine_env(prefix, display, home, extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update({
        "WINEPREFIX": os.path.abspath(prefix),
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": DLL_OVERRIDES,
        "HOME": os.path.abspath(home),
        # Wine turns command-line arguments into UTF-16 with the locale's charset.
        "LC_ALL": "C.UTF-8",
    })
    env.pop("LANGUAGE", None)
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    env.update(extra or {})
    return env


def run_wine(args, env, log_path, timeout=WINE_TIMEOUT_S, check=True):
    """Runs a Wine command to its end with its output appended to log_path."""
    with open(log_path, "ab") as log:
        log.write(("$ " + " ".join(args) + "\n").encode())
        log.flush()
        try:
            done = subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError(f"{' '.join(args)} did not finish in {timeout} s (log: {log_path})")
    if check and done.returncode != 0:
        raise WineError(f"{' '.join(args)} failed with {done.returncode} (log: {log_path})")
    return done.returncode


def run_probe(probe_exe, env, out_path, log_path, args, timeout=60):
    """Runs the probe (e2e/probe) with its answer written to out_path; returns the answer, or
    {"ok": False, "error": ...} when there is none."""
    if os.path.exists(out_path):
        os.remove(out_path)
    with open(log_path, "ab") as log:
        logged_from = log.tell()
        try:
            code = subprocess.run(["wine", probe_exe, *args, "--out", win_path(out_path)], env=env,
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return {"ok": False, "error": f"probe {args[0]} did not finish"}
    try:
        with open(out_path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError) as e:
        # What Wine said about this run is the only clue to a probe that died.
        with open(log_path, "rb") as log:
            log.seek(logged_from)
            said = log.read().decode("utf-8", "replace").strip()[-1500:]
        return {"ok": False, "error": f"probe {args[0]} gave no answer (exit code {code}): {e}"
                                      + (f"; it printed: {said}" if said else "")}


def end_process(proc, timeout=10):
    """Asks a child started by the tests to end, and kills it when it has not ended in
    `timeout` seconds; nothing for one that is gone or was never started."""
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


class Xvfb:
    """A private X server on the first free display; Xvfb reports the number once it listens."""

    def __init__(self, log_path, screen=SCREEN):
        self.log_path = log_path
        self.screen = screen
        self.proc = None
        self.display = None

    def start(self, timeout=30):
        os.makedirs(os.path.dirname(os.path.abspath(self.log_path)), exist_ok=True)
        read_fd, write_fd = os.pipe()
        with open(self.log_path, "ab") as log:
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen, "-nolisten", "tcp",
                 "-r", "-noreset"],
                stdin=subprocess.DEVNULL, stdout=log, stderr=log, pass_fds=(write_fd,),
                start_new_session=True)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + timeout
        try:
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline or self.proc.poll() is not None:
                    raise WineError(f"Xvfb did not start (log: {self.log_path})")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise WineError(f"Xvfb ended before reporting its display (log: {self.log_path})")
                number += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + number.decode().strip()
        return self

    def stop(self):
        end_process(self.proc)
        self.proc = None


def _multi_sz_hex(text):
    # REGEDIT4 files carry multi-strings in the ANSI code page; ours are ASCII.
    data = text.encode("ascii") + b"\0\0"
    return ",".join(f"{b:02x}" for b in data)


def prefix_settings_reg(browsers=None):
    """Registry settings every prefix of ours gets, as a .reg file text.

    Managed=N: without a window manager every hide or destroy of a top-level window would
    otherwise wait 2 s for a withdrawn state that never comes, and X focus would follow the
    pointer. `browsers` replaces the programs Wine opens web links with.
    """
    lines = [
        "REGEDIT4",
        "",
        r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]",
        '"Managed"="N"',
        "",
        r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]",
    ]
    lines += [f'"{face}"=hex(7):{_multi_sz_hex(CJK_FONT)}' for face in LINKED_FACES]
    if browsers is not None:
        lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\WineBrowser]",
                  '"Browsers"="' + browsers.replace("\\", "\\\\") + '"']
    return "\r\n".join(lines) + "\r\n"


def make_prefix(prefix, home, display, log_path, browsers=None):
    """Creates a prefix from nothing: wineboot -i, then our registry settings."""
    if not os.path.exists(CJK_FONT_FILE):
        raise WineError(f"{CJK_FONT_FILE} is missing (package fonts-wqy-microhei)")
    os.makedirs(home, exist_ok=True)
    env = wine_env(prefix, display, home)
    run_wine(["wineboot", "-i"], env, log_path)
    reg_file = os.path.join(prefix, "zanvoro-settings.reg")
    with open(reg_file, "w", encoding="ascii") as f:
        f.write(prefix_settings_reg(browsers))
    run_wine(["wine", "regedit", "/S", win_path(reg_file)], env, log_path)
    if os.path.exists(MARLETT):
        shutil.copy(MARLETT, os.path.join(prefix, "drive_c", "windows", "Fonts"))
    stop_server(env, log_path)  # the server writes the registry files when it ends
    with open(os.path.join(prefix, PREFIX_READY), "w") as f:
        f.write("ready\n")


def prefix_ready(prefix):
    return os.path.exists(os.path.join(prefix, PREFIX_READY))


def start_services(env, log_path):
    """Starts the prefix's server (kept alive until stop_server) and background services with
    output to a file, before any program whose output anyone reads."""
    run_wine(["wineserver", "-p"], env, log_path, check=False)  # fails harmlessly if one runs
    run_wine(["wine", "cmd", "/c", "exit"], env, log_path)


def stop_server(env, log_path, timeout=30):
    """Ends every Wine process of the prefix and the server itself, and waits until it is gone."""
    run_wine(["wineserver", "-k"], env, log_path, check=False)
    run_wine(["wineserver", "-w"], env, log_path, timeout=timeout, check=False)


# Where Wine (like Windows) keeps the display scale it starts with: the user's setting and the
# current hardware profile's font resolution.
DPI_KEYS = (r"HKEY_CURRENT_USER\Control Panel\Desktop",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts")


def set_dpi(env, log_path, dpi):
    """Sets the prefix's display scale (96 = 100 %, 144 = 150 %) and restarts its server and
    services, which read it only when they start."""
    reg_file = os.path.join(env["WINEPREFIX"], f"zanvoro-dpi-{dpi}.reg")
    lines = ["REGEDIT4", ""]
    for key in DPI_KEYS:
        lines += [f"[{key}]", f'"LogPixels"=dword:{dpi:08x}', ""]
    with open(reg_file, "w", encoding="ascii") as f:
        f.write("\r\n".join(lines))
    run_wine(["wine", "regedit", "/S", win_path(reg_file)], env, log_path)
    stop_server(env, log_path)
    start_services(env, log_path)


def map_drive(prefix, letter, folder):
    """Points a drive letter at a folder; Wine follows the link on every open."""
    os.makedirs(folder, exist_ok=True)
    link = os.path.join(prefix, "dosdevices", letter.lower() + ":")
    temp = tempfile.mktemp(dir=os.path.dirname(link))
    os.symlink(os.path.abspath(folder), temp)
    os.replace(temp, link)


def unmap_drive(prefix, letter):
    """Takes a drive letter away, as on a machine without that drive."""
    link = os.path.join(prefix, "dosdevices", letter.lower() + ":")
    if os.path.lexists(link):
        os.remove(link)


def fresh_dir(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path
