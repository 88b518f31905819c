#!/usr/bin/env python3
"""Packs a folder into a zip that is the same, byte for byte, every time.

    make_zip.py FOLDER TOP OUTPUT.zip

The entries lie under TOP/ (so that unpacking makes one folder), in the
order of their paths, with one fixed date and plain permissions: the zip
depends only on the files' contents and names, not on when or where it was
made, so its SHA-256 sum can be checked against a rebuild.
"""
import os
import sys
import zipfile

# The zip format's earliest date; any fixed one would do.
FIXED_DATE = (1980, 1, 1, 0, 0, 0)


def entry(name, mode):
    info = zipfile.ZipInfo(name, FIXED_DATE)
    info.create_system = 3  # Unix, so that the permissions below count
    info.external_attr = mode << 16
    return info


def main(folder, top, output):
    paths = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for name in files:
            paths.append(os.path.join(root, name))
    paths.sort(key=lambda p: os.path.relpath(p, folder).replace(os.sep, "/").encode())
    with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for path in paths:
            name = top + "/" + os.path.relpath(path, folder).replace(os.sep, "/")
            executable = os.access(path, os.X_OK)
            info = entry(name, 0o100755 if executable else 0o100644)
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: make_zip.py FOLDER TOP OUTPUT.zip")
    main(*sys.argv[1:])
