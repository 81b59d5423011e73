#!/usr/bin/env python3
"""The sample installer's main window under Wine: shown maximised, not
closed by Alt+F4, closed through its system menu with the exit code of a
cancelled run."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2ecase  # noqa: E402
from driversession import MENU_CLASS  # noqa: E402
from installer import EXIT_CANCELLED, MAIN_TITLE, Installer  # noqa: E402
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, WineError, wait_for  # noqa: E402


def x_geometry(session, x_window):
    values = {}
    for line in session.xdotool("getwindowgeometry", "--shell", x_window).splitlines():
        name, _, value = line.partition("=")
        values[name] = int(value)
    return values


class MainWindowTest(e2ecase.SessionTestCase):

    def start_sample(self):
        sample = self.require_file(e2ecase.PATHS.sample, "The sample installer")
        return Installer(self.session, sample, "sample-setup.exe").start()

    def test_sample_shows_maximised_main_window(self):
        installer = self.start_sample()
        main = installer.wait_main_window()

        screen = self.session.screen()
        self.assertEqual((screen["width"], screen["height"]), (SCREEN_WIDTH, SCREEN_HEIGHT))
        # Showing and maximising may reach the window list as two steps.
        seen = [main]

        def maximised():
            seen[0] = self.session.window(main["hwnd"])
            left, top, right, bottom = seen[0]["rect"]
            return (seen[0]["zoomed"] and left <= 0 and top <= 0
                    and right >= SCREEN_WIDTH and bottom >= SCREEN_HEIGHT)

        try:
            wait_for(maximised, 30, "the main window to be maximised", interval=0.25)
        except WineError:
            self.fail("the main window is not maximised over the screen: zoomed %s, rect %s"
                      % (seen[0]["zoomed"], seen[0]["rect"]))

        # The X server sees the same: a window of that name covering the desktop.
        x_window = self.session.wait_window(MAIN_TITLE, timeout=30)
        geometry = x_geometry(self.session, x_window)
        self.assertLessEqual(geometry["X"], 0)
        self.assertLessEqual(geometry["Y"], 0)
        self.assertGreaterEqual(geometry["X"] + geometry["WIDTH"], SCREEN_WIDTH)
        self.assertGreaterEqual(geometry["Y"] + geometry["HEIGHT"], SCREEN_HEIGHT)

        self.session.wait_idle()
        self.screenshot("main-window")
        installer.check_running()

    def test_alt_f4_leaves_main_window_open(self):
        session = self.session
        installer = self.start_sample()
        main = installer.wait_main_window()

        # The same Alt+F4 closes an ordinary window: the keys do arrive.
        probe, _ = session.probe_window("Alt+F4 reference")
        session.key(session.wait_window("Alt+F4 reference", timeout=30), "alt+F4")
        self.assertEqual(session.wait_process_exit(probe, timeout=30), 0)

        # Alt+F4 and then Alt+Space to the installer. Its window menu opening
        # shows that the installer has handled the keys typed after Alt+F4.
        x_window = session.wait_window(MAIN_TITLE, timeout=30)
        session.key(x_window, "alt+F4")
        session.xdotool("key", "alt+space")

        def window_menu():
            installer.check_running()
            return session.find_window(class_=MENU_CLASS, pid=installer.pid)

        menu = wait_for(window_menu, 30, "the window menu of the installer", interval=0.25)
        self.screenshot("window-menu")
        installer.check_running()
        after = session.window(main["hwnd"])
        self.assertIsNotNone(after, "Alt+F4 destroyed the main window")
        self.assertTrue(after["visible"], "Alt+F4 hid the main window")

        # Close from the window menu: the program ends, nothing installed.
        session.xdotool("key", "c")
        session.wait_window_gone(menu["hwnd"], timeout=30)
        self.assertEqual(installer.wait_exit(timeout=60), EXIT_CANCELLED)


if __name__ == "__main__":
    e2ecase.main()
