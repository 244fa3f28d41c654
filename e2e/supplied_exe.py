"""A second zanvoro.exe whose clips come from a folder of recordings, made from the cross build
that is already there: the clips are copied, the ones the recordings stand for are made again
by the build's own clip maker, and only the resource object is compiled anew and the exe linked
again, with the compiler and linker lines CMake wrote for the real exe. A second cross build
tree would cost minutes of both cores for the same objects."""

import glob
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MAKE_CLIPS = os.path.join(os.path.dirname(HERE), "resources", "clips", "make_clips.py")


def _win_build(exe):
    """The cross build tree that made exe (…/platform/win32/zanvoro.exe)."""
    return os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(exe))))


def _rc_compiler(build):
    """The resource compiler CMake found for the cross build."""
    for found in glob.glob(os.path.join(build, "CMakeFiles", "*", "CMakeRCCompiler.cmake")):
        with open(found, encoding="utf-8") as f:
            match = re.search(r'set\(CMAKE_RC_COMPILER "([^"]+)"\)', f.read())
        if match:
            return match.group(1)
    raise RuntimeError(f"no resource compiler recorded in {build}/CMakeFiles")


def _run(args, cwd=None, shell=False):
    done = subprocess.run(args, cwd=cwd, shell=shell, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, check=False, timeout=300)
    if done.returncode != 0:
        raise RuntimeError(f"{args} failed ({done.returncode}):\n{done.stdout}")
    return done.stdout


def build(exe, sources, clip_names, work):
    """Returns the path of an exe like `exe` but with the clips `clip_names` made from the
    recordings in `sources`, and the clip maker's output (its table)."""
    win = _win_build(exe)
    clips = os.path.join(work, "clips")
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(os.path.join(win, "clips"), clips)
    table = _run([sys.executable, MAKE_CLIPS, "--out", clips, "--sources", sources,
                  "--only"] + list(clip_names))

    script = os.path.join(win, "resources", "zanvoro_resources.rc")
    with open(script, encoding="utf-8") as f:
        text = f.read()
    built_clips = '"' + os.path.join(win, "clips") + "/"
    if built_clips not in text:
        raise RuntimeError(f"{script} embeds no clips from {built_clips}")
    own_script = os.path.join(work, "resources.rc")
    with open(own_script, "w", encoding="utf-8") as f:
        f.write(text.replace(built_clips, '"' + clips + "/"))
    resources = os.path.join(work, "resources.res")
    _run([_rc_compiler(win), "-O", "coff", own_script, resources])

    # The link lines are relative to the exe's build folder; everything they write is turned
    # into this work folder, so the build tree is left as it was.
    exe_dir = os.path.join(win, "platform", "win32")
    target = os.path.join("CMakeFiles", "zanvoro.dir")
    with open(os.path.join(exe_dir, target, "objects1"), encoding="utf-8") as f:
        objects = f.read()
    built_res = "../../resources/CMakeFiles/zanvoro_resources.dir/zanvoro_resources.rc.res"
    if built_res not in objects:
        raise RuntimeError(f"the exe's objects do not name {built_res}: {objects}")
    own_objects = os.path.join(work, "objects1")
    with open(own_objects, "w", encoding="utf-8") as f:
        f.write(objects.replace(built_res, resources))
    out = os.path.join(work, "zanvoro.exe")
    replacements = [
        (f"@{target}/objects1", "@" + own_objects),
        (f"{target}/objects.a", os.path.join(work, "objects.a")),
        ("-o zanvoro.exe", "-o " + out),
        ("--out-implib,libzanvoro.dll.a", "--out-implib," + os.path.join(work, "libzanvoro.dll.a")),
    ]
    with open(os.path.join(exe_dir, target, "link.txt"), encoding="utf-8") as f:
        lines = [line.strip() for line in f if line.strip()]
    for line in lines:
        for old, new in replacements:
            line = line.replace(old, new)
        _run(line, cwd=exe_dir, shell=True)
    if not os.path.isfile(out):
        raise RuntimeError(f"linking made no {out}")
    return out, table
