#!/usr/bin/env python3
"""Runs the native setuppack: build, then list and verify, and verify's
verdict on damaged installers; exit codes and messages.

Usage: setuppack_test.py SETUPPACK"""
import os
import random
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layout  # noqa: E402

SETUPPACK = None


def run(*args):
    result = subprocess.run([SETUPPACK, *args], capture_output=True, text=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


class SetuppackTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name
        rng = random.Random(5)
        self.files = {
            "CD.jpg": bytes(rng.getrandbits(8) for _ in range(17504)),
            "Big.bin": bytes(rng.getrandbits(8) for _ in range(32768)),
            "empty.txt": b"",
            "Setup.ins": b"x" * 141 + b"\r\n",
        }
        self.paths = []
        for name, data in self.files.items():
            path = self.path(name)
            with open(path, "wb") as f:
                f.write(data)
            self.paths.append(path)
        self.stub = b"MZ" + bytes(rng.getrandbits(8) for _ in range(3000))
        with open(self.path("stub.exe"), "wb") as f:
            f.write(self.stub)

    def tearDown(self):
        self._tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def build(self, *extra, files=None):
        out = self.path("setup.exe")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", out, *extra,
                         *(files or self.paths))
        self.assertEqual(rc, 0, err)
        with open(out, "rb") as f:
            return out, bytearray(f.read())

    def write(self, name, data):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_build_list_verify(self):
        out, data = self.build()
        # An independent reading: stub, archive at the stub's size, files intact.
        start, title, total, count, entries, end = layout.parse_installer(bytes(data))
        self.assertEqual(bytes(data[:len(self.stub)]), self.stub)
        self.assertEqual(start, len(self.stub))
        self.assertEqual((title, total, count), ("Setup", 17504 + 32768 + 143, 4))
        self.assertEqual(end + 4, len(data) - 4)
        for entry, (name, original) in zip(entries, self.files.items()):
            full = os.path.abspath(self.path(name))
            self.assertEqual(entry.name, ("z:" + full.replace("/", "\\")).lower())
            self.assertEqual(entry.data(bytes(data)), original)
            self.assertEqual(entry.stamp, layout.dos_stamp(os.path.getmtime(full)))

        rc, listing, err = run("list", out)
        self.assertEqual(rc, 0, err)
        self.assertIn('title "Setup", total size 50415, file count 4', listing)
        stamp = time.strftime("%Y-%m-%d %H:%M:", time.localtime(os.path.getmtime(self.paths[0])))
        rows = {line.split()[-1].rsplit("\\", 1)[-1]: line for line in listing.splitlines()
                if "\\" in line}
        self.assertIn(stamp, rows["cd.jpg"])
        for name, size, blocks in (("cd.jpg", 17504, "1 raw + 1 zlib"), ("big.bin", 32768, "2 raw"),
                                   ("empty.txt", 0, "none"), ("setup.ins", 143, "1 zlib")):
            self.assertRegex(rows[name], r"\s%d\s+%s\s" % (size, blocks.replace("+", r"\+")))

        rc, said, err = run("verify", out)
        self.assertEqual((rc, err), (0, ""))
        self.assertIn("sound", said)

        # The archive alone, without stub and trailer.
        bare = self.write("bare.arc", bytes(data[start:-4]))
        self.assertEqual(run("verify", "--archive", bare)[0], 0)
        self.assertEqual(run("list", "--archive", bare)[0], 0)

    def test_verify_rejects_damaged_installers(self):
        out, data = self.build()
        start, _, _, _, entries, end = layout.parse_installer(bytes(data))
        cd = entries[0]
        zlib_length, zlib_at = cd.blocks[1]
        size = len(data)

        def changed(at, byte):
            copy = bytearray(data)
            copy[at] = byte
            return copy

        def with_trailer(value):
            copy = bytearray(data)
            copy[-4:] = value.to_bytes(4, "little", signed=True)
            return copy

        cases = [
            ("flipped byte in a compressed block", changed(zlib_at + 500, data[zlib_at + 500] ^ 1),
             ['entry "%s", block 2' % cd.name, "offset %d" % (zlib_at - 4)]),
            ("flipped Adler-32", changed(zlib_at + zlib_length - 1, data[zlib_at + zlib_length - 1] ^ 0x80),
             ["block 2"]),
            ("truncated file", data[:size // 2], []),
            ("trailer beyond the file", with_trailer(size + 100), ["trailer"]),
            ("negative trailer", with_trailer(-5), ["trailer"]),
            ("trailer at the wrong place", with_trailer(start + 1), []),
            ("wrong total size", changed(start + 4 + 5, data[start + 4 + 5] ^ 1), ["total size"]),
            ("bytes before the trailer", data[:-4] + b"junk" + data[-4:], ["4 bytes lie between"]),
            ("bad block magic", changed(cd.offset + 4 + len(cd.name) + 7, 0x41), ["Invalid archive type"]),
        ]
        for what, damaged, words in cases:
            with self.subTest(what):
                path = self.write("damaged.exe", bytes(damaged))
                rc, _, err = run("verify", path)
                self.assertEqual(rc, 1, err)
                self.assertTrue(err.startswith("setuppack: "), err)
                for word in words:
                    self.assertIn(word, err)

    def test_compress_and_refusals(self):
        text = b"".join(b"line %d of a text that compresses well\r\n" % (i % 50) for i in range(3000))
        textfile = self.write("readme.txt", text)
        out, data = self.build("--compress", "--title", "Aurora", files=[textfile])
        _, title, total, _, entries, _ = layout.parse_installer(bytes(data))
        self.assertEqual((title, total), ("Aurora", len(text)))
        self.assertTrue(all(length > 0 for length, _ in entries[0].blocks))
        self.assertLess(len(data), len(text) // 4)
        self.assertEqual(entries[0].data(bytes(data)), text)
        self.assertEqual(run("verify", out)[0], 0)

        # Two files restored under one base name would overwrite each other.
        os.mkdir(self.path("other"))
        twin = self.write(os.path.join("other", "cd.JPG"), b"twin")
        target = self.path("twins.exe")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", target, self.paths[0], twin)
        self.assertEqual(rc, 1)
        self.assertIn("cd.jpg", err)
        self.assertFalse(os.path.exists(target))

    def test_special_entries_and_volumes(self):
        def i32(v):
            return v.to_bytes(4, "little", signed=True)

        def counted(text):
            return i32(len(text)) + text

        magic = b"EC2\0"
        first = (counted(b"Setup") + i32(6) + i32(2) + i32(-3)
                 + counted(b"FILE:LIST") + i32(0) + magic + i32(-2) + b"xy" + i32(0)
                 + counted(b"c:\\a.txt") + i32(0x2E3F35EE) + magic + i32(-3) + b"abc" + i32(0)
                 + counted(b"NEXT:DISK002"))
        arc = self.write("vol.arc", first)
        second = self.write("vol.002", magic + i32(-3) + b"def" + i32(0) + i32(0))

        rc, listing, err = run("list", "--archive", arc)
        self.assertEqual(rc, 0, err)
        self.assertIn("name length -3: passed over", listing)
        self.assertIn("FILE:LIST  (file list: never restored)", listing)
        self.assertIn("continues in " + second, listing)
        self.assertRegex(listing, r"2003-01-31 06:47:28\s+6\s+2 raw\s+c:\\a\.txt")
        self.assertEqual(run("verify", "--archive", arc)[0], 0)

        # An installer's payload never continues in another volume.
        installer = self.write("split.exe", self.stub + first + i32(len(self.stub)))
        rc, _, err = run("verify", installer)
        self.assertEqual(rc, 1)
        self.assertIn("NEXT:DISK002", err)
        os.remove(second)
        rc, _, err = run("verify", "--archive", arc)
        self.assertEqual(rc, 1)
        self.assertIn("missing", err)

    def test_exit_codes_and_help(self):
        usage = [
            (),
            ("pack",),
            ("build", "--stub", self.path("stub.exe"), self.paths[0]),
            ("build", "--stub", self.path("stub.exe"), "-o", self.path("x.exe")),
            ("build", "-o"),
            ("list",),
            ("list", "a", "b"),
            ("verify", "--bogus", "a"),
            ("verify", "--archive", "--archive", "a"),
        ]
        for args in usage:
            with self.subTest(args=args):
                rc, _, err = run(*args)
                self.assertEqual(rc, 2, err)
                self.assertIn("setuppack", err)
        for args in (("--help",), ("-h",), ("build", "--help"), ("list", "-h"), ("verify", "--help")):
            with self.subTest(args=args):
                rc, said, _ = run(*args)
                self.assertEqual(rc, 0)
                self.assertIn("usage: setuppack", said)
        missing = self.path("missing.exe")
        for args in (("list", missing), ("verify", missing),
                     ("build", "--stub", self.path("none.exe"), "-o", self.path("y.exe"), self.paths[0]),
                     ("build", "--stub", self.path("stub.exe"), "-o", self.path("y.exe"), missing)):
            with self.subTest(args=args):
                rc, _, err = run(*args)
                self.assertEqual(rc, 1)
                self.assertTrue(err.startswith("setuppack: "), err)


if __name__ == "__main__":
    SETUPPACK = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
