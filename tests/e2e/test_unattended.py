#!/usr/bin/env python3
"""The installer as administrators deploy it, without a person: /S installs
without any window (no backdrop, no wizard, no box at any time) and writes
each step into the log of /LOG=; a damaged installer run so installs nothing
and says why in the log and the exit code; the installed uninstaller's quiet
form (the uninstall entry's QuietUninstallString) removes everything without
a window; an installer built with the author's product writes it into the
uninstall entry, and a newer version replaces an older one in the same
entry, named in the log and on the summary page; a table of translated
texts that a damaged resource entry places outside the program is refused,
with English texts and a line in the log, never a crash; and /? shows the
list of switches."""
import os
import re
import shutil
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import layout  # noqa: E402
import payloads  # noqa: E402
from installer import (CORRUPTED_TEXT, EXIT_CANCELLED, EXIT_COPY_FAILED, EXIT_DAMAGED, EXIT_DOWNGRADE,  # noqa: E402
                       EXIT_INSTALLED, EXIT_OTHER, Installer, extraction_folders)
from setuprun import (IDENTITY_VALUES, PUBLISHER, UNINSTALL_VALUES, USER_RAND_KEY, SetupRun, changed_lines, exported_hklm,  # noqa: E402
                      read_file, read_only_windows_folder, run_to_caution, uninstall_key, uninstall_subkeys,
                      user_programs_folder)
from test_sample_programs import RANDOM_ON, SETTINGS_TITLE  # noqa: E402
from wineenv import wait_for  # noqa: E402

LOG = "C:\\logs\\aurora setup.log"
SWITCHES_TEXT_START = "Lumora Install Program switches:"


def icon_file_images(path):
    """The images of an icon file, sorted."""
    data = read_file(path)
    return sorted(data[at:at + size] for size, at in (struct.unpack_from("<II", data, 6 + 16 * i + 8)
                                                      for i in range(struct.unpack_from("<H", data, 4)[0])))


def icon_images(path):
    """The images (RT_ICON) of a program's icons, sorted, read by wrestool."""
    listed = subprocess.run(["wrestool", "-l", "-t", "3", path], capture_output=True, text=True, check=True).stdout
    return sorted(subprocess.run(["wrestool", "-x", "--raw", "-t", "3", "-n", name, path], capture_output=True,
                                 check=True).stdout for name in re.findall(r"--name=(\d+)", listed))


class UnattendedTest(e2ecase.SessionTestCase):

    def run_without_windows(self, path, name, *args):
        """Runs the installer `path` (or the prefix's program `name`) to its
        end, looking at the screen all the while; fails as soon as a window
        shows that was not there before. Returns the exit code."""
        before = {w["hwnd"] for w in self.session.windows() if w["visible"]}
        proc = (Installer(self.session, path, name).start(*args).proc if path
                else self.session.start(name, *args))
        deadline = time.monotonic() + 120
        while proc.poll() is None:
            shown = [w["text"] for w in self.session.windows() if w["visible"] and w["hwnd"] not in before]
            self.assertEqual(shown, [], "windows shown")
            self.assertLess(time.monotonic(), deadline, "%s did not end" % name)
        return proc.returncode

    def log_lines(self):
        path = self.session.find_host_path(LOG)
        self.assertIsNotNone(path, "no log was written")
        with open(path, "rb") as f:
            text = f.read().decode("utf-8")
        self.assertTrue(text.endswith("\r\n"), text)
        # "YYYY-MM-DD hh:mm:ss step: result"
        return [line[20:] for line in text[:-2].split("\r\n")]

    def test_a_silent_install_then_a_quiet_uninstall(self):
        # The log's folder is made for it.
        code = self.run_without_windows(e2ecase.PATHS.sample, "sample-setup.exe", "/S", "/LOG=" + LOG)
        self.assertEqual(code, EXIT_INSTALLED)
        windows = self.session.host_path("C:\\windows")
        installed = {name: os.path.join(windows, name) for name in ("Aurora.scr", "Aurora.exe", "Aurora.nfo")}
        self.assertEqual(read_file(installed["Aurora.scr"]), read_file(payloads.sample_file(e2ecase.PATHS,
                                                                                             "Aurora.scr")))
        self.assertEqual(read_file(installed["Aurora.exe"]), read_file(payloads.sample_file(e2ecase.PATHS,
                                                                                             "Lmunist.exe")))
        self.assertEqual(read_file(installed["Aurora.nfo"]), b"Aurora.scr\r\nC:\\windows\r\n")
        values = self.session.reg_query(uninstall_key("Aurora"))
        # The entry of an installer built without the product's options:
        # the toolmaker's values, no version.
        self.assertEqual(sorted(values), UNINSTALL_VALUES)
        self.assertEqual((values["DisplayName"], values["Publisher"]), ("Aurora Uninstall", PUBLISHER))
        self.assertEqual(values["UninstallString"], "C:\\windows\\Aurora.exe")
        self.assertEqual(values["QuietUninstallString"], "\"C:\\windows\\Aurora.exe\" /S")
        self.assertEqual(values["DisplayIcon"], "C:\\windows\\Aurora.scr")
        kib = -(-sum(os.path.getsize(path) for path in installed.values()) // 1024)
        self.assertEqual(int(values["EstimatedSize"], 16), kib)
        self.assertIn("Rand=0", read_file(self.session.find_host_path("C:\\windows\\control.ini")).decode("latin-1"))
        self.assertEqual(extraction_folders(self.session), [])
        lines = self.log_lines()
        self.assertEqual([line.split(":")[0] for line in lines],
                         ["setup", "restore", "settings", "CONTROL.INI", "copy", "info file", "uninstall entry",
                          "Install.exe", "screensaver registration", "exit code"])
        self.assertIn("copy: C:\\windows\\Aurora.scr and C:\\windows\\Aurora.exe in place", lines)
        self.assertTrue(lines[7].startswith("Install.exe: left out"), lines[7])
        self.assertEqual(lines[-1], "exit code: 0")

        # The quiet uninstall that the entry names, with a log of its own.
        code = self.run_without_windows(None, "C:\\windows\\Aurora.exe", "/S", "/LOG=C:\\logs\\uninstall.log")
        self.assertEqual(code, 0)
        self.assertEqual(read_file(self.session.find_host_path("C:\\logs\\uninstall.log")),
                         b"uninstall Aurora from C:\\windows\r\nexit code: 0\r\n")
        for path in installed.values():
            self.assertFalse(os.path.exists(path), path)
        self.assertIsNone(self.session.reg_query(uninstall_key("Aurora")))

    def test_an_upgrade_over_a_running_screensaver(self):
        self.assertEqual(self.run_without_windows(e2ecase.PATHS.sample, "sample-setup.exe", "/S"), EXIT_INSTALLED)
        saver = self.session.start("C:\\windows\\Aurora.scr", "/s")
        wait_for(lambda: self.session.find_window(title="Aurora", pid=self.session.windows_pid("Aurora.scr")), 60,
                 "the screensaver to run", interval=0.25)
        # The running screensaver is moved aside; its file goes at the next
        # restart, and the log says so.
        self.assertEqual(self.run_without_windows(e2ecase.PATHS.sample, "sample-setup.exe", "/S", "/LOG=" + LOG),
                         EXIT_INSTALLED)
        self.assertIsNone(saver.poll(), "the screensaver ended")
        later = [line for line in self.log_lines() if "goes at the next restart" in line]
        self.assertEqual(len(later), 1, self.log_lines())
        self.assertRegex(later[0], r"^copy: the old C:\\windows\\Aurora\.scr is still in use: "
                                   r"C:\\windows\\Aurora\.scr\.[0-9a-f.]+\.old goes at the next restart$")
        self.assertEqual(read_file(self.session.host_path("C:\\windows\\Aurora.scr")),
                         read_file(payloads.sample_file(e2ecase.PATHS, "Aurora.scr")))
        saver.kill()

    def test_a_silent_install_of_a_damaged_installer_installs_nothing(self):
        with open(e2ecase.PATHS.sample, "rb") as f:
            data = bytearray(f.read())
        entries = layout.parse_installer(bytes(data))[4]
        at = next(at for entry in entries for length, at in entry.blocks if length < 0)
        data[at + 10] ^= 0x40
        damaged = os.path.join(self.artifacts, "damaged.exe")
        with open(damaged, "wb") as f:
            f.write(data)
        # A check record with its magic flipped is damage, never an installer
        # without one.
        record = bytearray(data)
        record[layout.int32(data, len(data) - 4) - 20] ^= 0x20
        # A Setup.ins the installer cannot read in full.
        unreadable = payloads.installer_with(e2ecase.PATHS, self.artifacts, "no-number.exe",
                                             payloads.settings(GradientRed="abc"),
                                             [payloads.sample_file(e2ecase.PATHS, name)
                                              for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")])
        # The same in German, on a German system: the log stays English.
        unreadable_de = payloads.installer_with(e2ecase.PATHS, self.artifacts, "no-number-de.exe",
                                                payloads.settings(GradientRed="abc"),
                                                [payloads.sample_file(e2ecase.PATHS, name)
                                                 for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")],
                                                ("--language", "de"))
        record_path = os.path.join(self.artifacts, "record.exe")
        with open(record_path, "wb") as f:
            f.write(record)
        cases = [(damaged, ("/S", "/LOG=" + LOG), EXIT_DAMAGED, "restore: failed: " + CORRUPTED_TEXT),
                 (damaged, ("/S", "/LOG=" + LOG, "/DIR=C:\\Savers"), EXIT_OTHER,
                  "/DIR=C:\\Savers: failed: no switch"),
                 (record_path, ("/S", "/LOG=" + LOG), EXIT_DAMAGED, "restore: failed: the check record before the "
                  "payload is damaged"),
                 (unreadable, ("/S", "/LOG=" + LOG), EXIT_DAMAGED, "settings: failed: A critical file is missing "
                  "please contact Support quoting : \"SelfExtractErr 1\" (Setup.ins holds no number"),
                 (unreadable_de, ("/S", "/LOG=" + LOG), EXIT_DAMAGED, "settings: failed: A critical file is missing "
                  "please contact Support quoting : \"SelfExtractErr 1\" (Setup.ins holds no number")]
        for path, args, expected, line in cases:
            if path == unreadable_de:
                self.session.use_locale("de_DE.UTF-8")
            with self.subTest(installer=os.path.basename(path), args=args):
                self.assertEqual(self.run_without_windows(path, os.path.basename(path), *args), expected)
                self.assertIn(line, self.log_lines()[-2])
                self.assertEqual(self.log_lines()[-1], "exit code: %d" % expected)
                self.assertIsNone(self.session.find_host_path("C:\\windows\\Aurora.scr"))
                self.assertIsNone(self.session.reg_query(uninstall_key("Aurora")))
                self.assertEqual(extraction_folders(self.session), [])

    def test_a_damaged_table_of_texts_falls_back_to_english(self):
        german = payloads.installer_with(e2ecase.PATHS, self.artifacts, "de-setup.exe", payloads.SAMPLE_SETTINGS,
                                         [payloads.sample_file(e2ecase.PATHS, name)
                                          for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")],
                                         ("--language", "de"))
        with open(german, "rb") as f:
            data = f.read()
        # The check value of the payload does not cover the program's
        # resources: the damage is seen only as the installer starts.
        entry = layout.resource_data_entry(data, layout.RT_RCDATA, 1)
        address, size = struct.unpack_from("<II", data, entry)
        # On a system of another language, where the search goes through
        # every table to the size given.
        for what, fields in (("address", (0xF0000000, size)), ("size", (address, 0x7FFFFFF0))):
            with self.subTest(what):
                damaged = bytearray(data)
                struct.pack_into("<II", damaged, entry, *fields)
                name = "damaged-%s.exe" % what
                path = os.path.join(self.artifacts, name)
                with open(path, "wb") as f:
                    f.write(damaged)
                self.assertEqual(self.run_without_windows(path, name, "/S", "/LOG=" + LOG), EXIT_INSTALLED)
                lines = self.log_lines()
                self.assertEqual(lines[0], "language: the table of texts lies outside the program's image and is "
                                           "refused: English texts")
                self.assertEqual(lines[-1], "exit code: %d" % EXIT_INSTALLED)
                os.remove(self.session.find_host_path(LOG))
        # On a German system: English texts.
        self.session.use_locale("de_DE.UTF-8")
        installer = Installer(self.session, path, name).start("/?")
        boxes = wait_for(lambda: self.session.message_boxes(pid=installer.pid), 60, "the box of /?", interval=0.25)
        box = self.session.settled_message_box(boxes[0]["hwnd"])
        self.assertTrue(box["text"].startswith(SWITCHES_TEXT_START), box["text"])
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)

    def test_the_authors_product_and_an_upgrade(self):
        icon = payloads.author_icon(self.artifacts)
        files = [os.path.join(e2ecase.PATHS.payload, name) for name in sorted(os.listdir(e2ecase.PATHS.payload))]
        url = "https://lumora.example/aurora"

        def installer(version):
            name = "aurora-%s.exe" % version
            return payloads.pack(files, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub,
                                 ("--product", "Aurora Dreams", "--publisher", "Lumora Ltd", "--version", version,
                                  "--url", url, "--icon", icon)), name

        os.makedirs(self.session.host_path("C:\\logs"))
        self.assertEqual(self.run_without_windows(*installer("1.0.0"), "/S", "/LOG=" + LOG), EXIT_INSTALLED)
        values = self.session.reg_query(uninstall_key("Aurora"))
        self.assertEqual(sorted(values), sorted(UNINSTALL_VALUES + IDENTITY_VALUES + ["DisplayVersion"]))
        self.assertEqual({name: values[name] for name in ("DisplayName", "Publisher", "DisplayVersion", "HelpLink",
                                                           "UrlinfoAbout", "UninstallString", "DisplayIcon",
                                                           "InstallLocation", "LumoraProductId", "LumoraScreenSaver",
                                                           "NoModify", "NoRepair")},
                         {"DisplayName": "Aurora Dreams", "Publisher": "Lumora Ltd", "DisplayVersion": "1.0.0",
                          "HelpLink": url, "UrlinfoAbout": url, "UninstallString": "C:\\windows\\Aurora.exe",
                          "DisplayIcon": "C:\\windows\\Aurora.exe", "InstallLocation": "C:\\windows",
                          "LumoraProductId": "lumora-ltd.aurora-dreams", "LumoraScreenSaver": "Aurora.scr",
                          "NoModify": "0x1", "NoRepair": "0x1"})
        self.assertEqual(values["InstallDate"], time.strftime("%Y%m%d"))
        self.assertNotIn("replaces", "".join(self.log_lines()))
        # The icon of the list of programs is the author's, which build wrote
        # into the uninstaller.
        self.assertEqual(icon_images(self.session.find_host_path(values["DisplayIcon"])), icon_file_images(icon))

        # The newer version's summary names both versions; leaving it
        # changes nothing.
        path, name = installer("1.2.3")
        run = SetupRun(self, path, name)
        run.wizard.wait_page("2")
        run.wizard.key("alt+n")
        run.wizard.wait_page("4")
        self.assertEqual(run.wizard.memo_lines("4"), ["Setup Type:", "  Complete", " ", "Target Folder:",
                                                     "  C:\\WINDOWS", " ", "Replaces version 1.0.0 with 1.2.3"])
        self.session.wait_idle()
        self.screenshot("summary-of-an-upgrade")
        run.wizard.key("alt+c")
        self.session.driver("click-button", run.wizard.wait_box()["hwnd"], "&Yes")
        self.assertEqual(run.installer.wait_exit(timeout=60), EXIT_CANCELLED)
        self.assertEqual(self.session.reg_query(uninstall_key("Aurora"), "DisplayVersion"), "1.0.0")

        # Installed without windows, it replaces the entry's version and says so.
        os.remove(self.session.find_host_path(LOG))
        self.assertEqual(self.run_without_windows(path, name, "/S", "/LOG=" + LOG), EXIT_INSTALLED)
        self.assertIn("uninstall entry: replaces version 1.0.0 with 1.2.3", self.log_lines())
        self.assertEqual(self.session.reg_query(uninstall_key("Aurora"), "DisplayVersion"), "1.2.3")
        self.assertEqual([key for key in uninstall_subkeys(self.session) if key.lower().startswith("aurora")],
                         ["Aurora Uninstall"])

        # The older version asks first, naming both; "No" changes nothing.
        path, name = installer("1.0.0")
        run = SetupRun(self, path, name)
        box = run_to_caution(run)
        self.screenshot("downgrade-question")
        self.assertEqual((box["caption"], box["text"]),
                         ("Confirm", "Version 1.2.3 of this product is installed. Replace it with the older version "
                                     "1.0.0?"))
        run.answer(box, "&No")
        self.assertEqual(run.installer.wait_exit(timeout=60), EXIT_CANCELLED)
        self.assertEqual(self.session.reg_query(uninstall_key("Aurora"), "DisplayVersion"), "1.2.3")
        # Without windows it is refused with a code of its own, unless
        # allowed; the same version again installs anew.
        os.remove(self.session.find_host_path(LOG))
        for switches, code, version in (((), EXIT_DOWNGRADE, "1.2.3"), (("/ALLOWDOWNGRADE",), EXIT_INSTALLED, "1.0.0"),
                                        ((), EXIT_INSTALLED, "1.0.0")):
            self.assertEqual(self.run_without_windows(path, name, "/S", "/LOG=" + LOG, *switches), code)
            self.assertEqual(self.session.reg_query(uninstall_key("Aurora"), "DisplayVersion"), version)
        self.assertEqual([line for line in self.log_lines() if line.startswith(("downgrade", "exit code"))],
                         ["downgrade: 1.2.3 to 1.0.0: refused", "exit code: 6",
                          "downgrade: 1.2.3 to 1.0.0: allowed", "exit code: 0", "exit code: 0"])

    def test_an_installer_for_the_current_user_and_its_upgrade_need_no_windows_folder(self):
        # Built with --per-user, random play on: with the Windows folder
        # read-only, where the sample, which installs for every user, puts
        # nothing, and HKEY_LOCAL_MACHINE as it was (Wine cannot make it
        # unwritable: it keeps no access lists on keys), the installer and
        # its upgrade install into the user's programs folder and registry.
        staging = os.path.join(self.artifacts, "per-user")
        os.makedirs(staging)
        files = [payloads.write_settings(staging, payloads.settings(RandomPlay="True"))] + [
            payloads.sample_file(e2ecase.PATHS, name) for name in ("cd.jpg", "Aurora.scr", "Lmunist.exe",
                                                                    "Install.exe")]

        def installer(version):
            name = "aurora-user-%s.exe" % version
            return payloads.pack(files, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub,
                                 ("--per-user", "--product", "Aurora Dreams", "--version", version)), name

        os.makedirs(self.session.host_path("C:\\logs"))
        hklm = exported_hklm(self.session)
        read_only_windows_folder(self)
        self.assertEqual(self.run_without_windows(e2ecase.PATHS.sample, "sample-setup.exe", "/S"), EXIT_COPY_FAILED)

        folder = user_programs_folder(self.session) + "\\Aurora Dreams"
        installed = {name: self.session.host_path(folder + "\\" + name)
                     for name in ("Aurora.scr", "Aurora.exe", "Aurora.nfo")}
        self.assertEqual(self.run_without_windows(*installer("1.0.0"), "/S", "/LOG=" + LOG), EXIT_INSTALLED)
        self.assertEqual([line.split(":")[0] for line in self.log_lines()],
                         ["setup", "restore", "settings", USER_RAND_KEY.replace("HKCU", "HKEY_CURRENT_USER"), "copy",
                          "info file", "uninstall entry", "Install.exe", "screensaver registration", "exit code"])
        self.assertEqual(self.session.reg_query(USER_RAND_KEY, "Rand"), "1")
        path, name = installer("1.2.3")
        os.remove(self.session.find_host_path(LOG))
        self.assertEqual(self.run_without_windows(path, name, "/S", "/LOG=" + LOG), EXIT_INSTALLED)
        self.assertIn("uninstall entry: replaces version 1.0.0 with 1.2.3", self.log_lines())

        # One whole version, its entry the only one, nothing of the group's
        # lock, journal or copies left.
        self.assertEqual(sorted(os.listdir(self.session.host_path(folder))), sorted(installed))
        # The uninstaller as build wrote the product's version information into it.
        data = read_file(path)
        carried = {entry.name[3:]: entry.data(data) for entry in layout.parse_installer(data)[4]}
        for name, source in (("Aurora.scr", "aurora.scr"), ("Aurora.exe", "lmunist.exe")):
            self.assertEqual(read_file(installed[name]), carried[source])
        self.assertEqual(read_file(installed["Aurora.nfo"]), ("Aurora.scr\r\n%s\r\n" % folder).encode())
        values = self.session.reg_query(uninstall_key("Aurora", "HKCU"))
        self.assertEqual(sorted(values), sorted(UNINSTALL_VALUES + IDENTITY_VALUES + ["DisplayVersion"]))
        self.assertEqual({key: values[key] for key in ("DisplayName", "DisplayVersion", "UninstallString",
                                                       "QuietUninstallString", "DisplayIcon")},
                         {"DisplayName": "Aurora Dreams", "DisplayVersion": "1.2.3",
                          "UninstallString": "\"%s\\Aurora.exe\"" % folder,
                          "QuietUninstallString": "\"%s\\Aurora.exe\" /S" % folder,
                          "DisplayIcon": folder + "\\Aurora.scr"})
        self.assertEqual([key for key in uninstall_subkeys(self.session, "HKCU") if key.lower().startswith("aurora")],
                         ["Aurora Uninstall"])
        self.assertIsNone(self.session.reg_query("HKCU\\Software\\Lumora Install Program"))

        # The installed screensaver reads the flag from where the installer
        # wrote it; CONTROL.INI, which it reads after, says nothing.
        self.assertIsNone(self.session.find_host_path("C:\\windows\\control.ini"))
        proc = self.session.start(folder + "\\Aurora.scr", "/c")
        box = self.session.wait_for_window(SETTINGS_TITLE, timeout=60)
        self.assertIn(RANDOM_ON, self.session.window_texts(box["hwnd"]))
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

        # A version whose screensaver is renamed replaces this one whole, in
        # the user's folder and registry.
        renamed = os.path.join(self.artifacts, "per-user-renamed")
        os.makedirs(renamed)
        shutil.copyfile(payloads.sample_file(e2ecase.PATHS, "Aurora.scr"), os.path.join(renamed, "AuroraHD.scr"))
        files = [payloads.write_settings(renamed, payloads.settings(ScreenSaverFile="AuroraHD.scr")),
                 os.path.join(renamed, "AuroraHD.scr")] + [files[1]] + files[3:]
        path, name = installer("1.3.0")
        self.assertEqual(self.run_without_windows(path, name, "/S"), EXIT_INSTALLED)
        self.assertEqual(sorted(os.listdir(self.session.host_path(folder))),
                         ["AuroraHD.exe", "AuroraHD.nfo", "AuroraHD.scr"])
        self.assertEqual([key for key in uninstall_subkeys(self.session, "HKCU") if key.lower().startswith("aurora")],
                         ["AuroraHD Uninstall"])

        # The quiet uninstall that the entry names takes it all, the folder too.
        self.assertEqual(self.run_without_windows(None, folder + "\\AuroraHD.exe", "/S"), 0)
        self.assertIsNone(self.session.find_host_path(folder))
        self.assertIsNone(self.session.reg_query(uninstall_key("AuroraHD", "HKCU")))
        self.assertEqual(changed_lines(hklm, exported_hklm(self.session)), [])

    def test_the_list_of_switches(self):
        installer = Installer(self.session, e2ecase.PATHS.sample, "sample-setup.exe").start("/?")
        boxes = wait_for(lambda: self.session.message_boxes(pid=installer.pid), 60, "the box of /?",
                         interval=0.25)
        box = self.session.settled_message_box(boxes[0]["hwnd"])
        self.screenshot("switches")
        self.assertEqual(box["caption"], "Information")
        self.assertTrue(box["text"].startswith(SWITCHES_TEXT_START), box["text"])
        self.assertIn("/LOG=FILE", box["text"])
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)

        # Translated, on a system of that language.
        german = payloads.installer_with(e2ecase.PATHS, self.artifacts, "de-setup.exe", payloads.SAMPLE_SETTINGS,
                                         [payloads.sample_file(e2ecase.PATHS, name)
                                          for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")],
                                         ("--language", "de"))
        self.session.use_locale("de_DE.UTF-8")
        installer = Installer(self.session, german, "de-setup.exe").start("/?")
        boxes = wait_for(lambda: self.session.message_boxes(pid=installer.pid), 60, "the box of /?",
                         interval=0.25)
        box = self.session.settled_message_box(boxes[0]["hwnd"])
        self.screenshot("switches-de")
        self.assertEqual(box["caption"], "Information")
        self.assertTrue(box["text"].startswith("Schalter von Lumora Install Program:\n"), box["text"])
        self.assertIn("/LOG=DATEI\tjeden Schritt", box["text"].replace("\n", ""))
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)


if __name__ == "__main__":
    e2ecase.main()
