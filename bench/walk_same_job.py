#!/usr/bin/env python3
"""The same job in plain Python, for comparison: bottom-up, each directory set
to the oldest last-write time of its visible entries, to two seconds."""
import os
import sys
import time


def oldest_visible(path):
    best = None
    with os.scandir(path) as it:
        for entry in it:
            if entry.name.startswith("."):
                continue
            seconds = int(entry.stat(follow_symlinks=False).st_mtime)
            year = time.localtime(seconds).tm_year
            if 1980 <= year <= 2107 and (best is None or seconds < best):
                best = seconds
    return best


def main(root):
    for dirpath, dirnames, _ in os.walk(root, topdown=False):
        if any(part.startswith(".") for part in os.path.relpath(dirpath, root).split(os.sep) if part != "."):
            continue
        best = oldest_visible(dirpath)
        if best is not None:
            best -= best % 2
            os.utime(dirpath, ns=(os.stat(dirpath).st_atime_ns, best * 10**9), follow_symlinks=False)


if __name__ == "__main__":
    main(sys.argv[1])
