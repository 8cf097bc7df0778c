"""Runs the built velmaron on temporary trees and reads back what it did.

VELMARON_BIN names the program; VELMARON_RUNNER (e.g. "wine64") is put before
it; VELMARON_TARGET is "posix" (default) or "win32" for the few expectations
that differ between the platforms.
"""
import os
import shlex
import shutil
import subprocess
import tempfile
import unittest
from datetime import datetime
from zoneinfo import ZoneInfo

BIN = os.environ.get("VELMARON_BIN", "")
RUNNER = shlex.split(os.environ.get("VELMARON_RUNNER", ""))
TARGET = os.environ.get("VELMARON_TARGET", "posix")
WINDOWS = TARGET == "win32"
TZ = "Europe/Berlin"

USAGE_HEAD = (
    "VELMARON   Timestamp Touch Utility      Version 1.4.1   2008-06-15\r\n"
    "\r\n"
    "Changes the creation/last modification timestamp of a subdirectory to the\r\n"
    "creation/last modification timestamp of the oldest file of that directory,\r\n"
    "or a given timestamp.\r\n"
    "The directory name must not contain blanks (bracket syntax is not supported).\r\n"
    "\r\n"
    "Syntax: VELMARON <directory> [/S] [/T] [/N] [timestamp]\r\n"
    "        timestamp | VELMARON <directory> /P [/S] [/T] [/N]\r\n"
    "\r\n"
    "Optional parameters:\r\n"
    "  /S - process also sub-directories (default off)\r\n"
    "  /T - use current timestamp (default off)\r\n"
    "  /N - use the newest instead of the oldest timestamp\r\n"
    "  /P - use timestamp from piped input\r\n"
    "  timestamp - a given timestamp in your actual system timestamp format\r\n"
    "\r\n"
)


def usage(hint):
    """The whole usage screen, as bytes, for a format hint."""
    text = (USAGE_HEAD + "Your system timestamp format is: '" + hint + "'.\r\n"
            "(DD = day, MM = month, YYYY = year, HH = hours, NN = minutes, SS = seconds)\r\n"
            + "\r\n" * 5)
    return text.encode()


def local(*fields):
    """POSIX seconds of a local time in the tests' time zone."""
    return int(datetime(*fields, tzinfo=ZoneInfo(TZ)).timestamp())


def arg_path(path):
    """A path as the program is given it on its command line."""
    if WINDOWS:
        return "Z:" + str(path).replace("/", "\\")
    return str(path)


class Result:
    def __init__(self, completed):
        self.code = completed.returncode
        self.out = completed.stdout
        self.err = completed.stderr


def run(args, stdin=b"", locale="de_DE.UTF-8", cwd=None, shell_prefix=None, timeout=120, wrapper=()):
    """Runs the program with the arguments under a fixed TZ and LC_ALL, behind
    a wrapper command (another user, a mount namespace) when one is given."""
    env = dict(os.environ, TZ=TZ, LC_ALL=locale)
    command = RUNNER + [BIN] + [str(a) for a in args]
    if shell_prefix:
        command = ["bash", "-c", shell_prefix + ' exec "$@"', "velmaron"] + command
    command = list(wrapper) + command
    completed = subprocess.run(command, input=stdin, capture_output=True, env=env, cwd=cwd,
                               timeout=timeout)
    return Result(completed)


def set_mtime(path, seconds):
    os.utime(path, (seconds, seconds), follow_symlinks=False)


def mtime(path):
    return int(os.lstat(path).st_mtime)


class TreeCase(unittest.TestCase):
    """A fresh temporary folder per test, removed afterwards."""

    def setUp(self):
        if not BIN:
            self.skipTest("VELMARON_BIN is not set")
        self.root = tempfile.mkdtemp(prefix="velmaron-e2e-")
        self.addCleanup(shutil.rmtree, self.root, True)

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def make(self, layout, times=None):
        """layout: relative paths, directories ending in "/"; times: path -> seconds."""
        for rel in layout:
            full = self.path(rel)
            if rel.endswith("/"):
                os.makedirs(full, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "wb") as f:
                    f.write(b"content of " + rel.encode())
        # Deepest first, so setting a file does not move its folder afterwards.
        for rel, seconds in sorted((times or {}).items(), key=lambda kv: -kv[0].count("/")):
            set_mtime(self.path(rel.rstrip("/")), seconds)
