#!/usr/bin/env python3
"""Installers whose payload trailer leads nowhere, and an installer that
cannot open its own file, run under Wine: each shows the damaged-setup
message alone, shows no window, and ends with the exit code of a damaged
payload."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2ecase  # noqa: E402
from driversession import DriverError, centre  # noqa: E402
from installer import (CORRUPTED_TEXT, ERROR_CAPTION, EXIT_DAMAGED, MAIN_TITLE, Installer,  # noqa: E402
                       with_trailer)
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, wait_for  # noqa: E402


class PayloadTrailerTest(e2ecase.SessionTestCase):

    def stub_with_trailer(self, name, offset):
        stub = self.require_file(e2ecase.PATHS.stub, "The installer stub")
        copy = os.path.join(self.artifacts, name)
        with_trailer(stub, copy, offset)
        return Installer(self.session, copy, name)

    def expect_damaged_setup_message_alone(self, installer, shot):
        """The installer shows the damaged-setup message and nothing else;
        OK on it ends the installer with the code of a damaged payload."""
        session = self.session
        pid = installer.pid

        def only_the_box():
            windows = session.windows()
            installer.check_running(windows)
            shown = session.matching_windows(pid=pid, windows=windows)
            boxes = session.message_boxes(pid=pid, windows=windows)
            others = [w["text"] for w in shown if w["hwnd"] not in [b["hwnd"] for b in boxes]]
            self.assertEqual(others, [], "windows shown besides the message box")
            return boxes

        boxes = wait_for(only_the_box, 90, "the damaged-setup message", interval=0.25)
        self.assertEqual(len(boxes), 1)
        box = session.settled_message_box(boxes[0]["hwnd"])
        self.screenshot(shot)
        self.assertEqual((box["caption"], box["text"], box["icon"], box["buttons"]),
                         (ERROR_CAPTION, CORRUPTED_TEXT, "error", ["OK"]))
        x, y = centre(box["rect"])
        self.assertAlmostEqual(x, SCREEN_WIDTH / 2.0, delta=2, msg="not centred on the screen")
        self.assertAlmostEqual(y, SCREEN_HEIGHT / 2.0, delta=2, msg="not centred on the screen")

        def no_main_window():
            if session.find_window(title=MAIN_TITLE, pid=pid) is not None:
                raise AssertionError("the main window was shown after the damaged-setup message")

        session.driver("click-button", box["hwnd"], "OK")
        self.assertEqual(installer.wait_exit(timeout=60, watch=no_main_window), EXIT_DAMAGED)

    def test_trailer_without_payload_behind_it(self):
        stub_size = os.path.getsize(self.require_file(e2ecase.PATHS.stub, "The installer stub"))
        cases = [
            ("at-end.exe", stub_size + 4),      # the end of the file itself
            ("beyond-end.exe", 0x7FFFFFF0),     # far behind the end
            ("negative.exe", 0xFFFFFFF0),       # -16: a position the system refuses
            ("most-negative.exe", 0x80000000),
        ]
        for name, offset in cases:
            with self.subTest(trailer=name):
                installer = self.stub_with_trailer(name, offset).start()
                self.expect_damaged_setup_message_alone(installer, os.path.splitext(name)[0])

    def test_own_file_not_readable_shows_damaged_setup_message(self):
        session = self.session
        installer = self.stub_with_trailer("held-setup.exe", 0)
        # Another process holds the file with delete access and shares only
        # reading: Wine can still load the program, but an open that does not
        # share deleting, as the installer's own open of its file, fails.
        holder = session.hold(installer.windows_path, "rd", "r")
        with self.assertRaises(DriverError, msg="the hold does not stop a shared read open") as refused:
            session.driver("hold", installer.windows_path, "r", "rw", 0)
        self.assertIn("system error 32", refused.exception.stderr)  # sharing violation

        installer.start()
        self.expect_damaged_setup_message_alone(installer, "damaged-setup-message")
        self.assertIsNone(holder.poll(), "the file was released before the installer ended")


if __name__ == "__main__":
    e2ecase.main()
