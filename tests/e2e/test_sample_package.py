#!/usr/bin/env python3
"""The sample package from start to finish under Wine, with the system's own
rundll32: the sample installer clicked through its wizard to "&Finish"; the
installed screensaver run full screen and as its settings box, which shows
the Rand flag that the installer wrote into CONTROL.INI; then the installed
uninstaller copy, which removes the screensaver, the info file, the
uninstall entry and itself and says so. An installer with random play and
the read-me page shows the flag on."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
from setuprun import (SetupRun, install_through, read_file, uninstall_key, uninstall_subkeys,  # noqa: E402
                      UNINSTALL_VALUES)
from test_sample_programs import (CONFIRM_TEXT, FINISHER_PREFIX, PARTLY_REMOVED_TEXT,  # noqa: E402
                                  PENDING_KEY, RANDOM_OFF, RANDOM_ON, REMOVED_TEXT, SAVER_CLASS,
                                  SAVER_TITLE, SETTINGS_TITLE, UNINSTALL_CAPTION)
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, wait_for  # noqa: E402

SAMPLE_READ_ME = os.path.join(HERE, "..", "..", "samples", "ReadMe.txt")


class SamplePackageTest(e2ecase.SessionTestCase):

    def program(self, name):
        return payloads.sample_file(e2ecase.PATHS, name)

    def exists(self, windows_path):
        return self.session.find_host_path(windows_path) is not None

    def install(self, path, name, read_me_lines=None):
        """Runs an installer through its wizard to "&Finish" and returns the
        target folder. With `read_me_lines` it opens on the statements page
        showing them, and "&Yes" leads to the folder page."""
        run = SetupRun(self, path, name)
        if read_me_lines is not None:
            run.wizard.wait_page("1")
            self.assertEqual(run.wizard.memo_lines("1"), read_me_lines)
            self.screenshot("statements")
            run.wizard.key("alt+y")
        run.wizard.wait_page("2")
        target = run.wizard.label4()
        install_through(run)
        key = uninstall_key("Aurora")
        wait_for(lambda: len(self.session.reg_query(key) or {}) == len(UNINSTALL_VALUES), 60,
                 "the uninstall entry")
        self.assertEqual(read_file(self.session.find_host_path(target + "\\Aurora.nfo")),
                         ("Aurora.scr\r\n%s\r\n" % target).encode("latin-1"))
        self.screenshot("installed")
        run.finish()
        return target

    def check_settings_box(self, screensaver, shown):
        """The installed screensaver's settings box (/c) shows `shown`."""
        proc = self.session.start(screensaver, "/c")
        box = self.session.wait_for_window(SETTINGS_TITLE, timeout=60)
        texts = self.session.window_texts(box["hwnd"])
        self.assertIn(shown, texts)
        self.assertNotIn(RANDOM_OFF if shown == RANDOM_ON else RANDOM_ON, texts)
        self.session.wait_idle()
        self.screenshot("settings")
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

    def finishers(self):
        return [p for p in self.session.processes() if p["exe"].lower().startswith(FINISHER_PREFIX)]

    def pending_removals(self):
        """The files the system is to delete at the next restart, lower case."""
        data = self.session.reg_query(PENDING_KEY, "PendingFileRenameOperations") or ""
        return [entry[4:].lower() for entry in data.split("\\0") if entry.startswith("\\??\\")]

    def test_sample_installed_run_and_uninstalled(self):
        sample = self.require_file(e2ecase.PATHS.sample, "The sample installer")
        target = self.install(sample, "sample-setup.exe")
        screensaver = target + "\\Aurora.scr"
        uninstaller = target + "\\Aurora.exe"
        info_file = target + "\\Aurora.nfo"

        # Full screen until a key is pressed.
        proc = self.session.start(screensaver, "/s")

        def saver_window():
            self.assertIsNone(proc.poll(), "Aurora.scr /s ended early")
            return self.session.find_window(title=SAVER_TITLE, class_=SAVER_CLASS)
        window = wait_for(saver_window, 60, "the full-screen screensaver", interval=0.25)
        self.assertEqual(window["rect"], [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT])
        self.screenshot("full-screen")
        self.session.activate(window["hwnd"])
        self.session.key_input("space")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

        # The sample's RandomPlay is "False".
        self.check_settings_box(screensaver, RANDOM_OFF)

        # The uninstaller copy, answered Yes.
        proc = self.session.start(uninstaller)
        box = self.session.wait_for_window(UNINSTALL_CAPTION, timeout=60)
        box = self.session.settled_message_box(box["hwnd"])
        self.assertEqual((box["text"], box["icon"], box["buttons"]), (CONFIRM_TEXT, "question", ["&Yes", "&No"]))
        self.session.driver("click-button", box["hwnd"], "&Yes")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        finisher = wait_for(self.finishers, 60, "the uninstaller's finisher")[0]
        report = self.session.wait_for_window(UNINSTALL_CAPTION, timeout=60, pid=finisher["pid"])
        report = self.session.settled_message_box(report["hwnd"])
        self.screenshot("uninstalled")
        self.session.driver("click-button", report["hwnd"], "OK")
        wait_for(lambda: not self.finishers(), 30, "the finisher to end")

        for path in (screensaver, info_file):
            self.assertFalse(self.exists(path), "%s is still there" % path)
        self.assertIsNone(self.session.reg_query(uninstall_key("Aurora")))
        self.assertNotIn("aurora uninstall", [k.lower() for k in uninstall_subkeys(self.session)])
        if self.exists(uninstaller):
            # Left for the system to delete at the next restart, as the
            # report says.
            self.assertIn(uninstaller.lower(), self.pending_removals())
            self.assertEqual((report["text"], report["icon"]), ("\n".join(
                [PARTLY_REMOVED_TEXT, "", "Will be removed when Windows restarts:", uninstaller]), "warning"))
        else:
            self.assertEqual((report["text"], report["icon"]), (REMOVED_TEXT, "information"))

    def test_random_play_with_read_me_shows_on(self):
        with open(SAMPLE_READ_ME, "rb") as f:
            read_me = f.read().decode("latin-1")
        lines = read_me.split("\r\n")
        if lines[-1] == "":
            lines.pop()
        path = payloads.installer_with(
            e2ecase.PATHS, self.artifacts, "random-readme-setup.exe",
            payloads.settings(ShowReadMe="True", ReadMeFile="ReadMe.txt", RandomPlay="True"),
            [self.program("Aurora.scr"), self.program("Lmunist.exe"), self.program("Install.exe"),
             SAMPLE_READ_ME])
        target = self.install(path, "random-readme-setup.exe", read_me_lines=lines)
        self.check_settings_box(target + "\\Aurora.scr", RANDOM_ON)


if __name__ == "__main__":
    e2ecase.main()
