"""End-to-end: the built program on real trees, byte-exact output, exit codes
and the times that result."""
import os
import subprocess
import time
import unittest

from harness import (WINDOWS, TreeCase, arg_path, local, mtime, run, set_mtime, usage)

GERMAN_HINT = "DD.MM.YYYY HH:NN:SS"
OLD = local(2020, 1, 1, 0, 0, 0)

# Windows: a given local time becomes UTC with today's offset, and entries are
# hidden by their attribute rather than by a leading dot.
if WINDOWS:
    from test_windows import set_attributes, windows_local as given_local
else:
    given_local = local


def hide_dot_names(case, rels):
    if WINDOWS:
        set_attributes(case.root, [(case.path(rel), "+h") for rel in rels])


class UsageAndExitCodes(TreeCase):
    def test_usage_screen_in_each_locale(self):
        cases = [("C", "MM/DD/33 HH:NN:SS"), ("en_US.UTF-8", "MM/DD/YYYY 01:NN:SS PM"),
                 ("de_DE.UTF-8", GERMAN_HINT)]
        if WINDOWS:
            # No "C" locale there; US English hours have no leading zero.
            cases = [("en_US.UTF-8", "MM/DD/YYYY 1:NN:SS PM"), ("de_DE.UTF-8", GERMAN_HINT)]
        for locale, hint in cases:
            with self.subTest(locale=locale):
                r = run(["/?"], locale=locale)
                self.assertEqual((r.code, r.out), (0, usage(hint)))

    def test_help_options_and_missing_directory(self):
        self.make(["d/"], {"d/": OLD})
        d = arg_path(self.path("d"))
        cases = [([], 2), (["/S"], 2), (["/x", "/T"], 2), ([d, "/?"], 0), (["-?", d], 0),
                 ([d, "/h"], 0), ([d, "/version"], 0), ([d, "--Version"], 0)]
        for args, code in cases:
            with self.subTest(args=args):
                r = run(args)
                self.assertEqual((r.code, r.out, r.err), (code, usage(GERMAN_HINT), b""))
                self.assertEqual(mtime(self.path("d")), OLD)

    def test_invalid_timestamp_report(self):
        self.make(["d/"], {"d/": OLD})
        d = arg_path(self.path("d"))
        for words, text in [(["nonsense"], "nonsense"), (["-s"], "-s"), (["31.02.2008"], "31.02.2008"),
                            (["12.11.2008", "xyz"], "12.11.2008 xyz")]:
            with self.subTest(words=words):
                r = run([d] + words)
                expected = b"Invalid timestamp: '" + text.encode() + b"'.\r\n\r\n" + usage(GERMAN_HINT)
                self.assertEqual((r.code, r.out), (0, expected))
                self.assertNotIn(b"\a", r.out)
                self.assertEqual(mtime(self.path("d")), OLD)

    def test_a_directory_that_does_not_exist_is_passed_over_quietly(self):
        for args in [["missing", "/S"], ["--help"]]:
            r = run(args, cwd=self.root)
            self.assertEqual((r.code, r.out, r.err), (0, b"", b""))


class GivenTimes(TreeCase):
    def test_given_piped_and_current_times(self):
        self.make(["d/sub/", "d/f"], {"d/sub/": OLD, "d/": OLD})
        d = arg_path(self.path("d"))
        winter = given_local(2007, 12, 31, 13, 0, 2)
        summer = given_local(2010, 7, 15, 10, 0, 0)
        cases = [
            ([d, "31.12.2007", "13:00:03"], b"", winter),          # odd second: the even one below
            ([d, "15.07.2010 10:00"], b"", summer),               # daylight saving time of that date
            ([d, "/P"], b"31.12.2007 13:00:03\r\nmore\r\n", winter),
            ([d, "/P", "01.01.2001"], b"15.07.2010 10:00", summer),
            ([d, "12.11.2008 13.44"], b"", given_local(2008, 11, 12, 13, 0, 0)),
        ]
        for args, stdin, expected in cases:
            with self.subTest(args=args, stdin=stdin):
                set_mtime(self.path("d"), OLD)
                r = run(args, stdin=stdin)
                self.assertEqual((r.code, r.out), (0, b""))
                self.assertEqual(mtime(self.path("d")), expected)
                self.assertEqual(mtime(self.path("d", "sub")), OLD)

    def test_current_time_ignores_timestamp_words_and_input(self):
        self.make(["d/"], {"d/": OLD})
        before = time.time()
        r = run([arg_path(self.path("d")), "/P", "nonsense", "/T"], stdin=b"also nonsense\n")
        after = time.time()
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertTrue(before - 3 <= mtime(self.path("d")) <= after, (before, mtime(self.path("d")), after))

    def test_recursion_gives_every_visible_directory_the_same_time(self):
        self.make(["d/a/b/", "d/.hidden/", "d/c/"], {p: OLD for p in ["d/a/b/", "d/a/", "d/.hidden/", "d/c/", "d/"]})
        hide_dot_names(self, ["d/.hidden"])
        r = run([arg_path(self.path("d")), "/s", "01.06.2009", "12:00"])
        self.assertEqual((r.code, r.out), (0, b""))
        expected = given_local(2009, 6, 1, 12, 0, 0)
        for rel in ["d", "d/a", "d/a/b", "d/c"]:
            self.assertEqual(mtime(self.path(rel)), expected, rel)
        self.assertEqual(mtime(self.path("d", ".hidden")), OLD)


class DerivedTimes(TreeCase):
    LAYOUT = ["d/a.jpg", "d/b.jpg", "d/.thumbs", "d/sub/c.jpg", "d/sub/inner/", "d/.cache/x", "d/empty/"]

    def times(self):
        return {
            "d/a.jpg": local(2005, 3, 4, 10, 20, 31),
            "d/b.jpg": local(2006, 1, 1, 0, 0, 0),
            "d/.thumbs": local(1999, 1, 1),
            "d/sub/c.jpg": local(2004, 8, 9, 7, 6, 5),
            "d/sub/inner/": local(2007, 1, 1),
            "d/.cache/x": local(1990, 1, 1),
            "d/.cache/": local(2001, 1, 1),
            "d/empty/": local(2009, 1, 1),
            "d/sub/": local(2008, 1, 1),
            "d/": OLD,
        }

    def test_oldest_and_newest_with_and_without_recursion(self):
        cases = [
            ([], {"d": local(2005, 3, 4, 10, 20, 30), "d/sub": local(2008, 1, 1)}),
            (["/S"], {"d": local(2004, 8, 9, 7, 6, 4), "d/sub": local(2004, 8, 9, 7, 6, 4),
                      "d/empty": local(2009, 1, 1)}),
            (["/N"], {"d": local(2009, 1, 1), "d/sub": local(2008, 1, 1)}),
            (["/S", "/N"], {"d": local(2009, 1, 1), "d/sub": local(2007, 1, 1),
                            "d/sub/inner": local(2007, 1, 1)}),
        ]
        for options, expected in cases:
            with self.subTest(options=options):
                self.make(self.LAYOUT, self.times())
                hide_dot_names(self, ["d/.thumbs", "d/.cache"])
                r = run([arg_path(self.path("d"))] + options)
                # The empty directories have no time to take; their setting is refused.
                errors = {(): 0, ("/S",): 2, ("/N",): 0, ("/S", "/N"): 2}[tuple(options)]
                error_line = b"Error 87\r\n" if WINDOWS else b"Error 22\r\n"
                self.assertEqual((r.code, r.out), (0, error_line * errors))
                for rel, seconds in expected.items():
                    self.assertEqual(mtime(self.path(rel)), seconds, rel)
                self.assertEqual(mtime(self.path("d", ".cache")), local(2001, 1, 1))

    def test_files_and_their_access_times_are_left_alone(self):
        self.make(self.LAYOUT, self.times())
        os.utime(self.path("d", "a.jpg"), (local(2001, 2, 3), local(2005, 3, 4, 10, 20, 31)))
        before = {}
        for dirpath, dirnames, filenames in os.walk(self.root):
            for name in filenames:
                st = os.lstat(os.path.join(dirpath, name))
                before[os.path.join(dirpath, name)] = (st.st_mode, st.st_size, st.st_atime_ns, st.st_mtime_ns)
        r = run([arg_path(self.path("d")), "/S"])
        self.assertEqual(r.code, 0)
        after = {p: (lambda st: (st.st_mode, st.st_size, st.st_atime_ns, st.st_mtime_ns))(os.lstat(p))
                 for p in before}
        self.assertEqual(before, after)


def make_deep(top, depth):
    """top/d/d/.../d with a file "leaf" at the bottom, made relative to each
    parent's descriptor (quick, and below any path-length limit)."""
    os.mkdir(top)
    fd = os.open(top, os.O_RDONLY | os.O_DIRECTORY)
    for _ in range(depth):
        os.mkdir("d", dir_fd=fd)
        child = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = child
    os.close(os.open("leaf", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd))
    os.close(fd)


@unittest.skipIf(WINDOWS, "POSIX paths, links and descriptors")
class PosixAdaptations(TreeCase):
    def test_absolute_paths_are_directories_and_other_slash_words_options(self):
        self.make(["d/f"], {"d/f": local(2003, 3, 3), "d/": OLD})
        r = run([self.path("d"), "/S", "/nosuch"])
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual(mtime(self.path("d")), local(2003, 3, 3))

    def test_links_are_not_followed_and_their_own_times_count(self):
        self.make(["d/f", "outside/old"], {"d/f": local(2003, 3, 3), "outside/old": local(1985, 1, 1),
                                            "outside/": OLD, "d/": OLD})
        os.symlink(self.path("outside"), self.path("d", "link"))
        set_mtime(self.path("d", "link"), local(2002, 2, 2))
        r = run([self.path("d"), "/S"])
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual(mtime(self.path("d")), local(2002, 2, 2))
        self.assertEqual(mtime(self.path("outside")), OLD)

    def test_a_named_link_to_a_directory_is_processed(self):
        self.make(["real/f"], {"real/f": local(2003, 3, 3), "real/": OLD})
        os.symlink(self.path("real"), self.path("named"))
        r = run([self.path("named")])
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual(mtime(self.path("real")), local(2003, 3, 3))

    def test_a_deep_tree_under_a_small_descriptor_limit(self):
        deepest = self.path(*(["deep"] + ["d"] * 1500))
        make_deep(self.path("deep"), 1500)
        # Deeper than Python's own recursive removal goes.
        self.addCleanup(subprocess.run, ["rm", "-rf", self.path("deep")])
        set_mtime(os.path.join(deepest, "leaf"), local(2003, 3, 3, 3, 3, 3))
        r = run([self.path("deep"), "/S"], shell_prefix="ulimit -n 64;")
        self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
        self.assertEqual(mtime(self.path("deep")), local(2003, 3, 3, 3, 3, 2))
        self.assertEqual(mtime(deepest), local(2003, 3, 3, 3, 3, 2))

    def test_a_fifo_named_by_mistake_does_not_block(self):
        os.mkfifo(self.path("fifo"))
        r = run([self.path("fifo"), "/S", "01.01.2004"], timeout=20)
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual(mtime(self.path("fifo")), local(2004, 1, 1))

    def test_output_to_a_closed_pipe_keeps_the_exit_code(self):
        r = run([], shell_prefix="exec 1>&-; exec 1</dev/null;")
        self.assertEqual(r.code, 2)
        r2 = run([], shell_prefix="exec >/dev/full;")
        self.assertEqual(r2.code, 2)


if __name__ == "__main__":
    unittest.main()
