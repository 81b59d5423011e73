#!/usr/bin/env python3
"""The author's kit as an author gets it: unpacked alone, its packing tool
makes an installer of the kit's own files (the stub found beside the tool)
that verify calls sound; the command lines of its instructions work exactly
as written, on Linux in a shell and with setuppack.exe in Wine's command
prompt; and it is built to give the same bytes from the same commit: one
fixed time on every entry, no source or build folder in its programs.

    kit_test.py KIT SOURCE_DIR BUILD_DIR WINE_WORK_DIR
"""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
import wineenv  # noqa: E402

KIT = SOURCE_DIR = BUILD_DIR = WORK_DIR = None
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

    def documented_commands(self, program):
        """The command lines of the instructions that run `program`."""
        commands = ("build", "verify", "settings", "list", "extract")
        with open(os.path.join(self.folder, "MAKING-AN-INSTALLER.txt")) as f:
            return [line.strip() for line in f if line.startswith("  " + program + " ") and line.split()[1] in commands]

    def test_the_instructions_work_as_written(self):
        # The kit as it is, on Windows: the commands in Wine's command prompt.
        windows = self.documented_commands("setuppack.exe")
        self.assertEqual([line.split()[1] for line in windows], ["build", "verify"])
        with wineenv.WineSession(WORK_DIR, name="kit") as session:
            for line in windows:
                rc, said = session.run("cmd", "/c", line, cwd=self.folder, timeout=300)
                self.assertEqual(rc, 0, line + "\n" + said)
            self.assertIn("MySetup.exe: sound", said)

        # Then on Linux, made the author's own: their screensaver and
        # picture, as step 1 asks.
        for own, sample in (("MySaver.scr", "Aurora.scr"), ("picture.jpg", "cd.jpg")):
            with open(os.path.join(self.folder, sample), "rb") as f, open(os.path.join(self.folder, own), "wb") as g:
                g.write(f.read())
        linux = self.documented_commands("./setuppack")
        self.assertEqual([line.split()[1] for line in linux],
                         ["build", "verify", "settings", "build", "verify", "settings", "build", "verify",
                          "build", "verify", "build", "verify"])
        for line in linux:
            done = subprocess.run(["bash", "-c", line], cwd=self.folder, capture_output=True, text=True, timeout=120)
            self.assertEqual((done.returncode, done.stderr), (0, ""), line)
        self.assertIn("texts: UTF-8", done.stdout)
        self.assertIn("installs for: the current user only", done.stdout)
        # The last installer speaks German, French and Japanese: its
        # resources hold their tables.
        listed = subprocess.run(["wrestool", "-l", os.path.join(self.folder, "MySetup.exe")], capture_output=True,
                                text=True, check=True).stdout
        self.assertIn("--type=10 --name=1 ", listed)
        with open(os.path.join(self.folder, "Setup.ins"), "rb") as f:
            self.assertIn("\r\n\u0421\u0435\u0432\u0435\u0440\u043d\u043e\u0435 \u0441\u0438\u044f\u043d\u0438\u0435"
                          "\r\nMySaver.scr\r\n".encode(), f.read())

    def test_the_same_bytes_from_the_same_commit(self):
        self.assertEqual({info.date_time for info in self.entries}, {(2026, 1, 15, 12, 0, 0)})
        for name in PROGRAMS:
            with open(os.path.join(self.folder, name), "rb") as f:
                data = f.read()
            for folder in (SOURCE_DIR, BUILD_DIR):
                self.assertNotIn(os.path.abspath(folder).encode(), data, name)


if __name__ == "__main__":
    KIT, SOURCE_DIR, BUILD_DIR, WORK_DIR = sys.argv[1:5]
    unittest.main(argv=[sys.argv[0]] + sys.argv[5:], verbosity=2)
