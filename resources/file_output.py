"""Writing generated files so that a reader never finds one half-written: each is written
beside its place and then moved over it."""

import os


def write_replacing(path, data):
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def write_all(folder, files):
    """Writes every (name, bytes) of a dict into the folder, which is made when missing."""
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        write_replacing(os.path.join(folder, name), data)
