#!/usr/bin/env python3
"""Runs setuppack.exe under Wine: it builds an installer with the setup stub
beside it (no --stub), verifies and lists it, and rejects the installer with
one byte of a compressed block flipped and a payload whose picture is no JPEG;
it extracts built installers, deflated and solid, through the Win32 restore.
It also verifies the sample installer, whose picture it decodes.

Usage: setuppack_wine_test.py WORK_DIR SETUPPACK_EXE SAMPLE_SETUP"""
import os
import random
import sys
import tempfile
import time
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "harness"))
import layout  # noqa: E402
import wineenv  # noqa: E402

WORK_DIR = SETUPPACK = SAMPLE = None


def windows_path(path):
    """The path under Wine's drive Z:, the root of this file system."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# Settings of a sound payload: the screensaver Saver.scr, no picture.
SETTINGS = (b"False\r\nSaver\r\nSaver.scr\r\n\r\nFalse\r\nNONE\r\nFalse\r\nFalse\r\nNONE\r\nnil\r\nFalse\r\n"
            b"0\r\n0\r\n255\r\n0\r\n")


class SetuppackUnderWine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = wineenv.WineSession(WORK_DIR, name="setuppack")
        cls.session.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def setUp(self):
        os.makedirs(WORK_DIR, exist_ok=True)
        self._tmp = tempfile.TemporaryDirectory(dir=WORK_DIR)
        self.dir = self._tmp.name

    def tearDown(self):
        self._tmp.cleanup()

    def setuppack(self, *args):
        # setuppack.exe writes UTF-8, whatever the code pages.
        rc, said = self.session.run(SETUPPACK, *args, timeout=300)
        return rc, said.encode("latin-1").decode("utf-8", "replace")

    def test_build_verify_and_reject_a_flipped_byte(self):
        rng = random.Random(9)
        files = {"CD.jpg": bytes(rng.getrandbits(8) for _ in range(17504)),
                 "Setup.ins": SETTINGS,
                 "Saver.scr": b"", "Lmunist.exe": b"", "Install.exe": b""}
        paths = []
        for name, data in files.items():
            path = os.path.join(self.dir, name)
            with open(path, "wb") as f:
                f.write(data)
            paths.append(path)
        out = os.path.join(self.dir, "setup.exe")

        rc, said = self.setuppack("build", "--store", "-o", windows_path(out), *map(windows_path, paths))
        self.assertEqual(rc, 0, said)
        with open(out, "rb") as f:
            data = f.read()
        with open(os.path.join(os.path.dirname(SETUPPACK), "setupstub.exe"), "rb") as f:
            stub = f.read()
        start, _, total, count, entries, end = layout.parse_installer(data)
        self.assertEqual(data[:len(stub)], stub)
        self.assertEqual(data[len(stub):start - 20], bytes(start - 20 - len(stub)))  # alignment to 8
        self.assertEqual(layout.check_record(data), (len(data) - 4 - start, zlib.crc32(data[start:-4])))
        self.assertEqual((total, count, end + 8), (17504 + len(SETTINGS), 5, len(data)))
        for entry, path in zip(entries, paths):
            self.assertEqual(entry.name, "c:\\" + os.path.basename(path).lower())
            with open(path, "rb") as f:
                self.assertEqual(entry.data(data), f.read())

        rc, said = self.setuppack("verify", windows_path(out))
        self.assertEqual(rc, 0, said)
        rc, said = self.setuppack("list", windows_path(out))
        self.assertEqual(rc, 0, said)
        self.assertIn("1 raw + 1 stored", said)

        length, at = entries[0].blocks[1]
        damaged = bytearray(data)
        damaged[at + length // 2] ^= 0x10
        bad = os.path.join(self.dir, "damaged.exe")
        with open(bad, "wb") as f:
            f.write(damaged)
        rc, said = self.setuppack("verify", windows_path(bad))
        self.assertEqual(rc, 1, said)
        self.assertIn("block 2", said)

        # The picture that the settings select is decoded as the installer
        # decodes it, by the same library.
        with open(paths[1], "wb") as f:
            f.write(SETTINGS.replace(b"\r\nnil\r\n", b"\r\nCD.jpg\r\n"))
        refused = os.path.join(self.dir, "refused.exe")
        rc, said = self.setuppack("build", "-o", windows_path(refused), *map(windows_path, paths))
        self.assertEqual(rc, 1, said)
        self.assertIn('line 10 (ImageFile): "CD.jpg" is not a JPEG the installer can show: Invalid JPEG picture: '
                      'Not a JPEG file', said)
        self.assertFalse(os.path.exists(refused))

    def test_extract_restores_the_same_files(self):
        # Folders of Cyrillic and Greek letters, which the ANSI code page
        # lacks, and a file name of its own letters.
        inputs = os.path.join(self.dir, "\u0418\u0432\u0430\u043d")
        os.makedirs(inputs)
        rng = random.Random(11)
        files = {"Saver.scr": bytes(rng.getrandbits(8) for _ in range(40000)),
                 "Setup.ins": b"True\r\n" * 30,
                 "Gr\xfc\xdfe.txt": b""}
        paths = []
        stamp = time.mktime((2003, 1, 31, 6, 48, 31, 0, 0, -1))
        for name, data in files.items():
            path = os.path.join(inputs, name)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (stamp, stamp))
            paths.append(path)
        os.makedirs(os.path.join(self.dir, "\u0395\u03bb\u03ad\u03bd\u03b7"))
        out = os.path.join(self.dir, "\u0395\u03bb\u03ad\u03bd\u03b7", "setup.exe")
        # Solid with two threads: the LZMA2 encoder's match finder runs in
        # Windows threads of its own.
        solid = out + ".solid.exe"
        for built, options in ((out, ()), (solid, ("--solid", "--threads", "2"))):
            rc, said = self.setuppack("build", "--force", *options, "-o", windows_path(built),
                                      *map(windows_path, paths))
            self.assertEqual(rc, 0, said)

        # A file name that the installer could not restore under its name.
        cyrillic = os.path.join(inputs, "\u0410\u0432\u0440\u043e\u0440\u0430.scr")
        with open(cyrillic, "wb") as f:
            f.write(b"x")
        rc, said = self.setuppack("build", "-o", windows_path(out + ".2"), windows_path(cyrillic))
        self.assertEqual(rc, 1, said)
        self.assertIn("code page 1252 has no place for the character \"\u0410\" (U+0410)", said)
        self.assertFalse(os.path.exists(out + ".2"))
        # In UTF-8 it is stored, and restored under its name on any system.
        rc, said = self.setuppack("build", "--force", "--codepage", "utf-8", "-o", windows_path(out + ".3"),
                                  windows_path(cyrillic))
        self.assertEqual(rc, 0, said)
        rc, said = self.setuppack("extract", windows_path(out + ".3"), windows_path(os.path.join(self.dir, "utf8")))
        self.assertEqual(rc, 0, said)
        self.assertEqual(os.listdir(os.path.join(self.dir, "utf8")), ["\u0410\u0432\u0440\u043e\u0440\u0430.scr"])

        for built, folder in ((out, os.path.join(inputs, "restored", "here")),
                              (solid, os.path.join(inputs, "restored", "solid"))):
            rc, said = self.setuppack("extract", windows_path(built), windows_path(folder))
            self.assertEqual(rc, 0, said)
            self.assertIn("restored 3 files, %d bytes, into %s" % (40000 + 180, windows_path(folder)), said)
            self.assertEqual(sorted(os.listdir(folder)), sorted(name.lower() for name in files))
            for name, data in files.items():
                path = os.path.join(folder, name.lower())
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), data, name)
                self.assertEqual(os.path.getmtime(path), stamp - 1, name)

    def test_sample_installer_is_sound(self):
        rc, said = self.setuppack("verify", windows_path(SAMPLE))
        self.assertEqual(rc, 0, said)


if __name__ == "__main__":
    WORK_DIR, SETUPPACK, SAMPLE = (os.path.abspath(a) for a in sys.argv[1:4])
    del sys.argv[1:4]
    unittest.main(verbosity=2)
