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
  current folder, where nothing stays behind;
- a run killed at each move into the Windows folder (seen by inotify), or
  while it restores a large payload, is settled by the next run: one whole
  version, never a missing program, its info file and uninstall entry, and
  nothing of the killed run left, its folder in the temporary folder
  included (but a link of that name, which is never followed);
- links in folders named as a killed run's, or dropped into a live run's
  own folder, are never followed, and a file another program holds open
  there stays for a later run (no delete at the restart): the log says
  what stays and why;
- a failure after the copies (the installed info file held open, a disk
  that fills up just before the info file) puts the installed version back;
- links beside the targets are never followed, a damaged journal stops the
  next run before any change, names beyond ASCII killed at each move come
  back whole, two runs of one product started together change its files one
  after the other, a screensaver named as a program of the system replaces
  nothing, and a product locked by another setup is refused with its name."""
import configparser
import ctypes
import os
import re
import select
import shutil
import signal
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
import setuprun  # noqa: E402
from installer import (CORRUPTED_TEXT, ERROR_CAPTION, EXIT_CANCELLED, EXIT_COPY_FAILED, EXIT_DAMAGED,  # noqa: E402
                       EXIT_INSTALLED, EXIT_OTHER, EXIT_RESTORE_FAILED, FOLDER, MAIN_TITLE, SETTINGS_MISSING_TEXT,
                       Installer, extraction_folders)
from setuprun import APP_TITLE, SetupRun, install_through, read_file, uninstall_key, uninstall_subkeys  # noqa: E402
from wineenv import wait_for  # noqa: E402

RESTORE_ERROR = "please contact technical quoting this ref number :"
PAYLOAD = ["cd.jpg", "Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe"]
# The key beneath which the installer keeps the uninstall entry's copy while
# it can still undo an installation.
KEPT_ENTRIES = "HKLM\\Software\\Lumora Install Program"

# Why the cleanup leaves an entry, as the log says it.
LINK, NOT_NOW = "a link, never followed", "cannot be removed now; a later run tries again "

LIBC = ctypes.CDLL("libc.so.6", use_errno=True)
IN_MOVED_TO, IN_CREATE = 0x80, 0x100


class Watch:
    """inotify on one host folder: the names that its events of `mask` carry."""

    def __init__(self, folder, mask):
        self.fd = LIBC.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        if self.fd < 0 or LIBC.inotify_add_watch(self.fd, folder.encode(), mask) < 0:
            raise OSError(ctypes.get_errno(), "inotify on " + folder)

    def names(self, timeout=0.5):
        """The names of the events that have come, waiting up to `timeout`
        seconds for the first."""
        if not select.select([self.fd], [], [], timeout)[0]:
            return []
        data, names, at = os.read(self.fd, 65536), [], 0
        while at < len(data):
            length = struct.unpack_from("iIII", data, at)[3]
            names.append(data[at + 16:at + 16 + length].rstrip(b"\0").decode("utf-8", "replace"))
            at += 16 + length
        return names

    def close(self):
        os.close(self.fd)


def kill_at_move(installer, windows, targets, moves):
    """Starts `installer` with /S and kills it once it has moved `moves` of
    the files `targets` (names, or a test of a name) into the host folder
    `windows` (seen by inotify)."""
    watch = Watch(windows, IN_MOVED_TO)
    moved = []
    counts = targets if callable(targets) else targets.__contains__

    def moved_enough():
        moved.extend(n for n in watch.names(0.05) if counts(n))
        return len(moved) >= moves
    installer.start("/S")
    try:
        kill_when(installer, moved_enough)
    finally:
        watch.close()


def kill_when(installer, ready, timeout=90):
    """Kills the installer's process (SIGKILL, as a power cut stops it) as
    soon as `ready()` is true; `ready` is asked again and again meanwhile."""
    def running():
        # Wine's loader names the program once it runs it, in the same process.
        with open("/proc/%d/cmdline" % installer.proc.pid, "rb") as f:
            return f.read().split(b"\0")[0].decode("utf-8", "replace").lower().endswith(installer.name.lower())

    def time_to_kill():
        if ready():
            return True
        if installer.proc.poll() is not None:
            raise AssertionError("%s ended (exit code %s) first" % (installer.name, installer.proc.returncode))
        return False
    wait_for(running, 60, "the process of %s" % installer.name, interval=0)
    wait_for(time_to_kill, timeout, "the moment to kill %s" % installer.name, interval=0)
    os.kill(installer.proc.pid, signal.SIGKILL)
    installer.proc.wait(timeout=60)


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

    def installer_of(self, name, settings, replaced, options=(), encoding="latin-1"):
        """An installer of the sample payload with the settings lines
        `settings` (written in `encoding`) and the files `replaced` {name in
        the payload: bytes, or None to leave it out} in place of the sample's
        or besides them, built with `options`."""
        staging = os.path.join(self.artifacts, name + ".payload")
        os.makedirs(staging, exist_ok=True)
        files = {n: read_file(self.payload_file(n)) for n in PAYLOAD if n != "Setup.ins"}
        files.update(replaced)
        paths = [payloads.write_settings(staging, settings, encoding=encoding)]
        for payload_name, data in files.items():
            if data is None:
                continue
            paths.append(os.path.join(staging, payload_name))
            with open(paths[-1], "wb") as f:
                f.write(data)
        return payloads.pack(paths, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub, options)

    def run_silently(self, path, name, *args):
        """Runs the installer `path` with /S to its end; returns its exit code."""
        return Installer(self.session, path, name).start("/S", *args).wait_exit(timeout=120)

    def check_one_version(self, base, files, entry):
        """The Windows folder holds `files` {name: bytes} of `base`, its info
        file, and nothing else of that name (no new file, old file's copy or
        journal); the uninstall entry has the values `entry` {name: data,
        None for none}; no copy of the entry is kept."""
        windows = self.session.host_path("C:\\windows")
        for name, data in files.items():
            self.assertEqual(read_file(os.path.join(windows, name)), data, name)
        self.assertEqual(read_file(os.path.join(windows, base + ".nfo")), ("%s.scr\r\nC:\\windows\r\n" % base).encode())
        left = sorted(n for n in os.listdir(windows) if n.lower().startswith(base.lower() + "."))
        self.assertEqual(left, sorted(list(files) + [base + ".nfo"]))
        values = self.session.reg_query(uninstall_key(base))
        self.assertIsNotNone(values, "no uninstall entry")
        self.assertEqual({name: values.get(name) for name in entry}, entry)
        self.assertEqual(values["UninstallString"], "C:\\windows\\%s.exe" % base)
        self.assertIsNone(self.session.reg_query(KEPT_ENTRIES))

    def expect_boxes_then_exit(self, installer, texts, code, args=()):
        """The installer, started with `args`, shows the error boxes `texts`
        one after the other and never its main window; OK on the last ends
        it with `code`."""
        session = self.session
        installer.start(*args)
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

    def sample_and_upgrade(self, added):
        """The sample's two programs as installed, {name: bytes}; the same
        with `added` after each, and an installer of those as version 2.0.0
        of the product "Aurora Dreams": (old, new, path of the upgrade)."""
        old = {"Aurora.scr": read_file(self.payload_file("Aurora.scr")),
               "Aurora.exe": read_file(self.payload_file("Lmunist.exe"))}
        new = {name: data + added for name, data in old.items()}
        upgrade = self.installer_of("aurora-2.exe", payloads.settings(),
                                    {"Aurora.scr": new["Aurora.scr"], "Lmunist.exe": new["Aurora.exe"]},
                                    ("--product", "Aurora Dreams", "--version", "2.0.0"))
        return old, new, upgrade

    def log_of(self, log):
        """The lines of the run's log `log` (a Windows path), without their
        time stamps."""
        return [line[20:] for line in read_file(self.session.find_host_path(log)).decode("utf-8").split("\r\n")]

    def group_state(self, base):
        """What the group of `base` is made of: the Windows folder's entries
        named after it ({name: bytes, "folder" or "link to PATH"}) but its
        lock file (which a killed run leaves and the next takes over), the
        uninstall entry, and the kept copies of entries as `reg query /s`
        lists them."""
        windows = self.session.host_path("C:\\windows")
        files = {}
        for name in os.listdir(windows):
            path = os.path.join(windows, name)
            if name.lower().startswith(base.lower() + ".") and name.lower() != base.lower() + ".lock":
                files[name] = ("link to " + os.readlink(path) if os.path.islink(path) else
                               "folder" if os.path.isdir(path) else read_file(path))
        rc, kept = self.session.run("reg", "query", KEPT_ENTRIES, "/s", timeout=60)
        return files, self.session.reg_query(uninstall_key(base)), kept if rc == 0 else None

    def windows_names(self):
        """The names in the Windows folder, but CONTROL.INI, which every run
        writes its flag into at its start."""
        return sorted(n for n in os.listdir(self.session.host_path("C:\\windows")) if n.lower() != "control.ini")

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
        self.expect_boxes_then_exit(installer, [RESTORE_ERROR + "Cannot read file"], EXIT_RESTORE_FAILED,
                                    ["/LOG=C:\\full-temp.log"])
        self.check_nothing_installed()
        self.assertEqual(os.listdir(temp), [])
        log = read_file(self.session.find_host_path("C:\\full-temp.log")).decode("utf-8")
        self.assertRegex(log, r" restore: failed: Cannot read file at .* \(.*the disk is full, error 112\)\r\n")

    def test_a_temporary_folder_that_takes_no_folder_shows_the_missing_file_message(self):
        temp = self.session.host_path(self.session.temp_folder())
        self.mount("tmpfs", "ro,size=64k", temp)
        installer = Installer(self.session, e2ecase.PATHS.sample, "read-only-temp.exe").start(
            "/LOG=C:\\read-only-temp.log")
        [box] = wait_for(lambda: self.session.message_boxes(pid=installer.pid), 90, "the message", interval=0.25)
        box = self.session.settled_message_box(box["hwnd"])
        self.screenshot("message")
        # The error-1 text, as when the files are missing; the log says why.
        self.assertEqual((box["caption"], box["text"]), (ERROR_CAPTION, SETTINGS_MISSING_TEXT))
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
        # An earlier installation, known by its info file.
        old = {"Aurora.scr": b"old screensaver " * 100, "Aurora.exe": b"old uninstaller " * 100,
               "Aurora.nfo": b"Aurora.scr\r\nC:\\windows\r\n"}
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
                box = setuprun.run_to_caution(run)
                self.assertEqual((box["caption"], box["text"]), (APP_TITLE, error))
                run.answer(box)
                run.finish(EXIT_COPY_FAILED)
                self.check_nothing_installed(stays=old, wizard_shown=True)
                # The system's reason, also for a write that stopped short.
                copy = [line for line in read_file(self.session.find_host_path(log)).decode("utf-8").split("\r\n")
                        if " copy: failed: " in line]
                self.assertEqual(len(copy), 1, copy)
                self.assertRegex(copy[0], r"\((?!Success).+\)$")

    def test_a_run_killed_on_its_way_leaves_one_whole_version(self):
        session = self.session
        windows = session.host_path("C:\\windows")
        temp = session.host_path(session.temp_folder())
        old, new, upgrade = self.sample_and_upgrade(b"version 2.0.0" * 1000)
        old_entry = {"DisplayName": "Aurora Uninstall", "DisplayVersion": None}
        new_entry = {"DisplayName": "Aurora Dreams", "DisplayVersion": "2.0.0"}
        # The next run's own copies fail: what it leaves is what it settled.
        settling = self.installer_of("no-uninstaller.exe", payloads.settings(), {"Lmunist.exe": None})
        # A payload that takes a while to restore, the large file last.
        large = self.installer_of("large.exe", payloads.settings(), {"zz-large.bin": os.urandom(32 << 20)},
                                  ("--store",))
        # A link named as a run's folder, to a folder outside the
        # temporary folder: never followed.
        outside = session.host_path("C:\\outside")
        os.makedirs(outside)
        with open(os.path.join(outside, "keep.txt"), "wb") as f:
            f.write(b"keep")
        os.symlink(outside, os.path.join(temp, "Lumora-Setup-0123456789abcdef"))

        def journals():
            return [n for n in os.listdir(windows) if n.startswith("Aurora.scr.") and n.endswith(".journal")]

        for moves in (1, 2, 3):
            with self.subTest("killed at move %d" % moves):
                installed = os.path.join(windows, "Aurora.scr")
                if not os.path.exists(installed) or read_file(installed) != old["Aurora.scr"]:
                    self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
                installer = Installer(session, upgrade, "aurora-2-%d.exe" % moves)
                kill_at_move(installer, windows, ("Aurora.scr", "Aurora.exe", "Aurora.nfo"), moves)
                # Each program old or new, never missing. A kill that comes
                # once the journal has gone finds the group complete.
                for name in old:
                    self.assertIn(read_file(os.path.join(windows, name)), (old[name], new[name]), name)
                complete = not journals()
                log = "C:\\settle-%d.log" % moves
                self.assertEqual(self.run_silently(settling, "settle-%d.exe" % moves, "/LOG=" + log), EXIT_COPY_FAILED)
                self.check_one_version("Aurora", new if complete else old, new_entry if complete else old_entry)
                self.assertEqual("earlier installation: undone" in read_file(session.find_host_path(log)).decode(),
                                 not complete)
                self.assertEqual([f for f in extraction_folders(session) if not os.path.islink(f)], [])
        self.assertEqual(self.run_silently(upgrade, "aurora-2.exe"), EXIT_INSTALLED)
        self.check_one_version("Aurora", new, new_entry)

        with self.subTest("killed while it restores"):
            installer = Installer(session, large, "large.exe")
            watch = Watch(temp, IN_CREATE)
            folder = []

            def large_file():
                return os.path.join(folder[0], "zz-large.bin")

            def partly_restored():
                folder.extend(os.path.join(temp, n) for n in watch.names(0) if n.startswith("Lumora-Setup-"))
                return folder and os.path.exists(large_file()) and os.path.getsize(large_file()) >= 2 << 20
            installer.start("/S")
            kill_when(installer, partly_restored)
            watch.close()
            self.assertLess(os.path.getsize(large_file()), 32 << 20, "restored in full")
            self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
            self.assertFalse(os.path.exists(folder[0]), "the killed run's folder stays")
            self.assertEqual([os.path.basename(f) for f in extraction_folders(session)],
                             ["Lumora-Setup-0123456789abcdef"])
            self.assertEqual(read_file(os.path.join(outside, "keep.txt")), b"keep")

    def test_links_and_files_in_use_in_folders_named_as_a_runs_are_left(self):
        session = self.session
        temp = session.host_path(session.temp_folder())
        outside = session.host_path("C:\\outside")
        os.makedirs(os.path.join(outside, "folder"))
        kept = {os.path.join(outside, "keep.txt"): b"keep", os.path.join(outside, "folder", "in.txt"): b"in"}
        for path, data in kept.items():
            with open(path, "wb") as f:
                f.write(data)
        links = {"link.txt": os.path.join(outside, "keep.txt"), "link": os.path.join(outside, "folder")}
        # Plain folders named as a killed run's, made by any program of the
        # user: one with links to a file and a folder outside, one with a
        # file that another program holds open.
        linked, held = (os.path.join(temp, "Lumora-Setup-00000000000000a" + n) for n in "12")
        for folder in (linked, held):
            os.makedirs(folder)
            with open(os.path.join(folder, "plain.txt"), "wb") as f:
                f.write(b"goes")
        for name, target in links.items():
            os.symlink(target, os.path.join(linked, name))
        holder = session.hold("%s\\%s\\plain.txt" % (session.temp_folder(), os.path.basename(held)), "r", "rw")
        installer = Installer(session, e2ecase.PATHS.sample, "links.exe").start("/LOG=C:\\links.log")
        main = installer.wait_main_window()
        # The same links dropped into the live run's own folder.
        [own] = [f for f in extraction_folders(session) if f not in (linked, held)]
        for name, target in links.items():
            os.symlink(target, os.path.join(own, name))
        session.post(main["hwnd"], "WM_CLOSE")
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)

        for path, data in kept.items():
            self.assertEqual(read_file(path), data, path)
        self.assertEqual([sorted(os.listdir(f)) for f in (linked, own, held)],
                         [["link", "link.txt"], ["link", "link.txt"], ["plain.txt"]])
        log = read_file(session.find_host_path("C:\\links.log")).decode()
        said = sorted(re.findall(r"extraction folder: .*\\(Lumora-Setup-\w+(?:\\[\w.]+)?) left: ([^(\r]*)", log))
        self.assertEqual(said, sorted([(os.path.basename(f) + entry, why) for f in (linked, own)
                                       for entry, why in (("\\link", LINK), ("\\link.txt", LINK), ("", "not empty"))]
                                      + [(os.path.basename(held) + "\\plain.txt", NOT_NOW),
                                         (os.path.basename(held), "not empty")]))
        self.assertIsNone(session.reg_query("HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
                                            "PendingFileRenameOperations"), "a delete at the restart")
        # Let go, the file and its folder go with the next run.
        holder.kill()
        holder.wait(timeout=60)
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
        self.assertFalse(os.path.exists(held))
        self.assertEqual([read_file(path) for path in kept], list(kept.values()))

    def test_a_failure_after_the_copies_puts_the_installed_version_back(self):
        session = self.session
        windows = session.host_path("C:\\windows")
        old, _, upgrade = self.sample_and_upgrade(b"2")
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)

        with self.subTest("the installed info file held open"):
            holder = session.hold("C:\\windows\\Aurora.nfo", "r", "r")
            log = "C:\\held.log"
            self.assertEqual(self.run_silently(upgrade, "aurora-2.exe", "/LOG=" + log), EXIT_OTHER)
            holder.kill()
            holder.wait(timeout=60)
            self.check_one_version("Aurora", old, {"DisplayName": "Aurora Uninstall", "DisplayVersion": None})
            # "YYYY-MM-DD hh:mm:ss step: result"
            lines = [line[20:] for line in read_file(session.find_host_path(log)).decode().split("\r\n")]
            self.assertIn("copy: C:\\windows\\Aurora.scr and C:\\windows\\Aurora.exe in place", lines)
            self.assertEqual(lines[-4:-1],
                             ["undo: the files and the uninstall entry as they were before",
                              "info file: failed: File access denied", "exit code: %d" % EXIT_OTHER])

        with self.subTest("a full disk between the copies and the info file"):
            # A new product, so that nothing was there before: the Windows
            # folder as it is, on a file system that fills up once the two
            # programs are copied beside their places.
            nebula = self.installer_of("nebula.exe", payloads.settings(ScreenSaverFile="Nebula.scr"),
                                       {"Nebula.scr": old["Aurora.scr"], "Aurora.scr": None})
            room = os.path.join(session.prefix, "room")
            self.small_file_system(room, "8m")
            os.makedirs(os.path.join(room, "upper"))
            os.makedirs(os.path.join(room, "work"))
            self.mount("overlay", "lowerdir=%s,upperdir=%s/upper,workdir=%s/work" % (windows, room, room), windows)
            run = SetupRun(self, installer=Installer(session, nebula, "nebula.exe").start())
            run.wizard.wait_page("2")
            # Room for the pages of the two programs' copies and the lock
            # file, no more.
            free = os.statvfs(room)
            pages = sum(-(-len(data) // free.f_bsize) for data in old.values()) + 1
            with open(os.path.join(room, "filler"), "wb") as f:
                f.write(b"\0" * (free.f_bavail - pages) * free.f_bsize)
            self.assertEqual(os.statvfs(room).f_bavail, pages)
            run.wizard.key("alt+n")
            run.wizard.wait_page("4")
            run.wizard.key("alt+n")
            box = run.wait_box()
            self.assertEqual((box["caption"], box["text"]), (APP_TITLE, "I/O error 112."))
            run.answer(box)
            run.finish(EXIT_OTHER)
            self.assertEqual([n for n in os.listdir(windows) if n.lower().startswith("nebula.")], [])
            self.assertIsNone(session.reg_query(uninstall_key("Nebula")))
            self.check_one_version("Aurora", old, {"DisplayName": "Aurora Uninstall"})

    def test_links_beside_the_targets_are_never_followed(self):
        session = self.session
        windows = session.host_path("C:\\windows")
        outside = session.host_path("C:\\outside")
        os.makedirs(outside)

        def plant(name, target):
            """A link of `name` in the Windows folder to a new file `target`
            in C:\\outside."""
            path = os.path.join(outside, target)
            with open(path, "wb") as f:
                f.write(b"keep " + target.encode())
            os.symlink(path, os.path.join(windows, name))

        def outside_files():
            return {n: read_file(os.path.join(outside, n)) for n in os.listdir(outside)}

        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
        # Named as a new file and an old file's copy of an earlier run: left
        # alone, and the run goes on.
        leftovers = ["Aurora.exe.00000099.00000000.00000001.new", "Aurora.nfo.00000099.00000000.00000002.old"]
        for name, target in zip(leftovers, ("new.txt", "old.txt")):
            plant(name, target)
        kept = outside_files()
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "links.exe", "/LOG=C:\\links.log"), EXIT_INSTALLED)
        lines = self.log_of("C:\\links.log")
        for name in leftovers:
            self.assertIn("earlier installation: %s left alone: a link, never followed" % name, lines)
            self.assertTrue(os.path.islink(os.path.join(windows, name)), name)
        self.assertEqual(outside_files(), kept)
        for name in leftovers:
            os.remove(os.path.join(windows, name))
        self.check_one_version("Aurora", {"Aurora.scr": read_file(self.payload_file("Aurora.scr")),
                                          "Aurora.exe": read_file(self.payload_file("Lmunist.exe"))},
                               {"DisplayName": "Aurora Uninstall"})

        # Named as a journal, or in a target's place: the run stops before it
        # changes anything. (Wine lists no link to nothing: one named as a
        # journal is seen beside the copies of its group, below.)
        cases = [("Aurora.scr.00000099.00000000.journal", "journal.txt",
                  "The installation journal C:\\windows\\%s is a link: Setup changes nothing while it is there"),
                 ("Aurora.nfo", "Aurora.nfo", "Cannot replace C:\\windows\\%s: it is a link")]
        for name, target, message in cases:
            with self.subTest(name):
                if name == "Aurora.nfo":
                    shutil.move(os.path.join(windows, name), os.path.join(outside, name))
                    os.symlink(os.path.join(outside, name), os.path.join(windows, name))
                else:
                    plant(name, target)
                state, kept = self.group_state("Aurora"), outside_files()
                log = "C:\\link-%s.log" % name
                self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "links.exe", "/LOG=" + log),
                                 EXIT_COPY_FAILED)
                self.assertIn("copy: failed: " + message % name, self.log_of(log))
                self.assertEqual(self.group_state("Aurora"), state)
                self.assertEqual(outside_files(), kept)
                os.remove(os.path.join(windows, name))
                if name == "Aurora.nfo":
                    shutil.move(os.path.join(outside, name), os.path.join(windows, name))

    def test_a_journal_that_fails_its_check_stops_the_next_run_before_any_change(self):
        session = self.session
        windows = session.host_path("C:\\windows")
        old, _, upgrade = self.sample_and_upgrade(b"2")
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
        kill_at_move(Installer(session, upgrade, "killed.exe"), windows, ("Aurora.scr", "Aurora.exe"), 1)
        [name] = [n for n in os.listdir(windows) if n.endswith(".journal")]
        journal = os.path.join(windows, name)
        whole = read_file(journal)
        state = self.group_state("Aurora")
        self.assertIsNotNone(state[2], "no copy of the entry kept")

        def replace(content):
            if os.path.isdir(journal) and not os.path.islink(journal):
                os.rmdir(journal)
            else:
                os.remove(journal)
            if content == "folder":
                os.mkdir(journal)
            elif content == "link":
                os.symlink(os.path.join(windows, "nothing"), journal)
            else:
                with open(journal, "wb") as f:
                    f.write(content)

        cases = [
            ("cut short", whole[:len(whole) // 2], "is cut short"),
            ("garbled", whole[:40] + bytes([whole[40] ^ 1]) + whole[41:], "is damaged"),
            ("of a wrong check value", whole[:21] + b"00000000" + whole[29:], "is damaged"),
            ("written by hand", b"000 0\r\n", "is not one this setup can check"),
            ("a folder", "folder", "is a folder"),
            ("a link to nothing", "link", "is a link"),
        ]
        for what, content, found in cases:
            with self.subTest(what):
                replace(content)
                damaged = self.group_state("Aurora")
                log = "C:\\journal-%s.log" % what.replace(" ", "-")
                self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "next.exe", "/LOG=" + log), EXIT_COPY_FAILED)
                self.assertIn("copy: failed: The installation journal C:\\windows\\%s %s: Setup changes nothing "
                              "while it is there" % (name, found), self.log_of(log))
                self.assertEqual(self.group_state("Aurora"), damaged)
                replace(whole)
                self.assertEqual(self.group_state("Aurora"), state)
        # Whole again, it is undone: the installed version, whole.
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "next.exe"), EXIT_INSTALLED)
        self.check_one_version("Aurora", old, {"DisplayName": "Aurora Uninstall", "DisplayVersion": None})

    def test_names_beyond_ascii_killed_at_each_move_come_back_whole(self):
        session = self.session
        windows = session.host_path("C:\\windows")
        saver = read_file(self.payload_file("Aurora.scr"))
        uninstaller = read_file(self.payload_file("Lmunist.exe"))
        # An 8-bit name built without options, and one in UTF-8.
        for base, encoding, options in (("Caf\u00e9", "latin-1", ()),
                                        ("\u0421\u0435\u0432\u0435\u0440", "utf-8", ("--codepage", "utf-8"))):
            with self.subTest(base):
                def installer(name, files, *more):
                    return self.installer_of(name, payloads.settings(ScreenSaverFile=base + ".scr"),
                                             dict(files, **{"Aurora.scr": None}), options + more, encoding)
                old = {base + ".scr": saver, base + ".exe": uninstaller}
                new = {name: data + b"version 2.0.0" * 1000 for name, data in old.items()}
                first = installer("first-%s.exe" % encoding, {base + ".scr": saver})
                upgrade = installer("upgrade-%s.exe" % encoding,
                                    {base + ".scr": new[base + ".scr"], "Lmunist.exe": new[base + ".exe"]},
                                    "--product", "Dreams", "--version", "2.0.0")
                # The next run's own copies fail: what it leaves is what it settled.
                settling = installer("settling-%s.exe" % encoding, {base + ".scr": saver, "Lmunist.exe": None})
                key = uninstall_key(base)
                for moves in (1, 2, 3):
                    self.assertEqual(self.run_silently(first, "first.exe"), EXIT_INSTALLED)
                    kill_at_move(Installer(session, upgrade, "upgrade-%d.exe" % moves), windows,
                                 (base + ".scr", base + ".exe", base + ".nfo"), moves)
                    complete = not [n for n in os.listdir(windows) if n.endswith(".journal")]
                    self.assertEqual(self.run_silently(settling, "settling.exe"), EXIT_COPY_FAILED)
                    files = new if complete else old
                    for name, data in files.items():
                        self.assertEqual(read_file(os.path.join(windows, name)), data, (moves, name))
                    self.assertEqual(sorted(n for n in os.listdir(windows) if n.startswith(base + ".")),
                                     sorted(list(files) + [base + ".nfo"]))
                    values = setuprun.export_key(session, key)
                    self.assertEqual((values["DisplayName"], values.get("DisplayVersion")),
                                     ("Dreams", "2.0.0") if complete else (base + " Uninstall", None), moves)
                    self.assertIsNone(session.reg_query(KEPT_ENTRIES))

    def test_a_renamed_screensaver_replaces_its_earlier_version_whole(self):
        # Version 1.2.0 of the product calls its screensaver ZorzaHD.scr,
        # 1.1.0 called it Zorza.scr: the upgrade takes the place of the
        # earlier installation whole, killed at each move or not at all.
        session = self.session
        windows = session.host_path("C:\\windows")
        saver = read_file(self.payload_file("Aurora.scr"))

        def installer(name, base, version, files):
            return self.installer_of(name, payloads.settings(ScreenSaverFile=base + ".scr"),
                                     dict(files, **{"Aurora.scr": None}),
                                     ("--product", "Zorza", "--publisher", "Swietlik Studio", "--version", version))

        def programs(path, base):
            data = read_file(path)
            entries = {e.name[3:]: e.data(data) for e in layout.parse_installer(data)[4]}
            return {base + ".scr": entries[base.lower() + ".scr"], base + ".exe": entries["lmunist.exe"]}

        earlier = installer("zorza-110.exe", "Zorza", "1.1.0", {"Zorza.scr": saver})
        upgrade = installer("zorza-120.exe", "ZorzaHD", "1.2.0", {"ZorzaHD.scr": saver + b"1.2.0" * 1000})
        # The next run's own copies fail: what it leaves is what it settled.
        settling = installer("zorza-settling.exe", "ZorzaHD", "1.2.0", {"ZorzaHD.scr": saver, "Lmunist.exe": None})
        versions = {"1.1.0": ("Zorza", programs(earlier, "Zorza")), "1.2.0": ("ZorzaHD", programs(upgrade, "ZorzaHD"))}

        def one_version(version):
            base, files = versions[version]
            names = sorted(n for n in os.listdir(windows) if n.lower().startswith("zorza"))
            self.assertEqual(names, sorted(list(files) + [base + ".nfo"]), version)
            for name, data in files.items():
                self.assertEqual(read_file(os.path.join(windows, name)), data, name)
            self.assertEqual(read_file(os.path.join(windows, base + ".nfo")),
                             ("%s.scr\r\nC:\\windows\r\n" % base).encode())
            self.assertEqual([k for k in uninstall_subkeys(session) if k.lower().startswith("zorza")],
                             [base + " Uninstall"])
            self.assertEqual(session.reg_query(uninstall_key(base), "DisplayVersion"), version)
            self.assertIsNone(session.reg_query(KEPT_ENTRIES))

        def earlier_installed():
            if not os.path.exists(os.path.join(windows, "Zorza.scr")):
                self.assertEqual(self.run_silently(earlier, "zorza-110.exe", "/ALLOWDOWNGRADE"), EXIT_INSTALLED)
            one_version("1.1.0")

        # The three moves in, then the first of the earlier files out.
        moved_out = re.compile(r"^Zorza\.(scr|exe|nfo)(\.[0-9a-f]{8}){3}\.new$").match
        for moves, counts in ((1, None), (2, None), (3, None), (4, moved_out)):
            with self.subTest("killed at move %d" % moves):
                earlier_installed()
                kill_at_move(Installer(session, upgrade, "zorza-120-%d.exe" % moves), windows,
                             lambda n: n in ("ZorzaHD.scr", "ZorzaHD.exe", "ZorzaHD.nfo") or
                             (counts is not None and counts(n)), moves)
                complete = not [n for n in os.listdir(windows) if n.endswith(".journal")]
                self.assertEqual(self.run_silently(settling, "zorza-settling.exe"), EXIT_COPY_FAILED)
                one_version("1.2.0" if complete else "1.1.0")
        earlier_installed()
        self.assertEqual(self.run_silently(upgrade, "zorza-120.exe"), EXIT_INSTALLED)
        one_version("1.2.0")

        # And through the wizard.
        earlier_installed()
        run = SetupRun(self, upgrade, "zorza-120-wizard.exe")
        install_through(run)
        run.finish()
        one_version("1.2.0")

    def test_two_runs_of_one_product_change_its_files_one_after_the_other(self):
        # Started together, two runs of one product change its files one
        # after the other: each pair ends with one whole version and its
        # entry. LUMORA_SETUP_PAIRS sets how many pairs (a bench runs 200).
        session = self.session
        windows = session.host_path("C:\\windows")
        pairs = int(os.environ.get("LUMORA_SETUP_PAIRS", "6"))
        old, new, upgrade = self.sample_and_upgrade(b"version 2.0.0" * 100)
        entries = {"old": {"DisplayName": "Aurora Uninstall", "DisplayVersion": None},
                   "new": {"DisplayName": "Aurora Dreams", "DisplayVersion": "2.0.0"}}
        started = time.monotonic()
        waited = refused = 0
        for pair in range(pairs):
            runs = [Installer(session, path, name) for path, name in ((e2ecase.PATHS.sample, "pair-1.exe"),
                                                                       (upgrade, "pair-2.exe"))]
            for run in runs:
                run.start("/S", "/LOG=C:\\pair-%d-%s.log" % (pair, run.name))
            for run in runs:
                code = run.wait_exit(timeout=120)
                lines = self.log_of("C:\\pair-%d-%s.log" % (pair, run.name))
                if code != EXIT_INSTALLED:
                    # The other held the product's lock all the while.
                    self.assertEqual(code, EXIT_COPY_FAILED, lines)
                    self.assertRegex("\n".join(lines), r"copy: failed: Another setup is installing Aurora now: "
                                     r"C:\\setup-tests\\pair-[12]\.exe \(process \d+\)")
                    refused += 1
            version = "new" if read_file(os.path.join(windows, "Aurora.scr")) == new["Aurora.scr"] else "old"
            self.check_one_version("Aurora", new if version == "new" else old, entries[version])
        print("%d pairs of runs started together in %.1f s, %d refused" % (pairs, time.monotonic() - started, refused))

    def test_a_screensaver_named_as_a_program_of_the_system_replaces_nothing(self):
        # The packing tool refuses the names of today's programs of the
        # Windows folder (regedit, notepad, ...) even when forced; Wine's
        # folder also holds winhelp.exe of older systems, which its list
        # leaves out, so the installer's own check is what stops this one.
        session = self.session
        system_program = session.host_path("C:\\windows\\winhelp.exe")
        program = read_file(system_program)
        path = self.installer_of("winhelp-setup.exe", payloads.settings(ScreenSaverFile="winhelp.scr"),
                                 {"winhelp.scr": read_file(self.payload_file("Aurora.scr")), "Aurora.scr": None})
        names, entries = self.windows_names(), uninstall_subkeys(session)
        message = "Cannot replace C:\\windows\\winhelp.exe: it is not a file of an earlier installation of this screensaver"

        def nothing_changed():
            self.assertEqual(read_file(system_program), program)
            self.assertEqual(self.windows_names(), names)
            self.assertEqual(uninstall_subkeys(session), entries)
            self.assertIsNone(session.reg_query(KEPT_ENTRIES))

        self.assertEqual(self.run_silently(path, "winhelp-setup.exe", "/LOG=C:\\winhelp.log"), EXIT_COPY_FAILED)
        self.assertIn("copy: failed: " + message, self.log_of("C:\\winhelp.log"))
        nothing_changed()

        run = SetupRun(self, installer=Installer(session, path, "winhelp-wizard.exe").start())
        box = setuprun.run_to_caution(run)
        self.screenshot("refused")
        self.assertEqual((box["caption"], box["text"]), (APP_TITLE, message + "."))
        run.answer(box)
        run.finish(EXIT_COPY_FAILED)
        nothing_changed()

    def test_a_screensaver_name_without_room_for_its_staged_names_changes_nothing(self):
        # Forced past the tool: the names staged beside it cannot be made.
        session = self.session
        name = "A" * 221 + ".scr"
        path = self.installer_of("long-name-setup.exe", payloads.settings(ScreenSaverFile=name),
                                 {name: read_file(self.payload_file("Aurora.scr")), "Aurora.scr": None})
        names, entries = self.windows_names(), uninstall_subkeys(session)
        self.assertEqual(self.run_silently(path, "long-name-setup.exe", "/LOG=C:\\long.log"), EXIT_COPY_FAILED)
        failed = [line for line in self.log_of("C:\\long.log") if line.startswith("copy: failed: ")]
        self.assertRegex(failed[0], r"^copy: failed: Cannot create file C:\\windows\\A{221}\.scr")
        self.assertEqual((self.windows_names(), uninstall_subkeys(session)), (names, entries))

    def test_a_run_that_finds_its_product_locked_names_the_other_setup(self):
        session = self.session
        lock = session.host_path("C:\\windows\\Aurora.lock")
        with open(lock, "wb") as f:
            f.write(b"Lumora setup lock\r\nC:\\Downloads\\aurora-setup.exe (process 4242)")
        holder = session.hold("C:\\windows\\Aurora.lock", "rw", "r")
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "locked.exe", "/LOG=C:\\locked.log"),
                         EXIT_COPY_FAILED)
        self.assertIn("copy: failed: Another setup is installing Aurora now: C:\\Downloads\\aurora-setup.exe "
                      "(process 4242)", self.log_of("C:\\locked.log"))
        self.check_nothing_installed(stays={"Aurora.lock": read_file(lock)}, wizard_shown=True)
        holder.kill()
        holder.wait(timeout=60)
        # Left by a run that ended without letting it go, the lock is taken
        # over, and goes with the run that took it.
        self.assertEqual(self.run_silently(e2ecase.PATHS.sample, "sample-setup.exe"), EXIT_INSTALLED)
        self.assertFalse(os.path.exists(lock))

    def test_an_activex_update_that_a_deep_temporary_folder_keeps_from_starting_is_only_logged(self):
        # 250 characters: the system gives it, and Install.exe in the run's
        # folder lies beyond the MAX_PATH characters the shell starts.
        session = self.session
        deep_temp = "C:\\" + "\\".join(["t" * 49] * 5)
        os.makedirs(session.host_path(deep_temp))
        for name in ("TEMP", "TMP"):
            rc, out = session.run("reg", "add", "HKCU\\Environment", "/v", name, "/d", deep_temp, "/f")
            self.assertEqual(rc, 0, out)
        setuprun.replace_rundll32(self, e2ecase.PATHS)
        installer = Installer(session, e2ecase.PATHS.sample, "deep-temp.exe").start("/LOG=C:\\deep-temp.log")
        run = SetupRun(self, installer=installer)
        self.assertEqual(len(extraction_folders(session, session.host_path(deep_temp))), 1)
        run.answer(setuprun.run_to_caution(run))

        def log():
            path = session.find_host_path("C:\\deep-temp.log")
            return read_file(path).decode("utf-8") if path else ""
        # The registration is logged after the update's start, which a box
        # in between would hold up until it was answered.
        wait_for(lambda: "screensaver registration: " in log(), 60, "the registration in the log")
        self.assertEqual(run.boxes(), [])
        self.assertRegex(log(), r"Install\.exe: not started \(shell error \d+\)\r\n")
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
    # Of this prefix only: other tests run installers beside this one.
    own = b"WINEPREFIX=" + test.session.prefix.encode()
    for pid in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                command = f.read().split(b"\0")[0].decode("utf-8", "replace")
            with open("/proc/%s/environ" % pid, "rb") as f:
                environment = f.read().split(b"\0")
        except OSError:
            continue
        if command.lower().endswith("\\install.exe") and own in environment:
            commands.append(command)
    test.assertEqual(len(commands), 1, commands)
    test.assertEqual(commands[0].lower(), (test.session.temp_folder() + "\\" + os.path.basename(folder)
                                           + "\\Install.exe").lower())
    run.dismiss_activex_box()


if __name__ == "__main__":
    e2ecase.main()
