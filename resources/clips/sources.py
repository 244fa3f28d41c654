"""A maker's own recordings: which file of the sources folder stands for which clip, and its
samples decoded by ffmpeg into the clip's channels and rate. Fitting the length and the
loudness is the clip build's job, the same as for a synthesised sound."""

import os
import shutil
import subprocess
import unicodedata

import numpy as np


class SourceError(RuntimeError):
    pass


def label_key(label):
    """Labels compare after NFKC and case folding: "（男）" typed in full width is "(男)", and
    "f1.wav" is F1."""
    return unicodedata.normalize("NFKC", label).casefold()


def assign(folder, labels):
    """Files of `folder` named by a label (a caption or a key, then any extension) against
    `labels` (label -> clip name). Returns ({clip name: path}, [names of files no clip has]).
    An absent folder holds nothing; two files for one clip are an error, since either could be
    the one the maker meant."""
    if not folder or not os.path.isdir(folder):
        return {}, []
    wanted = {label_key(label): clip for label, clip in labels.items()}
    chosen, ignored = {}, []
    for entry in sorted(os.listdir(folder)):
        path = os.path.join(folder, entry)
        clip = wanted.get(label_key(os.path.splitext(entry)[0]))
        if clip is None or not os.path.isfile(path):
            ignored.append(entry)
        elif clip in chosen:
            raise SourceError(f"{os.path.basename(chosen[clip])} and {entry} are both for {clip}; "
                              "keep one")
        else:
            chosen[clip] = path
    return chosen, ignored


def decode(path, channels, rate):
    """Float samples (frames, channels) of any file ffmpeg reads, converted by it."""
    ffmpeg = shutil.which("ffmpeg")
    if not ffmpeg:
        raise SourceError("ffmpeg is not installed (Debian package ffmpeg); it decodes the "
                          "supplied recordings")
    name = os.path.basename(path)
    # "file:" keeps a name that looks like a protocol ("rtp:x.wav") a file name.
    done = subprocess.run([ffmpeg, "-nostdin", "-hide_banner", "-loglevel", "error",
                           "-i", "file:" + os.path.abspath(path), "-vn", "-ac", str(channels),
                           "-ar", str(rate), "-f", "f64le", "-acodec", "pcm_f64le", "-"],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    reason = done.stderr.decode(errors="replace").strip().splitlines()
    if done.returncode != 0:
        why = reason[-1] if reason else f"ffmpeg exited with {done.returncode}"
        # ffmpeg starts its message with the path, which the error names already.
        why = why.split(": ", 1)[1] if why.startswith("file:") and ": " in why else why
        raise SourceError(f"{name}: cannot be decoded: {why}")
    samples = np.frombuffer(done.stdout[:len(done.stdout) - len(done.stdout) % (8 * channels)],
                            dtype="<f8").reshape(-1, channels)
    if len(samples) == 0:
        raise SourceError(f"{name}: cannot be decoded: it holds no audio")
    return samples
