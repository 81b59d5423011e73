#!/usr/bin/env python3
"""What start-up does with the payload under Wine: every file restored into
a folder of the run's own in the temporary folder, with its size and time
stamp, and removed when the installer ends; the settings read (the Rand flag
written into CONTROL.INI) and a missing Setup.ins reported while start-up
carries on."""
import configparser
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import layout  # noqa: E402
import payloads  # noqa: E402
from installer import (ERROR_CAPTION, EXIT_CANCELLED, SETTINGS_MISSING_TEXT, Installer,  # noqa: E402
                       extraction_folders)
from driversession import walk  # noqa: E402
from wineenv import wait_for  # noqa: E402


class StartupPayloadTest(e2ecase.SessionTestCase):

    def make_installer(self, name, settings_lines=None, extra=()):
        return payloads.installer_with(e2ecase.PATHS, self.artifacts, name, settings_lines, extra)

    def run_to_main_window(self, path, expected_boxes=()):
        """Starts the installer and waits for its main window, answering the
        expected message boxes (caption, text) in order; returns it."""
        installer = Installer(self.session, path, os.path.basename(path)).start()
        expected = list(expected_boxes)
        installer.wait_main_window(accept_box=lambda box: (box["caption"], box["text"]) in expected)
        self.assertEqual([(b["caption"], b["text"]) for b in installer.boxes], expected)
        installer.check_running()
        return installer


    def control_ini(self):
        path = self.session.find_host_path("C:\\windows\\control.ini")
        if not path:
            return None
        ini = configparser.ConfigParser()
        ini.optionxform = str
        with open(path, encoding="latin-1") as f:
            ini.read_string(f.read())
        return ini

    def test_sample_restores_every_file_with_its_size_and_stamp(self):
        sample = self.require_file(e2ecase.PATHS.sample, "The sample installer")
        with open(sample, "rb") as f:
            _, _, total, _, entries, _ = layout.parse_installer(f.read())
        for path in (sample, payloads.solid_sample(e2ecase.PATHS, self.artifacts)):
            with self.subTest(os.path.basename(path)):
                self.check_restored(path, total, len(entries))

    def check_restored(self, sample, total, count):
        installer = self.run_to_main_window(sample)
        folders = extraction_folders(self.session)
        self.assertEqual(len(folders), 1, folders)
        restored_names = {name.lower(): name for name in os.listdir(folders[0])}

        restored = 0
        for name in sorted(os.listdir(e2ecase.PATHS.payload)):
            source = os.path.join(e2ecase.PATHS.payload, name)
            self.assertIn(name.lower(), restored_names, "%s was not restored" % name)
            target = os.path.join(folders[0], restored_names[name.lower()])
            with open(source, "rb") as a, open(target, "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
            # Stamps keep local time in two-second steps.
            self.assertEqual(layout.dos_stamp(os.stat(target).st_mtime),
                             layout.dos_stamp(os.stat(source).st_mtime), name)
            restored += os.stat(target).st_size
        self.assertEqual(count, len(os.listdir(e2ecase.PATHS.payload)))
        self.assertEqual(restored, total)

        # The payload goes with the installer.
        self.session.post(installer.wait_main_window()["hwnd"], "WM_CLOSE")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)
        self.assertEqual(extraction_folders(self.session), [])

    def test_random_play_writes_rand_1(self):
        path = self.make_installer("random.exe", payloads.settings(RandomPlay="True"))
        # As another tool would write it, without a check record: restored
        # unchecked, as before there were records.
        with open(path, "rb") as f:
            data = layout.without_check_record(f.read())
        with open(path, "wb") as f:
            f.write(data)
        self.run_to_main_window(path)
        ini = wait_for(self.control_ini, 30, "CONTROL.INI")
        self.assertEqual(ini["Lumora Screen Saver"]["Rand"], "1")

    def test_unwritable_control_ini_does_not_keep_the_wizard_away(self):
        ini = self.session.host_path("C:\\windows\\control.ini")
        with open(ini, "wb") as f:
            f.write(b"[Lumora Screen Saver]\r\nRand=7\r\n")
        # Read-only, and immutable too, since Wine run as root writes
        # read-only files all the same.
        os.chmod(ini, 0o444)
        subprocess.run(["chattr", "+i", ini], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", ini], check=True)
        path = self.make_installer("read-only-ini.exe", payloads.settings(RandomPlay="True"))
        main = self.run_to_main_window(path).wait_main_window()
        wait_for(lambda: [w for w in walk(self.session.window(main["hwnd"])) if w["class"] == "TSetupWiz"],
                 60, "the wizard")
        self.assertEqual(self.control_ini()["Lumora Screen Saver"]["Rand"], "7")

    def test_missing_settings_file_is_reported_and_rand_0_written(self):
        path = self.make_installer("no-settings.exe")
        self.run_to_main_window(path, [(ERROR_CAPTION, SETTINGS_MISSING_TEXT)])
        ini = wait_for(self.control_ini, 30, "CONTROL.INI")
        self.assertEqual(ini["Lumora Screen Saver"]["Rand"], "0")
        self.screenshot("main-window-after-message")

    def test_invalid_number_is_reported(self):
        path = self.make_installer("bad-number.exe", payloads.settings(GradientGreen="abc",
                                                                      RandomPlay="True"))
        self.run_to_main_window(path, [(ERROR_CAPTION, SETTINGS_MISSING_TEXT)])
        # The flag on line 7 was read before the failure on line 13.
        ini = wait_for(self.control_ini, 30, "CONTROL.INI")
        self.assertEqual(ini["Lumora Screen Saver"]["Rand"], "1")


if __name__ == "__main__":
    e2ecase.main()
