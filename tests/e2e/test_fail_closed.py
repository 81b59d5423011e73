#!/usr/bin/env python3
"""An installer runs with administrator rights: it installs its own payload,
whole, or nothing at all, whatever the disk, the download or another process
does. Each test reads back what the Windows folder, the uninstall list,
CONTROL.INI, the temporary folder and the exit code hold afterwards:

- a damaged download (a flipped byte in a raw and in a compressed block, a
  file cut short with another product's files left in the temporary folder)
  shows its message and installs nothing;
- a full temporary folder ends the restore and installs nothing;
- files planted in the temporary folder, one of them held open, are never
  used: the run restores into a folder of its own and starts Install.exe
  from there;
- two installers of different products started together each restore
  into a folder of their own, and the one that goes on installs its own
  files;
- an upgrade whose copies cannot be put in place (the installed uninstaller
  held open, a full Windows folder) keeps the installed version;
- a temporary folder whose path is too long for the system falls back to the
  current folder, where nothing stays behind."""
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
import setuprun  # noqa: E402
from installer import (CORRUPTED_TEXT, ERROR_CAPTION, EXIT_CANCELLED, EXIT_COPY_FAILED, EXIT_DAMAGED,  # noqa: E402
                       EXIT_RESTORE_FAILED, FOLDER, MAIN_TITLE, Installer, extraction_folders)
from setuprun import APP_TITLE, SetupRun, install_through, read_file, uninstall_key  # noqa: E402
from wineenv import wait_for  # noqa: E402

RESTORE_ERROR = "please contact technical quoting this ref number :"
PAYLOAD = ["cd.jpg", "Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe"]


class FailClosedTest(e2ecase.SessionTestCase):

    # ----- helpers ----------------------------------------------------------
    def payload_file(self, name):
        return payloads.sample_file(e2ecase.PATHS, name)

    def windows_file(self, name):
        return self.session.find_host_path("C:\\windows\\" + name)

    def mount(self, fstype, options, target):
        """Mounts a file system over the host folder `target` for this test."""
        os.makedirs(target, exist_ok=True)
        mounted = subprocess.run(["mount", "-t", fstype, "-o", options, fstype, target],
                                 capture_output=True, text=True)
        self.assertEqual(mounted.returncode, 0, "mount %s on %s: %s" % (fstype, target, mounted.stderr))
        self.addCleanup(subprocess.run, ["umount", "-l", target], check=True)

    def small_file_system(self, target, size):
        """A tmpfs of `size` over the host folder `target`."""
        self.mount("tmpfs", "size=%s" % size, target)

    def installer_of(self, name, settings, replaced):
        """An installer of the sample payload with the settings lines
        `settings` and the files `replaced` {name in the payload: bytes} in
        place of the sample's or besides them."""
        staging = os.path.join(self.artifacts, name + ".payload")
        os.makedirs(staging, exist_ok=True)
        files = {n: read_file(self.payload_file(n)) for n in PAYLOAD if n != "Setup.ins"}
        files.update(replaced)
        paths = [payloads.write_settings(staging, settings)]
        for payload_name, data in files.items():
            paths.append(os.path.join(staging, payload_name))
            with open(paths[-1], "wb") as f:
                f.write(data)
        return payloads.pack(paths, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub)

    def expect_boxes_then_exit(self, installer, texts, code):
        """The installer shows the error boxes `texts` one after the other
        and never its main window; OK on the last ends it with `code`."""
        session = self.session
        installer.start()
        pid = installer.pid

        def no_main_window():
            if session.find_window(title=MAIN_TITLE, pid=pid) is not None:
                raise AssertionError("the main window was shown")

        for n, text in enumerate(texts):
            def box():
                installer.check_running()
                no_main_window()
                return session.message_boxes(pid=pid)
            [shown] = wait_for(box, 90, "the message %r" % text, interval=0.25)
            shown = session.settled_message_box(shown["hwnd"])
            self.screenshot("message-%d" % n)
            self.assertEqual((shown["caption"], shown["text"]), (ERROR_CAPTION, text))
            session.driver("click-button", shown["hwnd"], "OK")
            session.wait_window_gone(shown["hwnd"], timeout=30)
        self.assertEqual(installer.wait_exit(timeout=60, watch=no_main_window), code)

    def control_ini_section(self):
        path = self.windows_file("control.ini")
        if path is None:
            return None
        ini = configparser.ConfigParser()
        with open(path, encoding="latin-1") as f:
            ini.read_string(f.read())
        return dict(ini["Lumora Screen Saver"]) if ini.has_section("Lumora Screen Saver") else None

    def check_nothing_installed(self, base="Aurora", stays=None, wizard_shown=False):
        """No screensaver, uninstaller or info file of `base` in the Windows
        folder (or exactly the files `stays` {name: bytes}), no uninstall
        entry, no extraction folder left behind, and no Rand flag unless the
        installer got as far as its wizard (start-up writes the flag)."""
        stays = stays or {}
        for name in (base + ".scr", base + ".exe", base + ".nfo"):
            path = self.windows_file(name)
            if name in stays:
                self.assertEqual(read_file(path), stays[name], name)
            else:
                self.assertIsNone(path, "%s was installed" % name)
        windows = os.listdir(self.session.host_path("C:\\windows"))
        self.assertEqual([n for n in windows if n.lower().startswith(base.lower() + ".") and n not in stays], [])
        self.assertIsNone(self.session.reg_query(uninstall_key(base)))
        if not wizard_shown:
            self.assertIsNone(self.control_ini_section(), "CONTROL.INI was written")
        self.assertEqual(extraction_folders(self.session), [])

    def check_installed(self, base, screensaver, uninstaller):
        self.assertEqual(read_file(self.windows_file(base + ".scr")), screensaver)
        self.assertEqual(read_file(self.windows_file(base + ".exe")), uninstaller)
        values = self.session.reg_query(uninstall_key(base))
        self.assertIsNotNone(values, "no uninstall entry for %s" % base)
        self.assertEqual(values["UninstallString"].lower(), "c:\\windows\\%s.exe" % base.lower())

    # ----- tests ------------------------------------------------------------
    def test_a_damaged_download_installs_nothing(self):
        with open(e2ecase.PATHS.sample, "rb") as f:
            sample = f.read()
        entries = layout.parse_installer(sample)[4]
        blocks = [block for entry in entries for block in entry.blocks]
        raw_at = next(at for length, at in blocks if length < 0)
        zlib_length, zlib_at = next(block for block in blocks if block[0] > 0)

        def flipped(at):
            data = bytearray(sample)
            data[at:at + 4] = bytes(b ^ 0x5A for b in data[at:at + 4])
            return bytes(data)

        # A solid stream cut short, unchecked, cuts its entry short; a damaged
        # chunk after the first files is a compression error, as a damaged
        # zlib block is.
        with open(payloads.solid_sample(e2ecase.PATHS, self.artifacts), "rb") as f:
            checked_solid = f.read()
        solid = layout.without_check_record(checked_solid)
        solid_middle = (layout.int32(solid, len(solid) - 4) + len(solid)) // 2
        bad_chunk = bytearray(checked_solid)
        bad_chunk[layout.lzma2_chunks(checked_solid, layout.int32(checked_solid, len(checked_solid) - 4) + 20)[1]] = 5
        cases = [
            ("raw-block.exe", flipped(raw_at + 100), [CORRUPTED_TEXT]),
            ("solid-cut-short.exe", solid[:solid_middle] + solid[-4:], [RESTORE_ERROR + "Cannot read file"]),
            ("solid-bad-chunk.exe", bytes(bad_chunk), [RESTORE_ERROR + "Compression error"]),
            ("compressed-block.exe", flipped(zlib_at + zlib_length // 2), [RESTORE_ERROR + "Compression error"]),
            ("cut-short.exe", sample[:len(sample) * 2 // 3], [CORRUPTED_TEXT]),
        ]
        # Another product's files, left in the temporary folder by an
        # earlier run of an installer that kept its files there.
        stale = {"Setup.ins": b"False\r\nOther Product\r\nAurora.scr\r\n", "Aurora.scr": b"other screensaver",
                 "Lmunist.exe": b"other uninstaller"}
        for name, data in stale.items():
            with open(self.session.host_path(self.session.temp_folder() + "\\" + name), "wb") as f:
                f.write(data)
        for name, data, texts in cases:
            with self.subTest(name):
                path = os.path.join(self.artifacts, name)
                with open(path, "wb") as f:
                    f.write(data)
                self.expect_boxes_then_exit(Installer(self.session, path, name), texts, EXIT_DAMAGED)
                self.check_nothing_installed()
        for name, data in stale.items():
            self.assertEqual(read_file(self.session.host_path(self.session.temp_folder() + "\\" + name)), data)

    def test_a_full_temporary_folder_installs_nothing(self):
        temp = self.session.host_path(self.session.temp_folder())
        self.small_file_system(temp, "512k")
        installer = Installer(self.session, e2ecase.PATHS.sample, "full-temp.exe")
        self.expect_boxes_then_exit(installer, [RESTORE_ERROR + "Cannot read file"], EXIT_RESTORE_FAILED)
        self.check_nothing_installed()
        self.assertEqual(os.listdir(temp), [])

    def test_a_temporary_folder_that_takes_no_folder_says_so(self):
        temp = self.session.host_path(self.session.temp_folder())
        self.mount("tmpfs", "ro,size=64k", temp)
        installer = Installer(self.session, e2ecase.PATHS.sample, "read-only-temp.exe").start(
            "/LOG=C:\\read-only-temp.log")
        [box] = wait_for(lambda: self.session.message_boxes(pid=installer.pid), 90, "the message", interval=0.25)
        box = self.session.settled_message_box(box["hwnd"])
        self.screenshot("message")
        self.assertEqual(box["caption"], ERROR_CAPTION)
        self.assertTrue(box["text"].startswith("Setup cannot make its folder in the temporary folder: " +
                                               self.session.temp_folder() + "\\Lumora-Setup-"), box["text"])
        self.assertRegex(box["text"], r" cannot be created \(.+\)$")
        self.session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_RESTORE_FAILED)
        log = read_file(self.session.find_host_path("C:\\read-only-temp.log")).decode("utf-8")
        self.assertRegex(log, r"extraction folder: failed: .* cannot be created \(.+\)\r\n")
        self.check_nothing_installed()

    def test_files_planted_in_the_temporary_folder_are_never_used(self):
        session = self.session
        planted = {name: b"planted " + name.encode() for name in PAYLOAD}
        for name, data in planted.items():
            with open(session.host_path(session.temp_folder() + "\\" + name), "wb") as f:
                f.write(data)
        # A name of the payload held open, without sharing, by another process.
        holder = session.hold(session.temp_folder() + "\\cd.jpg", "r", "-")
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        run = SetupRun(self, e2ecase.PATHS.sample, "planted.exe")
        [folder] = extraction_folders(session)
        install_through_checking_where(self, run, folder)
        self.check_installed("Aurora", read_file(self.payload_file("Aurora.scr")),
                             read_file(self.payload_file("Lmunist.exe")))
        run.finish()
        for name, data in planted.items():
            self.assertEqual(read_file(session.host_path(session.temp_folder() + "\\" + name)), data)
        self.assertEqual(extraction_folders(session), [])
        self.assertIsNone(holder.poll(), "the held file was released")

    def test_two_installers_at_once_keep_to_their_own_files(self):
        session = self.session
        borealis = {"Borealis.scr": b"Borealis screensaver " * 1000, "Lmunist.exe": b"Borealis uninstaller " * 1000}
        settings = payloads.settings(TitleText="Borealis", ScreenSaverFile="Borealis.scr")
        second = self.installer_of("borealis.exe", settings, borealis)
        aurora = Installer(session, e2ecase.PATHS.sample, "aurora.exe").start()
        other = Installer(session, second, "borealis.exe").start()
        aurora.wait_main_window()
        other.wait_main_window()
        # Each restored into a folder of its own, at the same time.
        titles = sorted(read_file(os.path.join(folder, "setup.ins")).split(b"\r\n")[1]
                        for folder in extraction_folders(session))
        self.assertEqual(titles, [b"Borealis", b"Lumora Aurora Screensaver"])
        # The other leaves; the first installs its own files.
        session.post(other.wait_main_window()["hwnd"], "WM_CLOSE")
        self.assertEqual(other.wait_exit(), EXIT_CANCELLED)
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        run = SetupRun(self, installer=aurora)
        install_through(run)
        run.finish()
        self.check_installed("Aurora", read_file(self.payload_file("Aurora.scr")),
                             read_file(self.payload_file("Lmunist.exe")))
        self.check_nothing_installed("Borealis", wizard_shown=True)

    def test_an_upgrade_that_cannot_be_completed_keeps_the_installed_version(self):
        old = {"Aurora.scr": b"old screensaver " * 100, "Aurora.exe": b"old uninstaller " * 100}
        windows = self.session.host_path("C:\\windows")
        for name, data in old.items():
            with open(os.path.join(windows, name), "wb") as f:
                f.write(data)
        held_uninstaller = ("held uninstaller", lambda: self.session.hold("C:\\windows\\Aurora.exe", "r", "rw"),
                            "Cannot create file C:\\windows\\Aurora.exe.")

        def full_windows_folder():
            # The Windows folder as it is, with room for about 100 KB more.
            room = os.path.join(self.session.prefix, "room")
            self.small_file_system(room, "100k")
            os.makedirs(os.path.join(room, "upper"))
            os.makedirs(os.path.join(room, "work"))
            self.mount("overlay", "lowerdir=%s,upperdir=%s/upper,workdir=%s/work" % (windows, room, room), windows)

        full = ("full Windows folder", full_windows_folder, "Cannot write file C:\\windows\\Aurora.scr.")
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        for what, prepare, error in (held_uninstaller, full):
            with self.subTest(what):
                prepare()
                name = what.replace(" ", "-")
                log = "C:\\" + name + ".log"
                run = SetupRun(self, installer=Installer(self.session, e2ecase.PATHS.sample, name + ".exe").start(
                    "/LOG=" + log))
                run.wizard.wait_page("2")
                run.wizard.key("alt+n")
                run.wizard.wait_page("4")
                run.wizard.key("alt+n")
                box = run.wait_box()
                self.assertEqual((box["caption"], box["text"]), (APP_TITLE, error))
                run.answer(box)
                run.finish(EXIT_COPY_FAILED)
                self.check_nothing_installed(stays=old, wizard_shown=True)
                # The system's reason, also for a write that stopped short.
                copy = [line for line in read_file(self.session.find_host_path(log)).decode("utf-8").split("\r\n")
                        if " copy: failed: " in line]
                self.assertEqual(len(copy), 1, copy)
                self.assertRegex(copy[0], r"\((?!Success).+\)$")

    def test_a_deep_temporary_folder_that_keeps_the_activex_update_from_starting_is_said(self):
        # 250 characters: the system gives it, and Install.exe in the run's
        # folder lies beyond the MAX_PATH characters the shell starts.
        session = self.session
        deep_temp = "C:\\" + "\\".join(["t" * 49] * 5)
        os.makedirs(session.host_path(deep_temp))
        for name in ("TEMP", "TMP"):
            rc, out = session.run("reg", "add", "HKCU\\Environment", "/v", name, "/d", deep_temp, "/f")
            self.assertEqual(rc, 0, out)
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        run = SetupRun(self, e2ecase.PATHS.sample, "deep-temp.exe")
        self.assertEqual(len(extraction_folders(session, session.host_path(deep_temp))), 1)
        run.answer(setuprun.run_to_caution(run))
        box = run.wait_box()
        self.screenshot("not-started")
        self.assertEqual((box["caption"], box["text"], box["icon"]),
                         ("Warning", "The ActiveX update could not be started, and the screensaver may not work "
                          "correctly without it.", "warning"))
        run.answer(box)
        wait_for(lambda: session.reg_query(uninstall_key("Aurora")), 60, "the uninstall entry")
        run.finish()
        self.assertEqual(os.listdir(session.host_path(deep_temp)), [])

    def test_a_temporary_folder_too_long_for_the_system_leaves_nothing_behind(self):
        session = self.session
        long_temp = "C:\\" + "\\".join(["t" * 60] * 5)
        os.makedirs(session.host_path(long_temp))
        rc, out = session.run("reg", "add", "HKCU\\Environment", "/v", "TEMP", "/d", long_temp, "/f")
        self.assertEqual(rc, 0, out)
        rc, out = session.run("reg", "add", "HKCU\\Environment", "/v", "TMP", "/d", long_temp, "/f")
        self.assertEqual(rc, 0, out)
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        # Started from its own folder, as from a Downloads folder.
        downloads = session.host_path(FOLDER)
        installer = Installer(session, e2ecase.PATHS.sample, "long-temp.exe").start(cwd=downloads)
        run = SetupRun(self, installer=installer)
        # The system gives no temporary folder: the run's own folder is made
        # in the current folder.
        self.assertEqual(len(extraction_folders(session, downloads)), 1)
        install_through(run)
        self.check_installed("Aurora", read_file(self.payload_file("Aurora.scr")),
                             read_file(self.payload_file("Lmunist.exe")))
        run.finish()
        self.assertEqual(os.listdir(downloads), ["long-temp.exe"])
        self.assertEqual(os.listdir(session.host_path(long_temp)), [])


def install_through_checking_where(test, run, folder):
    """install_through, checking on the way that Install.exe runs from the
    run's own folder `folder` (a host path): its application folder, where
    the libraries it loads are looked for first."""
    caution = setuprun.run_to_caution(run)
    run.answer(caution)
    run.wait_activex_box()
    commands = []
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                command = f.read().split(b"\0")[0].decode("utf-8", "replace")
        except OSError:
            continue
        if command.lower().endswith("\\install.exe"):
            commands.append(command)
    test.assertEqual(len(commands), 1, commands)
    test.assertEqual(commands[0].lower(), (test.session.temp_folder() + "\\" + os.path.basename(folder)
                                           + "\\Install.exe").lower())
    run.dismiss_activex_box()


if __name__ == "__main__":
    e2ecase.main()
