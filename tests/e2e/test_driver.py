#!/usr/bin/env python3
"""The test driver against windows of known content, so that the checks the
installer's tests make with it cannot pass for want of seeing anything:
message box texts, icons and buttons, clicks and keys by system input, and
the signs of a crash."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
import e2ecase  # noqa: E402
from driversession import centre, walk  # noqa: E402
from wineenv import wait_for  # noqa: E402

IDOK = 1
IDNO = 7


class DriverTest(e2ecase.SessionTestCase):

    def show_box(self, icon, caption, text, buttons="ok"):
        proc = self.session.start_driver("message-box", icon, caption, text, buttons)
        box = self.session.wait_for_window(caption, timeout=60)
        box = self.session.settled_message_box(box["hwnd"], has_icon=icon != "none")
        return proc, box

    def pressed(self, proc):
        self.assertEqual(self.session.wait_process_exit(proc, timeout=30), 0)
        return self.session.started_output(proc)["pressed"]

    def test_reads_message_box_text_icon_and_buttons(self):
        # One box at a time: the icon is read from the screen, and boxes
        # centred on the screen would cover each other.
        for icon in ("error", "warning", "information", "question"):
            with self.subTest(icon=icon):
                caption = "Box with %s icon" % icon
                text = "Line one of the %s box.\nLine two." % icon
                proc, box = self.show_box(icon, caption, text)
                self.assertEqual(box["caption"], caption)
                self.assertEqual(box["text"], text)
                self.assertEqual(box["icon"], icon)
                self.assertEqual(box["buttons"], ["OK"])
                self.session.press_button(caption, "OK")
                self.assertEqual(self.pressed(proc), IDOK)

    def test_box_without_icon_is_not_taken_for_one(self):
        proc, box = self.show_box("none", "Plain box", "No icon here.")
        self.assertNotIn(box["icon"], ("error", "warning", "information", "question"))
        self.session.press_button("Plain box", "OK")
        self.assertEqual(self.pressed(proc), IDOK)

    def test_click_and_key_by_system_input(self):
        # A click at the centre of the OK button, as the mouse would.
        proc, box = self.show_box("information", "Click me", "Press OK.")
        window = self.session.window(box["hwnd"])
        ok = [w for w in walk(window) if w["class"].lower() == "button" and w["text"] == "OK"][0]
        x, y = centre(ok["client"])
        left, top = window["client"][0], window["client"][1]
        self.session.activate(box["hwnd"])
        self.session.click_at(box["hwnd"], int(x - left), int(y - top))
        self.assertEqual(self.pressed(proc), IDOK)

        # The access key of "&No", typed to the foreground box.
        proc, box = self.show_box("question", "Type to me", "Answer no.", "yesno")
        self.assertEqual(box["buttons"], ["&Yes", "&No"])
        self.session.activate(box["hwnd"])
        self.session.key_input("n")
        self.assertEqual(self.pressed(proc), IDNO)

    def test_screen_pixels_and_window_rects_agree(self):
        _, hwnd = self.session.probe_window("Pixel probe")
        self.session.wait_for_window("Pixel probe")
        self.session.wait_idle()
        window = self.session.window(hwnd)
        inside = self.session.screen_pixels(window["client"])
        width, height = window["client"][2] - window["client"][0], window["client"][3] - window["client"][1]
        self.assertEqual((len(inside[0]), len(inside)), (width, height))
        self.assertEqual(len({p for row in inside for p in row}), 1, "the empty client area is not one colour")
        left, _, right, bottom = window["rect"]
        below = self.session.screen_pixels([left, bottom, right, bottom + 4])
        self.assertNotIn(inside[0][0], {p for row in below for p in row},
                         "the desktop below the window has the window's colour")
        path = self.session.screenshot_rect(window["client"], os.path.join(self.artifacts, "client.png"))
        self.assertTrue(os.path.getsize(path) > 0)

    def test_sees_a_crash(self):
        self.assertEqual(self.session.crash_signs(), [])
        self.session.start_driver("crash")

        def both_signs():
            signs = self.session.crash_signs()
            return signs if len(signs) == 2 else None

        signs = wait_for(both_signs, 60, "the crash handler and its window", interval=0.25)
        self.screenshot("crash")
        self.assertIn("winedbg.exe", signs[0])
        self.assertIn("Program Error", signs[1])


if __name__ == "__main__":
    e2ecase.main()
