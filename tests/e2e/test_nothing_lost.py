"""End-to-end: whatever the mode, a run changes directory modification times
and nothing else. Names, contents, types, modes, owners, link targets and the
times of every other entry are read back exactly; so are the access times of
directories where the file system keeps them."""
import hashlib
import os
import stat
import unittest

from harness import WINDOWS, TreeCase, local, mtime, run

NOBODY = 65534
GIVEN = ["12.11.2008", "13:44"]


def open_quietly(path, flags):
    """Opens without moving the access time when allowed (owner or root)."""
    try:
        return os.open(path, flags | os.O_NOATIME)
    except PermissionError:
        return os.open(path, flags)


def snapshot(top):
    """Everything below and at top but directory modification and change times,
    read without moving any access time."""
    state = {}

    def visit(path, rel):
        # Reading a link moves its access time, so it is read before the lstat;
        # the run itself has no reason to read a link at all.
        target = os.readlink(path) if os.path.islink(path) else None
        st = os.lstat(path)
        common = (stat.S_IFMT(st.st_mode), stat.S_IMODE(st.st_mode), st.st_uid, st.st_gid, st.st_ino,
                  st.st_nlink)
        if stat.S_ISDIR(st.st_mode):
            fd = open_quietly(path, os.O_RDONLY | os.O_DIRECTORY)
            try:
                names = sorted(os.listdir(fd))
            finally:
                os.close(fd)
            state[rel] = common + (tuple(names), st.st_atime_ns)
            for name in names:
                visit(os.path.join(path, name), os.path.join(rel, name))
            return
        extra = ()
        if stat.S_ISREG(st.st_mode):
            fd = open_quietly(path, os.O_RDONLY)
            try:
                extra = (hashlib.sha256(os.read(fd, st.st_size + 1)).hexdigest(),)
            finally:
                os.close(fd)
        elif stat.S_ISLNK(st.st_mode):
            extra = (target,)
        # A change time that stayed put means nothing was written, renamed,
        # chmod-ed, chown-ed or had its times set.
        state[rel] = common + extra + (st.st_size, st.st_atime_ns, st.st_mtime_ns, st.st_ctime_ns)

    visit(top, ".")
    return state


@unittest.skipIf(WINDOWS, "POSIX owners, modes, links and FIFOs")
class NothingButDirectoryTimes(TreeCase):
    maxDiff = None
    def build(self):
        d = self.path("d")
        files = {
            "a.jpg": (b"\xff\xd8 picture", 0o644), "b.txt": (b"text\n" * 100, 0o600),
            ".hidden": (b"hidden", 0o400), "run.sh": (b"#!/bin/sh\n", 0o4755), "empty": (b"", 0o000),
            "sub/c.raw": (b"\x00" * 5000, 0o640), "sub/.cache/x": (b"x", 0o644),
            "sub/deeper/d.jpg": (b"d", 0o444), "other/e": (b"owned by another", 0o664),
        }
        for rel, (content, mode) in files.items():
            full = os.path.join(d, rel)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(content)
            os.chmod(full, mode)
        for rel in ["empty-dir", "sub/empty-too", ".hidden-dir/inner"]:
            os.makedirs(os.path.join(d, rel))
        os.chown(os.path.join(d, "other"), NOBODY, NOBODY)
        os.chown(os.path.join(d, "other", "e"), NOBODY, NOBODY)
        os.chmod(os.path.join(d, "other"), 0o750)
        os.mkfifo(os.path.join(d, "fifo"))
        os.mkfifo(os.path.join(d, "sub", ".fifo"))
        os.link(os.path.join(d, "a.jpg"), os.path.join(d, "sub", "hard-link.jpg"))
        os.mkdir(self.path("outside"))
        for link, target in [("to-file", "a.jpg"), ("sub/to-dir", ".."), ("dangling", "nowhere"),
                             ("sub/to-outside", self.path("outside")), (".hidden-link", "b.txt")]:
            os.symlink(target, os.path.join(d, link))
        # Distinct access and modification times on everything, directories
        # read last so that their access times are not older than their
        # entries'; directory access times earlier than their modification
        # times, so that any read without O_NOATIME would move them.
        n = 0
        for dirpath, dirnames, filenames in os.walk(d, topdown=False):
            for name in filenames + [x for x in dirnames if os.path.islink(os.path.join(dirpath, x))]:
                n += 1
                os.utime(os.path.join(dirpath, name), (local(1999, 1, 1) + 3600 * n, local(2003, 1, 1) + 86400 * n),
                         follow_symlinks=False)
        for dirpath, dirnames, _ in os.walk(d, topdown=False):
            for name in dirnames + [""]:
                full = os.path.join(dirpath, name)
                if not os.path.islink(full):
                    os.utime(full, (local(1998, 1, 1), local(2001, 1, 1)))
        return d

    def directory_access_times_kept(self):
        """Whether this file system moves a directory's access time on a read."""
        probe = self.path("probe")
        os.mkdir(probe)
        os.utime(probe, (local(1998, 1, 1), local(2001, 1, 1)))
        os.listdir(probe)
        kept = os.stat(probe).st_atime_ns != local(1998, 1, 1) * 10**9
        os.rmdir(probe)
        return kept

    def test_every_mode_changes_directory_times_only(self):
        d = self.build()
        with_atimes = self.directory_access_times_kept()
        before = snapshot(self.root)
        if not with_atimes:
            before = {k: v[:-1] if v[0] == stat.S_IFDIR else v for k, v in before.items()}
        modes = [([], b""), (["/N"], b""), (["/S"], b""), (["/S", "/N"], b""), (GIVEN, b""),
                 (["/S"] + GIVEN, b""), (["/T"], b""), (["/S", "/T"], b""), (["/P"], b"12.11.2008 13:44\n"),
                 (["/S", "/P", "/N"], b"13.11.2008\r\n")]
        for options, stdin in modes:
            with self.subTest(options=options):
                os.utime(d, ns=(os.lstat(d).st_atime_ns, local(1997, 1, 1) * 10**9))
                r = run([d] + options, stdin=stdin, timeout=60)
                self.assertEqual(r.code, 0)
                # The empty directories have no time of their own to take.
                self.assertRegex(r.out, rb"\A(Error 22\r\n)*\Z")
                self.assertNotEqual(mtime(d), local(1997, 1, 1), "the run set nothing")
                after = snapshot(self.root)
                if not with_atimes:
                    after = {k: v[:-1] if v[0] == stat.S_IFDIR else v for k, v in after.items()}
                self.assertEqual(after, before)


if __name__ == "__main__":
    unittest.main()
