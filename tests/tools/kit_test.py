#!/usr/bin/env python3
"""The author's kit as an author gets it: unpacked alone, its packing tool
makes an installer of the kit's own files (the stub found beside the tool)
that verify calls sound; and it is built to give the same bytes from the
same commit: one fixed time on every entry, no source or build folder in its
programs.

    kit_test.py KIT SOURCE_DIR BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

KIT = SOURCE_DIR = BUILD_DIR = None
PROGRAMS = ["setupstub.exe", "setuppack.exe", "setuppack", "Aurora.scr", "Lmunist.exe", "Install.exe"]
PAYLOAD = ["Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe", "cd.jpg", "ReadMe.txt"]


class KitTest(unittest.TestCase):

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.addCleanup(self._tmp.cleanup)
        with zipfile.ZipFile(KIT) as kit:
            self.entries = kit.infolist()
            kit.extractall(self._tmp.name)
            for info in self.entries:
                os.chmod(os.path.join(self._tmp.name, info.filename), info.external_attr >> 16 & 0o777)
        self.folder = os.path.join(self._tmp.name, "lumora-setup-kit")

    def test_an_installer_made_from_the_kit_alone_is_sound(self):
        names = sorted(os.listdir(self.folder))
        self.assertEqual(names, sorted(set(PROGRAMS + PAYLOAD + ["MAKING-AN-INSTALLER.txt"])))
        run = lambda *args: subprocess.run(["./setuppack", *args], cwd=self.folder, capture_output=True,  # noqa
                                           text=True, timeout=120)
        built = run("build", "-o", "MySetup.exe", *PAYLOAD)
        self.assertEqual((built.returncode, built.stderr), (0, ""))
        verified = run("verify", "MySetup.exe")
        self.assertEqual((verified.returncode, verified.stderr), (0, ""))
        self.assertIn("MySetup.exe: sound", verified.stdout)

    def test_the_same_bytes_from_the_same_commit(self):
        self.assertEqual({info.date_time for info in self.entries}, {(2026, 1, 15, 12, 0, 0)})
        for name in PROGRAMS:
            with open(os.path.join(self.folder, name), "rb") as f:
                data = f.read()
            for folder in (SOURCE_DIR, BUILD_DIR):
                self.assertNotIn(os.path.abspath(folder).encode(), data, name)


if __name__ == "__main__":
    KIT, SOURCE_DIR, BUILD_DIR = sys.argv[1:4]
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)
