"""End-to-end: the program on real file systems that refuse, change under it
or misbehave around it. Runs as root in CI; permission cases drop to an
unprivileged user, read-only cases mount a private tmpfs."""
import os
import random
import re
import signal
import subprocess
import threading
import time
import unittest
from concurrent.futures import ThreadPoolExecutor

from harness import BIN, RUNNER, TZ, WINDOWS, TreeCase, arg_path, local, mtime, run, set_mtime, usage

GERMAN_HINT = "DD.MM.YYYY HH:NN:SS"
OLD = local(2001, 1, 1)
GIVEN = ["01.06.2004", "12:00"]
GIVEN_TIME = local(2004, 6, 1, 12, 0, 0)
FILE_TIME = local(1995, 5, 5)
NOBODY = 65534
AS_NOBODY = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
ERROR_LINES = re.compile(rb"(Error \d+\r\n)*\Z")


def can_run(command):
    try:
        return subprocess.run(command, capture_output=True, timeout=30).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def all_dirs(top):
    """Every directory at or below top, links not followed."""
    found = [top]
    for dirpath, dirnames, _ in os.walk(top):
        found += [os.path.join(dirpath, d) for d in dirnames if not os.path.islink(os.path.join(dirpath, d))]
    return found


@unittest.skipIf(WINDOWS, "POSIX owners, modes and mounts")
class Refusals(TreeCase):
    def setUp(self):
        super().setUp()
        if os.geteuid() != 0:
            self.skipTest("needs root to hand the tree to another user")
        if not can_run(AS_NOBODY + ["true"]):
            self.skipTest("setpriv cannot drop to an unprivileged user here")
        os.chmod(self.root, 0o755)  # the unprivileged user must reach the tree

    def give(self, *rels):
        for rel in rels:
            os.chown(self.path(rel), NOBODY, NOBODY)

    def test_a_directory_of_another_user_reports_error_1_and_the_walk_goes_on(self):
        layout = ["d/f", "d/mine/f", "d/theirs/f", "d/theirs/inner/f", "d/zz/f"]
        times = dict({rel: FILE_TIME for rel in layout},
                     **{rel: OLD for rel in ["d/mine/", "d/theirs/inner/", "d/theirs/", "d/zz/", "d/"]})
        cases = [
            (["/S"] + GIVEN, {"d": GIVEN_TIME, "d/mine": GIVEN_TIME, "d/theirs/inner": GIVEN_TIME, "d/zz": GIVEN_TIME}),
            (["/S"], {"d": FILE_TIME, "d/mine": FILE_TIME, "d/theirs/inner": FILE_TIME, "d/zz": FILE_TIME}),
            # The newest entry of d is the directory that kept its time.
            (["/S", "/N"], {"d": OLD, "d/mine": FILE_TIME, "d/theirs/inner": FILE_TIME, "d/zz": FILE_TIME}),
        ]
        for options, expected in cases:
            with self.subTest(options=options):
                self.make(layout, times)
                self.give("d", "d/mine", "d/theirs/inner", "d/zz")  # d/theirs stays root's
                r = run([self.path("d")] + options, wrapper=AS_NOBODY)
                self.assertEqual((r.code, r.out, r.err), (0, b"Error 1\r\n", b""))
                self.assertEqual(mtime(self.path("d/theirs")), OLD)
                self.assertEqual({rel: mtime(self.path(rel)) for rel in expected}, expected)

    def test_unreadable_directories_are_passed_over_silently(self):
        # Neither readable (mode 000) nor readable though enterable (wx only).
        layout = ["d/a/f", "d/locked/sub/f", "d/noread/sub/f", "d/z/f"]
        times = dict({rel: FILE_TIME for rel in layout},
                     **{rel: OLD for rel in ["d/locked/sub/", "d/noread/sub/", "d/a/", "d/locked/", "d/noread/",
                                             "d/z/", "d/"]})
        cases = [
            (["/S"] + GIVEN, {"d": GIVEN_TIME, "d/a": GIVEN_TIME, "d/z": GIVEN_TIME}),
            (["/S"], {"d": FILE_TIME, "d/a": FILE_TIME, "d/z": FILE_TIME}),
            (GIVEN, {"d": GIVEN_TIME, "d/a": OLD, "d/z": OLD}),
        ]
        for options, expected in cases:
            with self.subTest(options=options):
                self.make(layout, times)
                for rel in ["d", "d/a", "d/locked", "d/locked/sub", "d/noread", "d/noread/sub", "d/z"]:
                    self.give(rel)
                os.chmod(self.path("d/locked"), 0o000)
                os.chmod(self.path("d/noread"), 0o311)
                try:
                    r = run([self.path("d")] + options, wrapper=AS_NOBODY)
                finally:
                    os.chmod(self.path("d/locked"), 0o755)
                    os.chmod(self.path("d/noread"), 0o755)
                self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
                for rel in ["d/locked", "d/locked/sub", "d/noread", "d/noread/sub"]:
                    self.assertEqual(mtime(self.path(rel)), OLD, rel)
                self.assertEqual({rel: mtime(self.path(rel)) for rel in expected}, expected)

    def test_a_read_only_file_system_reports_error_30_for_each_directory(self):
        mount = self.path("ro")
        os.mkdir(mount)
        if not can_run(["unshare", "-m", "--propagation", "private", "mount", "-t", "tmpfs", "none", mount]):
            self.skipTest("no private mount namespace here (unshare -m or mount refused)")
        script = ('mount -t tmpfs none "$1" && mkdir -p "$1/d/a/b" "$1/d/c" &&'
                  ' for f in d/f d/a/f d/a/b/f d/c/f; do touch -d 2003-03-03 "$1/$f"; done &&'
                  ' mount -o remount,ro "$1" && shift && exec "$@"')
        cases = [(["/S"] + GIVEN, 4), (["/S"], 4), (["/S", "/N"], 4), (GIVEN, 1), ([], 1)]
        for options, dirs in cases:
            with self.subTest(options=options):
                r = run([os.path.join(mount, "d")] + options,
                        wrapper=["unshare", "-m", "--propagation", "private", "bash", "-c", script, "ro", mount])
                self.assertEqual((r.code, r.out, r.err), (0, b"Error 30\r\n" * dirs, b""))


@unittest.skipIf(WINDOWS, "POSIX links, renames and descriptors")
class ChangesDuringTheWalk(TreeCase):
    maxDiff = None
    """Several runs at once while the tree is rearranged under them: directories
    swapped for links to a place outside, moved out and back, removed and made
    again. No run may crash, and nothing outside the tree may change."""

    OPS = 3000
    MAX_RUNS = 1000
    PARALLEL = 3

    def build(self):
        tree = self.path("tree")
        dirs = []
        for i in range(6):
            for j in range(6):
                for k in range(7):
                    dirs.append(os.path.join(tree, f"d{i}", f"e{j}", f"f{k}"))
        # Deeper than the descriptors kept open, so that levels are reopened
        # through ".." and by name while the chain is being moved about.
        chain = os.path.join(tree, "deep", *(["c"] * 40))
        dirs.append(chain)
        for d in dirs:
            os.makedirs(d)
            with open(os.path.join(d, "file"), "wb") as f:
                f.write(b"x")
        target = self.path("outside", "target")
        for rel in ["a/b", "c"]:
            os.makedirs(os.path.join(target, rel))
            with open(os.path.join(target, rel, "file"), "wb") as f:
                f.write(b"y")
        os.makedirs(self.path("outside", "holding"))
        for d in all_dirs(tree):
            for name in os.listdir(d):
                set_mtime(os.path.join(d, name), OLD)
        # Files older than their directories: whatever a run would derive for
        # a directory out there differs from the time it has.
        for rel in ["target/a/b/file", "target/c/file"]:
            set_mtime(self.path("outside", rel), FILE_TIME)
        for rel in ["target/a/b", "target/a", "target/c", "target", "holding", ""]:
            set_mtime(self.path("outside", rel), OLD)
        return tree, target

    def outside_times(self):
        # By lstat alone: listing the directories would move their access times.
        paths = [self.path("outside", rel) for rel in ["", "target", "target/a", "target/a/b", "target/a/b/file",
                                                        "target/c", "target/c/file"]]
        return {p: (os.lstat(p).st_mtime_ns, os.lstat(p).st_atime_ns) for p in paths}

    def mutate(self, tree, target, problems):
        rng = random.Random(1234)
        holding = self.path("outside", "holding")
        movable = [d for d in all_dirs(tree) if d != tree]
        leaves = [d for d in movable if d.endswith(("f0", "f3"))]
        chain = [d for d in movable if os.path.basename(d) == "c"]

        def holding_untouched(when):
            # Only this thread renames in the holding place, and it puts the
            # time back each time; any other change came from a run.
            if mtime(holding) != OLD:
                problems.append(f"the holding directory outside was changed {when}")
                set_mtime(holding, OLD)

        for ops in range(1, self.OPS + 1):
            # The long chain half the time: its levels are the ones reopened.
            victim = rng.choice(chain if rng.randrange(2) else movable)
            kind = rng.choice([0, 0, 1, 2])
            pause = rng.choice([0, 0.0005, 0.002, 0.005])
            if kind == 0:
                # Swapped for a link to a place outside, absolute or relative.
                away = os.path.join(os.path.dirname(victim), ".away")
                link = target if rng.randrange(2) else os.path.relpath(target, os.path.dirname(victim))
                os.rename(victim, away)
                os.symlink(link, victim)
                time.sleep(pause)
                os.unlink(victim)
                os.rename(away, victim)
            elif kind == 1:
                # Moved out of the tree and back.
                parked = os.path.join(holding, "parked")
                os.rename(victim, parked)
                set_mtime(holding, OLD)
                time.sleep(pause)
                holding_untouched("while a directory was parked there")
                os.rename(parked, victim)
                set_mtime(holding, OLD)
            else:
                # Removed, an empty one made in its place, and the real one back.
                leaf = rng.choice(leaves)
                parked = os.path.join(holding, "removed")
                os.rename(leaf, parked)
                set_mtime(holding, OLD)
                os.mkdir(leaf)
                time.sleep(pause)
                os.rmdir(leaf)
                time.sleep(pause)
                holding_untouched("while a directory was removed")
                os.rename(parked, leaf)
                set_mtime(holding, OLD)
        return ops

    def test_runs_survive_a_tree_rearranged_under_them(self):
        tree, target = self.build()
        before = self.outside_times()
        modes = [["/S"] + GIVEN, ["/S"], ["/S", "/N"]]
        stop = threading.Event()
        problems = []

        def keep_running(worker):
            # Runs one after another until the rearranging is over.
            results = []
            while not stop.is_set() and len(results) < self.MAX_RUNS:
                options = modes[(worker + len(results)) % len(modes)]
                results.append((options, run([tree] + options, timeout=300)))
            return results

        with ThreadPoolExecutor(max_workers=self.PARALLEL + 1) as pool:
            workers = [pool.submit(keep_running, w) for w in range(self.PARALLEL)]
            try:
                ops = self.mutate(tree, target, problems)
            finally:
                stop.set()
            results = [r for w in workers for r in w.result()]
        self.assertGreater(len(results), self.PARALLEL)
        for options, r in results:
            self.assertEqual(r.code, 0, (options, r.err))
            self.assertEqual(r.err, b"", options)
            self.assertRegex(r.out, ERROR_LINES, options)
        self.assertEqual(problems, [])
        after = self.outside_times()
        self.assertEqual({k: (before[k], after[k]) for k in before if before[k] != after[k]}, {})
        self.assertEqual(mtime(self.path("outside", "holding")), OLD)
        # Every directory is back in place, so a last quiet run reaches them all.
        r = run([tree, "/S"] + GIVEN)
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual({mtime(d) for d in all_dirs(tree)}, {GIVEN_TIME})


def make_chain(case, top, levels):
    """top/d/d/... levels deep, made by descriptors (a shell's cd takes a time
    that grows with the depth on every step), removed after the test."""
    os.mkdir(top)
    # Deeper than Python's own recursive removal goes.
    case.addCleanup(subprocess.run, ["rm", "-rf", top])
    fd = os.open(top, os.O_RDONLY | os.O_DIRECTORY)
    try:
        for _ in range(levels):
            os.mkdir("d", dir_fd=fd)
            child = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
            os.close(fd)
            fd = child
    finally:
        os.close(fd)


@unittest.skipIf(WINDOWS, "POSIX links and descriptor limits")
class AwkwardTrees(TreeCase):
    def test_link_loops_end_and_nothing_they_reach_changes(self):
        self.make(["d/a/f", "d/b/f", "outside/f"])
        os.symlink("..", self.path("d/a/up"))
        os.symlink(self.path("d"), self.path("d/b/top"))
        os.symlink("self", self.path("d/self"))
        os.symlink("ping", self.path("d/pong"))
        os.symlink("pong", self.path("d/ping"))
        os.symlink(self.path("outside"), self.path("d/a/out"))
        for options in (["/S"] + GIVEN, ["/S"], ["/S", "/N"]):
            with self.subTest(options=options):
                for rel in ["d/a/f", "d/b/f", "d/a", "d/b", "d", "outside/f", "outside"]:
                    set_mtime(self.path(rel), OLD)
                for link in ["d/a/up", "d/b/top", "d/self", "d/pong", "d/ping", "d/a/out"]:
                    set_mtime(self.path(link), local(2002, 2, 2))
                r = run([self.path("d")] + options, timeout=30)
                self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
                self.assertEqual(mtime(self.path("outside")), OLD)
                self.assertEqual(mtime(self.path("outside/f")), OLD)
                if len(options) > 2:
                    self.assertEqual({mtime(self.path(rel)) for rel in ["d", "d/a", "d/b"]}, {GIVEN_TIME})
                else:
                    # The links' own times take part: the newest of d/a is its link's.
                    self.assertEqual(mtime(self.path("d/a")), local(2002, 2, 2) if "/N" in options else OLD)

    def test_every_mode_on_a_deep_tree_under_a_small_descriptor_limit(self):
        levels = 1500
        make_chain(self, self.path("deep"), levels)
        with open(os.path.join(self.path(*(["deep"] + ["d"] * levels)), "leaf"), "wb") as f:
            f.write(b"x")
        chain = [self.path(*(["deep"] + ["d"] * n)) for n in range(levels + 1)]
        leaf_time = local(2003, 3, 3, 3, 3, 3)
        cases = [(["/S", "/N"], local(2003, 3, 3, 3, 3, 2)), (["/S"] + GIVEN, GIVEN_TIME)]
        for options, expected in cases:
            with self.subTest(options=options):
                set_mtime(os.path.join(chain[-1], "leaf"), leaf_time)
                for d in reversed(chain):
                    set_mtime(d, OLD)
                r = run([self.path("deep")] + options, shell_prefix="ulimit -n 64;")
                self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
                self.assertEqual({mtime(d) for d in chain}, {expected})

    def test_a_chain_far_too_deep_to_name_is_walked_within_bounds(self):
        # Every level's path is held while the walk is below it, so an unbounded
        # descent costs memory by the square of the depth: 40,000 levels took
        # over 5 GB. Levels whose paths no call could take are passed over.
        levels = 40000
        top = self.path("chain")
        make_chain(self, top, levels)

        def times_at(depths):
            """Modification times of the levels at these depths, reached by descriptors."""
            found, fd = {}, os.open(top, os.O_RDONLY | os.O_DIRECTORY)
            try:
                for depth in range(max(depths) + 1):
                    if depth in depths:
                        found[depth] = int(os.fstat(fd).st_mtime)
                    if depth == max(depths):
                        break
                    child = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
                    os.close(fd)
                    fd = child
            finally:
                os.close(fd)
            return found

        # Beyond the sanitizers' reach, an address-space limit turns a runaway
        # into a failed allocation instead of a burden on the whole machine.
        limit = "" if "ASAN_OPTIONS" in os.environ else "ulimit -v 2000000;"
        r = run([top, "/S"] + GIVEN, shell_prefix=limit, timeout=300)
        self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
        # Deeper than one call can name (PATH_MAX) is still reached; the far end is not.
        got = times_at({0, 1, 2100, levels})
        self.assertEqual({depth: got[depth] for depth in (0, 1, 2100)},
                         {0: GIVEN_TIME, 1: GIVEN_TIME, 2100: GIVEN_TIME})
        self.assertNotEqual(got[levels], GIVEN_TIME)

    def test_names_with_blanks_line_feeds_and_bytes_that_are_no_utf8(self):
        names = [b"a b", b" lead", b"trail ", b"line\nfeed", b"cr\rhere", b"\xff\xfe", b"caf\xe9", b"tab\there",
                 b"-s", b"S", b"'quote\"", b"\xe2\x80\xae"]
        root = os.path.join(os.fsencode(self.root), b"top \xff dir")
        os.mkdir(root)
        for i, name in enumerate(names):
            os.mkdir(os.path.join(root, name))
            with open(os.path.join(root, name, name + b".file"), "wb") as f:
                f.write(b"x")
            os.utime(os.path.join(root, name, name + b".file"), (OLD, local(2003, 1, 1 + i)))
            os.utime(os.path.join(root, name), (OLD, OLD))
        os.utime(root, (OLD, OLD))
        arg = os.fsdecode(root)
        r = run([arg, "/S"])
        self.assertEqual((r.code, r.out, r.err), (0, b"", b""))
        for i, name in enumerate(names):
            self.assertEqual(mtime(os.path.join(root, name)), local(2003, 1, 1 + i), name)
        self.assertEqual(mtime(root), local(2003, 1, 1))
        r = run([arg, "/S"] + GIVEN)
        self.assertEqual((r.code, r.out), (0, b""))
        self.assertEqual({mtime(os.path.join(root, n)) for n in names} | {mtime(root)}, {GIVEN_TIME})


class PipedInput(TreeCase):
    def test_an_8_mib_line_without_an_end(self):
        self.make(["d/"], {"d/": OLD})
        d = self.path("d")
        rng = random.Random(7)
        junk = b"X" + bytes(rng.choice(b"abcXYZ019.:/- \t\xff\xe9") for _ in range((8 << 20) - 1))
        cases = [
            # Unreadable: reported with the whole line, nothing touched.
            (b"12.11.2008 x" + junk, None),
            (junk, None),
            # A date followed by nothing but blanks is a date, however many.
            (b"12.11.2008" + b" " * (8 << 20), local(2008, 11, 12)),
        ]
        for stdin, expected in cases:
            with self.subTest(head=stdin[:16]):
                set_mtime(d, OLD)
                r = run([arg_path(d), "/P"], stdin=stdin, timeout=300)
                self.assertEqual(r.code, 0)
                if expected is None:
                    report = b"Invalid timestamp: '" + stdin + b"'.\r\n\r\n" + usage(GERMAN_HINT)
                    first = next((i for i, (a, b) in enumerate(zip(r.out, report)) if a != b),
                                 min(len(r.out), len(report)))
                    self.assertTrue(r.out == report, f"report of {len(r.out)} bytes, wanted {len(report)}; "
                                    f"first difference at {first}: {r.out[first - 40:first + 40]!r} "
                                    f"instead of {report[first - 40:first + 40]!r}")
                    self.assertEqual(mtime(d), OLD)
                else:
                    self.assertEqual((r.out, mtime(d)), (b"", expected))

    def test_nul_bytes_in_piped_input(self):
        self.make(["d/"], {"d/": OLD})
        d = self.path("d")
        cases = [
            (b"12.11.2008\x00 13:44\n", b"12.11.2008\x00 13:44", None),
            (b"\x00\n12.11.2008\n", b"\x00", None),
            (b"\x00" * 1000, b"\x00" * 1000, None),
            # After a time anything may follow, a NUL too.
            (b"12.11.2008 13:44\x00junk\r\n", None, local(2008, 11, 12, 13, 44)),
        ]
        for stdin, echoed, expected in cases:
            with self.subTest(stdin=stdin[:24]):
                set_mtime(d, OLD)
                r = run([arg_path(d), "/P"], stdin=stdin)
                self.assertEqual(r.code, 0)
                if echoed is not None:
                    self.assertEqual(r.out, b"Invalid timestamp: '" + echoed + b"'.\r\n\r\n" + usage(GERMAN_HINT))
                    self.assertEqual(mtime(d), OLD)
                else:
                    self.assertEqual((r.out, mtime(d)), (b"", expected))


@unittest.skipIf(WINDOWS, "POSIX pipes and /dev/full")
class OutputThatCannotBeWritten(TreeCase):
    """A reader that has gone, or a full device: the run is the same, only its
    words are lost. The program is started with SIGPIPE at its default."""

    def cases(self):
        self.make(["d/a/f", "d/empty/", "d/f"], {"d/a/f": local(2003, 3, 3), "d/f": local(2003, 3, 3),
                                                  "d/empty/": OLD, "d/a/": OLD, "d/": OLD})
        d = self.path("d")
        return [
            ([], 2, None),                                      # the usage screen
            (["/?"], 0, None),
            ([d, "nonsense"], 0, {"d": OLD}),                   # the long invalid-timestamp report
            ([d, "/S"], 0, {"d/a": local(2003, 3, 3), "d/empty": OLD}),  # "Error 22" for the empty one
            ([d, "/S"] + GIVEN, 0, {"d": GIVEN_TIME, "d/a": GIVEN_TIME, "d/empty": GIVEN_TIME}),
        ]

    def check(self, open_output):
        for args, code, expected in self.cases():
            with self.subTest(args=args):
                for rel in ["d/empty", "d/a", "d"]:
                    set_mtime(self.path(rel), OLD)
                with open_output() as out:
                    completed = subprocess.run(RUNNER + [BIN] + args, stdout=out, stderr=subprocess.PIPE,
                                               env=dict(os.environ, TZ=TZ, LC_ALL="de_DE.UTF-8"), timeout=60)
                self.assertNotEqual(completed.returncode, -signal.SIGPIPE, "killed by SIGPIPE")
                self.assertEqual((completed.returncode, completed.stderr), (code, b""))
                for rel, seconds in (expected or {}).items():
                    self.assertEqual(mtime(self.path(rel)), seconds, rel)

    def test_a_pipe_whose_reader_has_gone(self):
        class ClosedPipe:
            def __enter__(self):
                read_end, self.write_end = os.pipe()
                os.close(read_end)
                return self.write_end

            def __exit__(self, *exc):
                os.close(self.write_end)

        self.check(ClosedPipe)

    def test_a_full_device(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        self.check(lambda: open("/dev/full", "wb"))


if __name__ == "__main__":
    unittest.main()
