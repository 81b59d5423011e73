#!/usr/bin/env python3
"""The setup wizard under Wine, driven through keys and mouse clicks as a
user would: the first page by ShowReadMe, the read-me in the statements
memo, the target folder, the summary, the final page, leaving with and
without the question, and the layout of every page (kept as screenshots),
at 96 DPI and at the display scales of 125, 150 and 200 %.

The wizard's pages and controls are system windows, read through the test
driver; its push buttons are painted, so their captions are checked by what
their access keys do."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
from driversession import centre, walk  # noqa: E402
from installer import EXIT_CANCELLED, EXIT_INSTALLED, MAIN_TITLE, Installer  # noqa: E402
from wineenv import SCREEN_HEIGHT, SCREEN_WIDTH, wait_for  # noqa: E402

WIZARD_CLASS = "TSetupWiz"
WINDOWS_FOLDER = "C:\\windows"  # what Wine reports as the Windows folder
STATEMENTS = ("Please ensure you have read and in certain cases agreed with all the following statements if "
              "you disagree with any part of the statement please contact the software provider")
DEFAULT_FOLDER = "The directory shown below is the default installation directory for this screensaver."
CONFIGURED = "Setup is now configured with these options"
FINISH = ("Setup will now copy files, click finish to finalize the setup once setup is compleate it is "
          "recomended you re-start your computer but this is not necessary ")
LEAVE_QUESTION = (" Setup is not complete if you exit now this software program will not be installed "
                  "correctly")
READ_ME = b"Licence terms\r\nline two\nline three\rline four\r\n\r\nlast"
READ_ME_LINES = ["Licence terms", "line two", "line three", "line four", "", "last"]

# The push buttons, left, top, width, height in the wizard's client area.
BACK, FORWARD, LEAVE = (144, 247, 67, 26), (212, 247, 65, 26), (329, 247, 65, 26)
# The wizard's client size and each page's controls: class, text (None: an
# edit box's) and left, top, width, height on the page, at 96 DPI. Label4
# shows the target folder; Label9 takes the size of its text.
CLIENT_SIZE = (402, 275)
PAGE_BOUNDS = (0, 0, 401, 241)
LABEL9_PLACE = (8, 8)


def page_layout(label4):
    return {
        "1": [("Static", STATEMENTS, (8, 8, 385, 41)), ("Edit", None, (8, 64, 385, 177))],
        "2": [("Static", DEFAULT_FOLDER, (9, 16, 383, 13)), ("Button", "Path to install to", (8, 192, 385, 41)),
              ("Static", label4, (15, 209, 370, 14))],
        "4": [("Static", CONFIGURED, None), ("Edit", None, (8, 32, 385, 201))],
        "5": [("Static", FINISH, (8, 8, 385, 33))],
    }


def scaled(bounds, dpi):
    """Bounds at 96 DPI as the display at `dpi` shows them, unrounded."""
    return tuple(value * dpi / 96.0 for value in bounds)
WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME = 0x80000, 0x20000, 0x10000, 0x40000
WS_VSCROLL, SS_TYPEMASK, SS_CENTER = 0x200000, 0x1F, 0x1


class Wizard:
    """The wizard of one running installer, read afresh on every call."""

    def __init__(self, test, installer, main, title=MAIN_TITLE):
        self.test = test
        self.session = test.session
        self.installer = installer
        self.main = main
        self.x_main = self.session.wait_window(title, timeout=30)

    def window(self):
        self.installer.check_running()
        found = [w for w in walk(self.session.window(self.main["hwnd"])) if w["class"] == WIZARD_CLASS]
        self.test.assertEqual(len(found), 1, "one wizard inside the main window")
        return found[0]

    def pages(self, wizard=None):
        """{caption: page record}."""
        return {w["text"]: w for w in walk(wizard or self.window()) if w["class"] == "TPage"}

    def page(self):
        shown = [caption for caption, w in self.pages().items() if w["visible"]]
        self.test.assertEqual(len(shown), 1, "exactly one page shows")
        return shown[0]

    def controls(self, caption, class_):
        """The controls of one class on a page, in the order they were made."""
        return [w for w in walk(self.pages()[caption]) if w["class"] == class_]

    def label4(self):
        return self.controls("2", "Static")[1]["text"]

    def memo_lines(self, caption):
        text = self.controls(caption, "Edit")[0]["text"]
        return text.split("\r\n") if text else []

    def wait_page(self, caption):
        return wait_for(lambda: self.page() == caption, 30, "page %r" % caption, interval=0.25)

    def key(self, combo):
        self.session.key(self.x_main, combo)

    def click(self, button):
        left, top, width, height = button
        self.session.click_at(self.window()["hwnd"], left + width // 2, top + height // 2)

    def wait_box(self):
        """The leave question, once it shows; checks what it shows."""
        def box():
            self.installer.check_running()
            return self.session.message_boxes(pid=self.installer.pid)
        boxes = wait_for(box, 30, "the leave question", interval=0.25)
        self.test.assertEqual(len(boxes), 1)
        shown = self.session.settled_message_box(boxes[0]["hwnd"])
        self.test.assertEqual((shown["caption"], shown["text"], shown["icon"], shown["buttons"]),
                              ("Warning", LEAVE_QUESTION, "warning", ["&Yes", "&No"]))
        x, y = centre(shown["rect"])
        self.test.assertAlmostEqual(x, SCREEN_WIDTH / 2.0, delta=2, msg="the question is not centred")
        self.test.assertAlmostEqual(y, SCREEN_HEIGHT / 2.0, delta=2, msg="the question is not centred")
        return shown

    def wait_box_gone(self, box):
        self.session.wait_window_gone(box["hwnd"], timeout=30)

    def wait_exit_without_boxes(self, code=EXIT_CANCELLED):
        def no_box():
            boxes = self.session.message_boxes(pid=self.installer.pid)
            if boxes:
                raise AssertionError("a message box on leaving: %r" % boxes[0]["text"])
        self.test.assertEqual(self.installer.wait_exit(timeout=60, watch=no_box), code)


class WizardPagesTest(e2ecase.SessionTestCase):

    def start(self, name, show_read_me, extra=()):
        staging = os.path.join(self.artifacts, name + ".files")
        os.makedirs(staging, exist_ok=True)
        read_me = os.path.join(staging, "ReadMe.txt")
        with open(read_me, "wb") as f:
            f.write(READ_ME)
        files = [read_me]
        for stand_in in extra:
            path = os.path.join(staging, stand_in)
            with open(path, "wb") as f:
                f.write(b"MZ stand-in for " + stand_in.encode())
            files.append(path)
        path = payloads.installer_with(e2ecase.PATHS, self.artifacts, name,
                                       payloads.settings(ShowReadMe=show_read_me, ReadMeFile="ReadMe.txt"),
                                       files)
        installer = Installer(self.session, path, name).start()
        main = installer.wait_main_window()
        self.session.wait_idle()
        return Wizard(self, installer, main)

    def wizard_windows(self, wizard):
        """The wizard's record, its client size, and {page: [(class, text,
        bounds in the wizard's client area)]} of the page itself (first) and
        its controls; checks that the wizard has no border icons and is
        centred by the screen's size, as a position in the MDI client."""
        window = wizard.window()
        self.assertEqual(window["text"], "Setup Wizard")
        self.assertFalse(window["style"] & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                         "the wizard has border icons or a sizing border")
        left, top, right, bottom = window["client"]
        client = [w for w in walk(self.session.window(wizard.main["hwnd"])) if w["class"] == "MDIClient"][0]
        width, height = window["rect"][2] - window["rect"][0], window["rect"][3] - window["rect"][1]
        self.assertEqual(window["rect"][0] - client["client"][0], SCREEN_WIDTH // 2 - width // 2)
        self.assertEqual(window["rect"][1] - client["client"][1], SCREEN_HEIGHT // 2 - height // 2)

        def bounds(w):
            return (w["rect"][0] - left, w["rect"][1] - top, w["rect"][2] - w["rect"][0],
                    w["rect"][3] - w["rect"][1])

        pages = wizard.pages(window)
        self.assertEqual(sorted(pages), ["1", "2", "4", "5"])
        seen = {caption: [(w["class"], w["text"] if w["class"] != "Edit" else None, bounds(w)) for w in walk(page)]
                for caption, page in pages.items()}
        return window, (right - left, bottom - top), seen

    def check_layout(self, wizard):
        """The wizard's window and every control at its place, in pixels of
        the wizard's client area, with its exact text."""
        _, size, seen = self.wizard_windows(wizard)
        self.assertEqual(size, CLIENT_SIZE)
        for caption, windows in seen.items():
            self.assertEqual(windows.pop(0), ("TPage", caption, PAGE_BOUNDS))
        label9 = seen["4"][0][2]
        expected = page_layout(wizard.label4())
        expected["4"][0] = ("Static", CONFIGURED, LABEL9_PLACE + label9[2:])
        self.assertEqual(seen, expected)
        self.assertGreater(label9[2], 100, "Label9 is sized to its text")
        memo1, memo2 = wizard.controls("1", "Edit")[0], wizard.controls("4", "Edit")[0]
        self.assertTrue(memo1["style"] & WS_VSCROLL)
        self.assertFalse(memo2["style"] & WS_VSCROLL)
        self.assertEqual(wizard.controls("5", "Static")[0]["style"] & SS_TYPEMASK, SS_CENTER)

    def assert_near(self, seen, exact, what):
        """Each of `seen` within a pixel of `exact`."""
        self.assertEqual(len(seen), len(exact), what)
        for got, want in zip(seen, exact):
            self.assertLessEqual(abs(got - want), 1, "%s: %s, not %s" % (what, seen, exact))

    def check_group_box_clean(self, wizard):
        """Nothing of the page shown before inside the folder page's group
        box: below its label only the page's colour, and its bottom frame
        lines each of one colour."""
        box = wizard.controls("2", "Button")[0]
        left, top, right, bottom = box["rect"]
        page = self.session.screen_pixels([left - 4, top + 20, left - 3, top + 21])[0][0]
        inside = self.session.screen_pixels([left + 3, bottom - 9, right - 3, bottom - 3])
        self.assertEqual({pixel for row in inside for pixel in row}, {page}, "something shows inside the group box")
        for row in self.session.screen_pixels([left + 4, bottom - 2, right - 4, bottom]):
            self.assertEqual(len(set(row)), 1, "the group box's frame is broken")

    def test_statements_page_with_the_read_me(self):
        wizard = self.start("readme-true.exe", "True")
        self.assertEqual(wizard.page(), "1")
        self.assertEqual(wizard.memo_lines("1"), READ_ME_LINES)
        self.assertEqual(wizard.label4(), "Test File")
        self.check_layout(wizard)
        self.screenshot("page-1")

        # Back does nothing on the first page; "&Yes" leads to the folder.
        wizard.key("alt+b")
        wizard.key("alt+y")
        wizard.wait_page("2")
        self.assertEqual(wizard.label4(), WINDOWS_FOLDER)
        self.session.wait_idle()
        self.check_group_box_clean(wizard)
        self.screenshot("page-2")
        # Back to the statements, which keep the read-me; "&No" ends at once.
        wizard.click(BACK)
        wizard.wait_page("1")
        self.assertEqual(wizard.memo_lines("1"), READ_ME_LINES)
        wizard.key("alt+n")
        wizard.wait_exit_without_boxes()

    def test_folder_page_and_summary_without_statements(self):
        wizard = self.start("readme-false.exe", "False")
        self.assertEqual(wizard.page(), "2")
        self.assertEqual(wizard.label4(), WINDOWS_FOLDER)
        self.assertEqual(wizard.memo_lines("1"), [], "the read-me was loaded")

        # A press on the forward button released off it does not click,
        # Back does nothing here, and Ctrl+F4 does not close a wizard that
        # has no close box. The question that Alt+C brings up next shows that
        # all three have been handled (input is handled in order) and that
        # the leave button still reads "&Cancel".
        hwnd = wizard.window()["hwnd"]
        x, y = FORWARD[0] + 30, FORWARD[1] + 13
        self.session.driver("mouse", "down", hwnd, x, y)
        self.session.driver("mouse", "move", hwnd, x, y + 60)
        self.session.driver("mouse", "up", hwnd, x, y + 60)
        wizard.key("alt+b")
        wizard.key("ctrl+F4")
        wizard.key("alt+c")
        box = wizard.wait_box()
        self.assertEqual(wizard.page(), "2")
        # No and Escape leave everything as it was.
        self.session.driver("click-button", box["hwnd"], "&No")
        wizard.wait_box_gone(box)
        wizard.key("alt+c")
        box = wizard.wait_box()
        self.session.key(self.session.wait_window("Warning", timeout=30), "Escape")
        wizard.wait_box_gone(box)
        self.assertEqual(wizard.page(), "2")
        self.assertEqual(wizard.label4(), WINDOWS_FOLDER)

        wizard.click(FORWARD)
        wizard.wait_page("4")
        self.assertEqual(wizard.memo_lines("4"),
                         ["Setup Type:", "  Complete", " ", "Target Folder:", "  C:\\WINDOWS", " "])
        self.session.wait_idle()
        self.screenshot("page-4")
        # The read-only memo shows the page's button face, not the window
        # colour of an edit box.
        window = wizard.window()
        left, top = window["client"][0], window["client"][1]
        inside = self.session.screen_pixels([left + 300, top + 200, left + 301, top + 201])[0][0]
        beside = self.session.screen_pixels([left + 397, top + 200, left + 398, top + 201])[0][0]
        self.assertEqual(inside, beside)
        self.assertNotEqual(inside, (255, 255, 255))

        # Back to the folder and on again; then leave with Yes.
        wizard.click(BACK)
        wizard.wait_page("2")
        wizard.key("alt+n")
        wizard.wait_page("4")
        wizard.key("alt+c")
        box = wizard.wait_box()
        self.session.driver("click-button", box["hwnd"], "&Yes")
        self.assertEqual(wizard.installer.wait_exit(timeout=60), EXIT_CANCELLED)

    def test_other_values_keep_the_layouts_page_and_captions(self):
        for value in ("true", "other"):
            with self.subTest(ShowReadMe=value):
                wizard = self.start("readme-%s.exe" % value, value)
                self.assertEqual(wizard.page(), "2")
                self.assertEqual(wizard.label4(), "Test File")
                self.assertEqual(wizard.memo_lines("1"), [], "the read-me was loaded")
                self.screenshot("page-2-%s" % value)
                # The captions are "&Yes" and "&No": Alt+Y goes forward, and
                # on the summary Alt+N ends without a question.
                wizard.key("alt+y")
                wizard.wait_page("4")
                self.assertEqual(wizard.memo_lines("4")[4], "  TEST FILE")
                wizard.key("alt+n")
                wizard.wait_exit_without_boxes()

    def test_every_window_grows_with_the_display_scale(self):
        for dpi in (120, 144, 192):
            with self.subTest(dpi=dpi):
                self.session.use_dpi(dpi)
                wizard = self.start("scale-%d.exe" % dpi, "True")
                window, size, seen = self.wizard_windows(wizard)
                self.assert_near(size, scaled(CLIENT_SIZE, dpi), "client size")
                expected = page_layout(wizard.label4())
                expected["4"][0] = ("Static", CONFIGURED, None)
                for caption, windows in seen.items():
                    self.assert_near(windows.pop(0)[2], scaled(PAGE_BOUNDS, dpi), "page " + caption)
                    self.assertEqual([w[:2] for w in windows], [w[:2] for w in expected[caption]])
                    for (_, text, bounds), (_, _, layout) in zip(windows, expected[caption]):
                        # Label9 takes the size of its text.
                        want = scaled(layout or LABEL9_PLACE, dpi)
                        self.assert_near(bounds[:len(want)], want, text)
                # The painted buttons where accessibility clients find them.
                client = window["client"]
                buttons = self.session.driver("accessible", window["hwnd"])["children"][1:]
                self.assertEqual(len(buttons), 3)
                for button, layout in zip(buttons, (BACK, FORWARD, LEAVE)):
                    x, y, width, height = button["location"]
                    self.assert_near((x - client[0], y - client[1], width, height), scaled(layout, dpi),
                                     button["name"])
                self.screenshot("page-1-at-%d-dpi" % dpi)
                wizard.key("alt+y")
                wizard.wait_page("2")
                self.session.wait_idle()
                self.check_group_box_clean(wizard)
                self.screenshot("page-2-at-%d-dpi" % dpi)
                wizard.key("alt+c")
                self.session.driver("click-button", wizard.wait_box()["hwnd"], "&Yes")
                self.assertEqual(wizard.installer.wait_exit(timeout=60), EXIT_CANCELLED)

    def test_final_page_installs_each_time_it_is_reached(self):
        wizard = self.start("final.exe", "False", extra=["Aurora.scr", "Lmunist.exe", "Install.exe"])
        wizard.key("alt+n")
        wizard.wait_page("4")
        for round_ in (1, 2):
            # Forward on the summary shows the final page, then installs; the
            # installation's caution box on the NT family shows it ran.
            wizard.key("alt+n")
            caution = wait_for(lambda: wizard.session.message_boxes(pid=wizard.installer.pid), 60,
                               "the installation's caution", interval=0.25)[0]
            self.assertEqual(wizard.page(), "5")
            self.session.driver("click-button", caution["hwnd"], "OK")
            wizard.wait_box_gone(caution)
            # The stand-in Install.exe is no program, which only the log
            # says: the keys below reach the wizard, no box in between.
            self.assertIsNotNone(self.session.find_host_path("C:\\windows\\Aurora.scr"))
            if round_ == 1:
                self.session.wait_idle()
                self.screenshot("page-5")
                # Back: the summary as it was, forward reads "&Next >" again.
                wizard.key("alt+b")
                wizard.wait_page("4")
                self.assertEqual(wizard.memo_lines("4")[4], "  C:\\WINDOWS")
        # "&Finish" ends the program.
        wizard.key("alt+f")
        wizard.wait_exit_without_boxes(EXIT_INSTALLED)


if __name__ == "__main__":
    e2ecase.main()
