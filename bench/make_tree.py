#!/usr/bin/env python3
"""Generates a benchmark tree: about 2,000 directories and 75,000 files with
varied times, a few hidden entries among them. Deterministic for a seed."""
import os
import random
import sys


def main(root, dirs=2000, files=75000, seed=1):
    rng = random.Random(seed)
    paths = [root]
    os.makedirs(root, exist_ok=True)
    while len(paths) < dirs:
        parent = rng.choice(paths)
        name = ("." if rng.random() < 0.02 else "") + "dir%05d" % len(paths)
        path = os.path.join(parent, name)
        os.mkdir(path)
        paths.append(path)
    for i in range(files):
        parent = rng.choice(paths)
        name = ("." if rng.random() < 0.03 else "") + "file%06d.jpg" % i
        path = os.path.join(parent, name)
        with open(path, "wb"):
            pass
        when = rng.randint(315532800 + 86400, 1893456000)  # 1980 to 2030
        os.utime(path, (when, when))
    print("%s: %d directories, %d files" % (root, len(paths), files))


if __name__ == "__main__":
    main(sys.argv[1])
