#!/usr/bin/env python3
"""The sample package: its three installers' payloads, and its programs under
Wine, taken from the sample payload:
the screensaver Aurora.scr (settings box with the Rand flag of CONTROL.INI,
the full-screen picture and what ends it, the preview inside another
window), the ActiveX update stand-in Install.exe (its box and its trace) and
the uninstaller Lmunist.exe run as the copy beside the screensaver (Yes
removes everything and itself, No leaves everything, a report of what is
left)."""
import datetime
import os
import re
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import layout  # noqa: E402
import payloads  # noqa: E402
from driversession import walk  # noqa: E402
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, wait_for  # noqa: E402

WINDOWS = "C:\\windows"
SAVER = WINDOWS + "\\Aurora.scr"
SAVER_CLASS = "AuroraSaverWindow"
SAVER_TITLE = "Aurora"
SETTINGS_TITLE = "Aurora Settings"
RANDOM_ON = "Random play: on"
RANDOM_OFF = "Random play: off"
WS_EX_TOPMOST = 0x8

ACTIVEX_CAPTION = "Lumora ActiveX update"
ACTIVEX_TEXT = ("The ActiveX components that the screensaver needs are already installed on this computer. "
                "Nothing needs to be updated.")
ACTIVEX_TRACE = WINDOWS + "\\lumora-activex.log"
TRACE_LINE = re.compile(r"^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) Lumora ActiveX update: nothing to update$")

UNINSTALLER = WINDOWS + "\\Aurora.exe"
INFO_FILE = WINDOWS + "\\Aurora.nfo"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\Aurora Uninstall"
UNINSTALL_KEY_SHOWN = ("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\currentversion\\uninstall\\"
                       "Aurora Uninstall")
UNINSTALL_CAPTION = "Aurora Uninstall"
CONFIRM_TEXT = ("Do you want to remove the screensaver Aurora from this computer?\n\nThis removes "
                "C:\\windows\\Aurora.scr, its information file, its entry in the list of installed programs "
                "and this uninstaller.")
REMOVED_TEXT = "The screensaver Aurora has been removed completely."
PARTLY_REMOVED_TEXT = "The screensaver Aurora has been removed except for these items."
PENDING_KEY = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"
FINISHER_PREFIX = "aurora-uninstall-"


def program(name):
    return payloads.sample_file(e2ecase.PATHS, name)


class SampleProgramCase(e2ecase.SessionTestCase):

    def exists(self, windows_path):
        return self.session.find_host_path(windows_path) is not None

    def write_file(self, windows_path, data):
        path = self.session.find_host_path(windows_path) or self.session.host_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def wait_box(self, caption, pid=None, timeout=60):
        """A message box's contents once it has been painted."""
        box = self.session.wait_for_window(caption, timeout=timeout, pid=pid)
        return self.session.settled_message_box(box["hwnd"])

    def answer(self, box, button):
        self.session.driver("click-button", box["hwnd"], button)
        self.session.wait_window_gone(box["hwnd"], timeout=30)


class SampleInstallersTest(unittest.TestCase):
    """Each installer carries the picture, its settings as Setup.ins and the
    three programs, in that order; the read-me variant also the read-me."""

    VARIANTS = [
        ("sample-setup.exe", payloads.settings(), False),
        ("sample-readme-setup.exe",
         payloads.settings(ShowReadMe="True", ReadMeFile="ReadMe.txt", UseCustomImage="False"), True),
        ("sample-solid-setup.exe", payloads.settings(SolidBackground="True", SolidColor="0x00804000"), False),
    ]

    def test_payloads(self):
        folder = os.path.dirname(e2ecase.PATHS.sample)
        for name, settings, read_me in self.VARIANTS:
            with self.subTest(installer=name):
                with open(os.path.join(folder, name), "rb") as f:
                    data = f.read()
                # Stored names are the packing machine's full paths.
                entries = {e.name.lower().rsplit("\\", 1)[-1]: e.data(data)
                           for e in layout.parse_installer(data)[4]}
                expected = ["cd.jpg", "setup.ins", "aurora.scr", "lmunist.exe", "install.exe"]
                expected += ["readme.txt"] if read_me else []
                self.assertEqual(list(entries), expected)
                self.assertEqual(entries["setup.ins"], "".join(line + "\r\n" for line in settings).encode("latin-1"))
                for program_name in ("cd.jpg", "Aurora.scr", "Lmunist.exe", "Install.exe"):
                    with open(program(program_name), "rb") as f:
                        self.assertEqual(entries[program_name.lower()], f.read(), program_name)
                if read_me:
                    text = entries["readme.txt"]
                    self.assertGreater(text.count(b"\r\n"), 3)
                    self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "a line without CR LF")


class ScreensaverTest(SampleProgramCase):

    def setUp(self):
        super().setUp()
        self.session.put_file(program("Aurora.scr"), SAVER)

    def set_rand(self, value):
        """CONTROL.INI with the flag as the setup program writes it; None:
        a CONTROL.INI without the screensaver's section."""
        text = "[Lumora Screen Saver]\r\nRand=%s\r\n" % value if value is not None else "[Other]\r\nRand=1\r\n"
        self.write_file(WINDOWS + "\\control.ini", text.encode("ascii"))

    def saver_window(self, proc):
        pid = self.session.windows_pid("Aurora.scr")

        def window():
            self.assertIsNone(proc.poll(), "Aurora.scr ended early")
            return self.session.find_window(title=SAVER_TITLE, class_=SAVER_CLASS, pid=pid)
        return wait_for(window, 60, "the full-screen picture", interval=0.25)

    def wait_screen_changes(self, proc, rect, times=2):
        """Waits until the pixels in `rect` have changed `times` times while
        the screensaver `proc` runs."""
        seen = [self.session.screen_pixels(rect)]

        def changed():
            if proc.poll() is not None:
                self.fail("Aurora.scr ended with exit code %d" % proc.returncode)
            pixels = self.session.screen_pixels(rect)
            if pixels != seen[-1]:
                seen.append(pixels)
            return len(seen) > times
        wait_for(changed, 30, "the picture to move", interval=0.1)

    def test_settings_box_shows_the_rand_flag(self):
        owner_proc, owner = self.session.probe_window("Display settings")
        cases = [
            ("1", ["/c"], RANDOM_ON, 0),
            ("0", ["/c"], RANDOM_OFF, 0),
            (None, ["/c"], RANDOM_OFF, 0),
            ("1", [], RANDOM_ON, 0),
            ("1", ["/c:%d" % owner], RANDOM_ON, owner),
        ]
        for rand, args, shown, expected_owner in cases:
            with self.subTest(rand=rand, args=args):
                self.set_rand(rand)
                proc = self.session.start(SAVER, *args)
                box = self.session.wait_for_window(SETTINGS_TITLE, timeout=60)
                texts = self.session.window_texts(box["hwnd"])
                self.assertIn(shown, texts)
                self.assertNotIn(RANDOM_OFF if shown == RANDOM_ON else RANDOM_ON, texts)
                self.assertEqual(box["owner"], expected_owner)
                self.session.driver("click-button", box["hwnd"], "OK")
                self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        self.assertIsNone(owner_proc.poll(), "the owner window went with the box")

    def test_full_screen_picture_moves_until_a_key_is_pressed(self):
        self.set_rand("0")
        proc = self.session.start(SAVER, "/s")
        window = self.saver_window(proc)
        self.assertEqual(window["rect"], [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT])
        self.assertTrue(window["exstyle"] & WS_EX_TOPMOST, "the picture is not on top")
        # A strip down the middle crosses the colour bands and the logo's path.
        strip = [SCREEN_WIDTH // 2 - 40, 0, SCREEN_WIDTH // 2 + 40, SCREEN_HEIGHT]
        self.wait_screen_changes(proc, strip)
        colours = {p for row in self.session.screen_pixels(strip) for p in row}
        self.assertGreater(len(colours), 20, "the picture is nearly one colour")
        self.screenshot("full-screen")

        self.session.activate(window["hwnd"])
        self.session.key_input("space")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        self.assertIsNone(self.session.window(window["hwnd"]))

    def test_mouse_ends_full_screen_picture_beyond_a_few_pixels(self):
        # The pointer is put in a known place first; the picture appears
        # under it. Its window lies at 0,0: client points are screen points.
        _, probe = self.session.probe_window("Pointer")
        rest = self.session.driver("mouse", "move", probe, 20, 20)
        x, y = rest["x"], rest["y"]
        self.session.post(probe, "WM_CLOSE")
        self.session.wait_window_gone(probe)

        proc = self.session.start(SAVER, "/s")
        hwnd = self.saver_window(proc)["hwnd"]
        self.session.driver("mouse", "move", hwnd, x + 2, y + 2)
        # Frames drawn after the move: the move has been taken by then.
        self.wait_screen_changes(proc, [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT])
        self.assertIsNotNone(self.session.window(hwnd), "a move of two pixels ended the picture")
        self.session.driver("mouse", "move", hwnd, x + 60, y + 40)
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

        # A click where the pointer rests ends it too.
        proc = self.session.start(SAVER, "/s")
        hwnd = self.saver_window(proc)["hwnd"]
        self.wait_screen_changes(proc, [0, 0, SCREEN_WIDTH, SCREEN_HEIGHT])
        self.session.click_at(hwnd, x + 60, y + 40)
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

    def test_preview_lives_inside_the_window_until_it_goes(self):
        # Wine shows nothing of what a child window of another process draws
        # (a plain static child filled red there stays unseen), so only the
        # preview window itself is checked here, not its pixels.
        host_proc, host = self.session.probe_window("Display settings")
        proc = self.session.start(SAVER, "/p", str(host))

        # CreateWindowEx shows a WS_VISIBLE window only once WM_CREATE is
        # done, so the preview is awaited until it is both there and shown.
        def preview():
            self.assertIsNone(proc.poll(), "Aurora.scr ended early")
            found = [w for w in walk(self.session.window(host))
                     if w["class"] == SAVER_CLASS and w["visible"]]
            return found[0] if found else None
        child = wait_for(preview, 60, "the preview shown inside the window", interval=0.25)
        self.assertEqual(child["parent"], host)
        self.assertEqual(child["rect"], self.session.window(host)["client"])

        self.session.post(host, "WM_CLOSE")
        self.assertEqual(self.session.wait_process_exit(host_proc, timeout=30), 0)
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)

        # A window that does not exist: nothing to draw into.
        proc = self.session.start(SAVER, "/p", str(host))
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 1)
        self.assertEqual(self.session.matching_windows(class_=SAVER_CLASS, visible=None), [])


class ActiveXStandInTest(SampleProgramCase):

    def test_says_nothing_to_update_and_adds_a_trace_line_per_run(self):
        installer = self.session.temp_folder() + "\\Install.exe"
        self.session.put_file(program("Install.exe"), installer)
        for run in (1, 2):
            with self.subTest(run=run):
                started = datetime.datetime.now().replace(microsecond=0)
                proc = self.session.start(installer)
                box = self.wait_box(ACTIVEX_CAPTION)
                self.assertEqual((box["text"], box["icon"], box["buttons"]),
                                 (ACTIVEX_TEXT, "information", ["OK"]))

                with open(self.session.find_host_path(ACTIVEX_TRACE), "rb") as f:
                    data = f.read().decode("ascii")
                self.assertTrue(data.endswith("\r\n"), data)
                lines = data[:-2].split("\r\n")
                self.assertEqual(len(lines), run, data)
                match = TRACE_LINE.match(lines[-1])
                self.assertIsNotNone(match, lines[-1])
                when = datetime.datetime.strptime(match.group(1), "%Y-%m-%d %H:%M:%S")
                self.assertLessEqual(abs((when - started).total_seconds()), 300, lines[-1])

                self.answer(box, "OK")
                self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)


class UninstallerTest(SampleProgramCase):

    def install(self, screensaver="Aurora.scr", info_file=True):
        """What the setup program leaves: the screensaver, the uninstaller
        copy named after it, the information file and the uninstall entry."""
        self.session.put_file(program("Aurora.scr"), WINDOWS + "\\" + screensaver)
        self.session.put_file(program("Lmunist.exe"), UNINSTALLER)
        if info_file:
            self.write_file(INFO_FILE, ("%s\r\n%s\r\n" % (screensaver, WINDOWS)).encode("ascii"))
        for name, data in (("DisplayName", "Aurora Uninstall"),
                           ("HelpLink", "http://www.lumora.example/corporate/software/lumora/index.html"),
                           ("Publisher", "Quillon Computers Ltd"),
                           ("UninstallString", UNINSTALLER),
                           ("UrlinfoAbout", "http://www.lumora.example")):
            self.reg_add(UNINSTALL_KEY, name, data)

    def reg_add(self, key, name, data):
        rc, out = self.session.run("reg", "add", key, "/v", name, "/d", data, "/f")
        self.assertEqual(rc, 0, out)

    def finishers(self):
        return [p for p in self.session.processes() if p["exe"].lower().startswith(FINISHER_PREFIX)]

    def pending_removals(self):
        """The files the system is to delete at the next restart, lower case."""
        data = self.session.reg_query(PENDING_KEY, "PendingFileRenameOperations") or ""
        return [entry[4:].lower() for entry in data.split("\\0") if entry.startswith("\\??\\")]

    def run_uninstaller(self, *args):
        """Starts the uninstaller copy; with "/y" it asks nothing. Returns the
        process after it has ended (it hands the removal to its finisher)."""
        proc = self.session.start(UNINSTALLER, *args)
        if "/y" not in args:
            box = self.wait_box(UNINSTALL_CAPTION)
            self.assertEqual((box["text"], box["icon"], box["buttons"]),
                             (CONFIRM_TEXT, "question", ["&Yes", "&No"]))
            self.answer(box, "&Yes")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        return proc

    def read_report(self):
        """The finisher's closing box, answered; returns it."""
        finisher = wait_for(self.finishers, 60, "the finisher")[0]
        box = self.wait_box(UNINSTALL_CAPTION, pid=finisher["pid"])
        self.answer(box, "OK")
        wait_for(lambda: not self.finishers(), 30, "the finisher to end")
        return box

    def test_yes_removes_screensaver_info_file_entry_and_itself(self):
        self.install()
        self.run_uninstaller()
        report = self.read_report()
        self.assertEqual((report["text"], report["icon"]), (REMOVED_TEXT, "information"))
        for path in (SAVER, INFO_FILE, UNINSTALLER):
            self.assertFalse(self.exists(path), "%s is still there" % path)
        self.assertIsNone(self.session.reg_query(UNINSTALL_KEY))
        # The finisher ran from the temporary folder; its file goes at the next restart.
        temp = self.session.temp_folder().lower() + "\\" + FINISHER_PREFIX
        self.assertTrue([p for p in self.pending_removals() if p.startswith(temp)], self.pending_removals())
        self.assertTrue(self.exists(WINDOWS + "\\notepad.exe"), "a file of the system went too")

    def test_no_leaves_everything(self):
        self.install()
        proc = self.session.start(UNINSTALLER)
        box = self.wait_box(UNINSTALL_CAPTION)
        self.answer(box, "&No")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        self.assertEqual(self.finishers(), [])
        for path in (SAVER, INFO_FILE, UNINSTALLER):
            self.assertTrue(self.exists(path), "%s has gone" % path)
        self.assertEqual(self.session.reg_query(UNINSTALL_KEY, "Publisher"), "Quillon Computers Ltd")

    def test_screensaver_is_the_one_the_info_file_names(self):
        # The information file names Aurora.sav: that one goes, Aurora.scr stays.
        self.install(screensaver="Aurora.sav")
        self.session.put_file(program("Aurora.scr"), SAVER)
        self.run_uninstaller("/y")
        self.assertEqual(self.read_report()["text"], REMOVED_TEXT)
        self.assertFalse(self.exists(WINDOWS + "\\Aurora.sav"))
        self.assertTrue(self.exists(SAVER))

        # Without an information file the name follows the uninstaller's: Aurora.scr.
        self.install(info_file=False)
        self.run_uninstaller("/y")
        self.assertEqual(self.read_report()["text"], REMOVED_TEXT)
        self.assertFalse(self.exists(SAVER))
        self.assertFalse(self.exists(UNINSTALLER))

    def test_report_lists_what_is_left(self):
        self.install()
        # A screensaver held open cannot be deleted now; an entry with a
        # subkey cannot be deleted at all.
        self.session.hold(SAVER, "r", "r")
        self.reg_add(UNINSTALL_KEY + "\\Extra", "Note", "kept")
        self.run_uninstaller("/y")
        report = self.read_report()
        self.assertEqual(report["icon"], "warning")
        self.assertEqual(report["text"], "\n".join([
            PARTLY_REMOVED_TEXT, "", "Could not be removed:", UNINSTALL_KEY_SHOWN, "",
            "Will be removed when Windows restarts:", SAVER]))
        self.assertIn(SAVER.lower(), self.pending_removals())
        self.assertFalse(self.exists(INFO_FILE))
        self.assertFalse(self.exists(UNINSTALLER))
        self.assertEqual(self.session.reg_query(UNINSTALL_KEY, "Publisher"), "Quillon Computers Ltd")

    def test_nothing_to_remove_beside_the_unrenamed_program(self):
        # Lmunist.exe where no screensaver Lmunist is installed: it says so,
        # removes nothing and stays.
        folder = self.session.temp_folder()
        path = folder + "\\Lmunist.exe"
        self.session.put_file(program("Lmunist.exe"), path)
        proc = self.session.start(path)
        box = self.wait_box("Lmunist Uninstall")
        self.assertEqual((box["text"], box["icon"], box["buttons"]),
                         ("The screensaver Lmunist is not installed in %s. There is nothing to remove." % folder,
                          "information", ["OK"]))
        self.answer(box, "OK")
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        self.assertTrue(self.exists(path))
        self.assertEqual(self.finishers(), [])


if __name__ == "__main__":
    e2ecase.main()
