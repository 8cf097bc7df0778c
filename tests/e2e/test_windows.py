"""End-to-end cases that exist only on Windows: file attributes instead of dot
names, the raw command line with its own quoting, Win32 error numbers, and
local times turned into UTC with today's offset. Run with VELMARON_TARGET=win32
(under Wine from Linux: VELMARON_RUNNER=wine64)."""
import os
import subprocess
import unittest
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

from harness import BIN, RUNNER, TZ, WINDOWS, TreeCase, arg_path, local, mtime

GIVEN = (2009, 6, 1, 12, 0, 0)


def windows_local(*fields):
    """POSIX seconds of a local time as Windows stores it: the file-time calls
    convert with the offset in force now, not with the one of that date."""
    offset = datetime.now(ZoneInfo(TZ)).utcoffset()
    return int((datetime(*fields, tzinfo=timezone.utc) - offset).timestamp())


def run_batch(folder, lines, stdin=b"", locale="de_DE.UTF-8"):
    """Runs lines as a batch file through cmd: the one way to hand a program a
    command line exactly as typed, since an argument list gets re-quoted."""
    script = os.path.join(folder, "velmaron-run.bat")
    with open(script, "wb") as f:
        f.write(("@echo off\r\n" + "\r\n".join(lines) + "\r\nexit /b %errorlevel%\r\n").encode())
    env = dict(os.environ, TZ=TZ, LC_ALL=locale)
    return subprocess.run(RUNNER + ["cmd", "/c", arg_path(script)], input=stdin,
                          capture_output=True, env=env, timeout=120)


def set_attributes(folder, changes):
    """changes: (path, "+h" or "+s") pairs, applied by attrib in one cmd run."""
    lines = ['attrib %s "%s"' % (flag, arg_path(path)) for path, flag in changes]
    completed = run_batch(folder, lines)
    if completed.returncode != 0:
        raise RuntimeError("attrib failed: %r" % (completed.stdout + completed.stderr))


def program():
    return '"%s"' % arg_path(os.path.abspath(BIN))


@unittest.skipUnless(WINDOWS, "Windows attributes, command line and error numbers")
class WindowsCase(TreeCase):
    def velmaron(self, tail, stdin=b""):
        """The program with the raw command-line tail; returns (code, output)."""
        completed = run_batch(self.root, [program() + " " + tail], stdin=stdin)
        self.assertEqual(completed.stderr, b"")
        return completed.returncode, completed.stdout


class Attributes(WindowsCase):
    LAYOUT = ["d/plain/f", "d/hid/f", "d/sys/f", "d/visible.txt", "d/hidden.txt", "d/system.txt"]

    def setUp(self):
        super().setUp()
        self.make(self.LAYOUT, {
            "d/plain/f": local(2004, 4, 4), "d/hid/f": local(2003, 3, 3), "d/sys/f": local(2003, 3, 3),
            "d/visible.txt": local(2006, 6, 6), "d/hidden.txt": local(1990, 1, 1),
            "d/system.txt": local(1991, 1, 1), "d/plain/": local(2008, 8, 8),
            "d/hid/": local(1992, 2, 2), "d/sys/": local(1993, 3, 3), "d/": local(2020, 1, 1)})
        set_attributes(self.root, [(self.path("d", "hid"), "+h"), (self.path("d", "sys"), "+s"),
                                   (self.path("d", "hidden.txt"), "+h"),
                                   (self.path("d", "system.txt"), "+s")])

    def test_hidden_and_system_entries_neither_count_nor_are_entered(self):
        cases = [("", {"d": local(2006, 6, 6), "d/plain": local(2008, 8, 8)}),
                 ("/S", {"d": local(2004, 4, 4), "d/plain": local(2004, 4, 4)}),
                 ("/S /N", {"d": local(2006, 6, 6), "d/plain": local(2004, 4, 4)})]
        for options, expected in cases:
            with self.subTest(options=options):
                for rel, seconds in [("d/plain", local(2008, 8, 8)), ("d", local(2020, 1, 1))]:
                    os.utime(self.path(rel), (seconds, seconds))
                self.assertEqual(self.velmaron("%s %s" % (arg_path(self.path("d")), options)), (0, b""))
                for rel, seconds in expected.items():
                    self.assertEqual(mtime(self.path(rel)), seconds, rel)
                self.assertEqual(mtime(self.path("d", "hid")), local(1992, 2, 2))
                self.assertEqual(mtime(self.path("d", "sys")), local(1993, 3, 3))

    def test_a_hidden_directory_named_on_the_command_line_is_set(self):
        hidden = arg_path(self.path("d", "hid"))
        self.assertEqual(self.velmaron(hidden + " 01.06.2009 12:00"), (0, b""))
        self.assertEqual(mtime(self.path("d", "hid")), windows_local(*GIVEN))


class RawCommandLine(WindowsCase):
    def test_quoting_and_separators_of_the_raw_line(self):
        self.make(["My Dir/sub/", "ab cd/", "plain/"])
        root = arg_path(self.root)
        cases = [
            # A quote only groups: the backslash before the closing one stays.
            ('"%s\\My Dir\\" /s 01.06.2009 12:00' % root, ["My Dir", "My Dir/sub"]),
            ('"%s\\My Dir" "01.06.2009 12:00"' % root, ["My Dir"]),
            # An argument goes on after a closing quote.
            ('%s\\a"b c"d 01.06.2009 12:00' % root, ["ab cd"]),
            # Empty pairs and tabs where an argument would begin are nothing.
            ('""\t"" %s\\plain\t""01.06.2009 "" 12:00' % root, ["plain"]),
        ]
        for tail, changed in cases:
            with self.subTest(tail=tail):
                for rel in ["My Dir/sub", "My Dir", "ab cd", "plain"]:
                    os.utime(self.path(rel), (local(2020, 1, 1),) * 2)
                self.assertEqual(self.velmaron(tail), (0, b""))
                for rel in ["My Dir/sub", "My Dir", "ab cd", "plain"]:
                    expected = windows_local(*GIVEN) if rel in changed else local(2020, 1, 1)
                    self.assertEqual(mtime(self.path(rel)), expected, rel)

    def test_a_blank_in_an_unquoted_path_splits_it(self):
        self.make(["My Dir/", "My/"], {"My Dir/": local(2020, 1, 1), "My/": local(2020, 1, 1)})
        code, out = self.velmaron("%s\\My Dir 01.06.2009" % arg_path(self.root))
        # "Dir 01.06.2009" is no timestamp: the usage screen, nothing changed.
        self.assertEqual(code, 0)
        self.assertTrue(out.startswith(b"Invalid timestamp: 'Dir 01.06.2009'.\r\n\r\nVELMARON"), out)
        self.assertEqual(mtime(self.path("My")), local(2020, 1, 1))
        self.assertEqual(mtime(self.path("My Dir")), local(2020, 1, 1))


class Paths(WindowsCase):
    def test_trailing_backslash_and_relative_paths_find_their_entries(self):
        self.make(["d/sub/f", "d/g"], {"d/sub/f": local(2004, 4, 4), "d/g": local(2005, 5, 5)})
        d = arg_path(self.path("d"))
        # A trailing backslash doubles the separator in every path built below.
        for tail in [d + "\\ /S", d + "\\\\ /S", "/S " + d]:
            with self.subTest(tail=tail):
                for rel in ["d/sub", "d"]:
                    os.utime(self.path(rel), (local(2020, 1, 1),) * 2)
                self.assertEqual(self.velmaron(tail), (0, b""))
                self.assertEqual(mtime(self.path("d", "sub")), local(2004, 4, 4))
                self.assertEqual(mtime(self.path("d")), local(2004, 4, 4))

    def test_entry_times_outside_the_dos_range_are_passed_over(self):
        self.make(["d/old", "d/new", "d/ok"], {"d/old": local(1975, 5, 5), "d/new": local(2110, 1, 1),
                                               "d/ok": local(2001, 1, 1, 1, 1, 1), "d/": local(2020, 1, 1)})
        for options, expected in [("", local(2001, 1, 1, 1, 1, 0)), ("/N", local(2001, 1, 1, 1, 1, 0))]:
            with self.subTest(options=options):
                self.assertEqual(self.velmaron(arg_path(self.path("d")) + " " + options), (0, b""))
                self.assertEqual(mtime(self.path("d")), expected)


class ErrorNumbers(WindowsCase):
    def test_a_time_without_a_dos_date_is_refused_with_error_87(self):
        self.make(["d/empty/", "d/given/"], {"d/empty/": local(2020, 1, 1), "d/given/": local(2020, 1, 1)})
        cases = [("empty", ""), ("given", " 01.01.1975 10:00"), ("given", " 01.01.2110")]
        for rel, words in cases:
            with self.subTest(rel=rel, words=words):
                self.assertEqual(self.velmaron(arg_path(self.path("d", rel)) + words), (0, b"Error 87\r\n"))
                self.assertEqual(mtime(self.path("d", rel)), local(2020, 1, 1))


class LocalTimes(WindowsCase):
    def test_given_times_use_the_offset_in_force_now(self):
        # Standard time and summer time dates alike shift by today's offset.
        self.make(["d/"])
        for fields in [(2007, 12, 31, 13, 0, 2), (2010, 7, 15, 10, 0, 0)]:
            with self.subTest(fields=fields):
                text = "%02d.%02d.%04d %02d:%02d:%02d" % (fields[2], fields[1], fields[0], *fields[3:])
                self.assertEqual(self.velmaron(arg_path(self.path("d")) + " " + text), (0, b""))
                self.assertEqual(mtime(self.path("d")), windows_local(*fields))


if __name__ == "__main__":
    unittest.main()
