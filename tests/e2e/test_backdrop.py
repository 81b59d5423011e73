#!/usr/bin/env python3
"""The main window's backdrop under Wine, read from the screen: gradient
bands at sampled rows, a solid colour for any case of the flag, the work-space
colour without gradients, the picture at the top right, the white title over
its black shadow (also one set with the packing tool) and the footer's
corner. The wizard sits in the middle of the screen, so samples keep to the
sides."""
import os
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import payloads  # noqa: E402
from installer import EXIT_CANCELLED, Installer  # noqa: E402
from wineenv import wait_for  # noqa: E402

# The test picture: two flat halves, far from any gradient colour.
PICTURE_SIZE = (160, 100)
PICTURE_LEFT = (0, 255, 255)
PICTURE_RIGHT = (255, 0, 255)
JPEG_TOLERANCE = 12
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
SC_RESTORE = 0xF120
# Columns for band samples: left of the wizard, clear of the title's rows.
SAMPLE_X = (40, 150)


def single(value):
    """The value rounded to single precision."""
    return struct.unpack("f", struct.pack("f", value))[0]


def band_level(row, client_height):
    """The gradient component seen at a row of the MDI client: that of the
    last band covering the row. Band i spans T(i*step) - 1 to T((i+1)*step)
    + 1 (exclusive), step = client height / 63 in single precision, the
    products exact."""
    step = single(client_height / 63.0)
    level = None
    for i in range(64):
        if int(i * step) - 1 <= row < int((i + 1) * step) + 1:
            level = 255 - 4 * i
    return level


def make_picture(path):
    width, height = PICTURE_SIZE
    subprocess.run(["convert", "-size", "%dx%d" % (width // 2, height), "xc:rgb%s" % (PICTURE_LEFT,),
                    "-size", "%dx%d" % (width - width // 2, height), "xc:rgb%s" % (PICTURE_RIGHT,),
                    "+append", "-quality", "95", "-strip", path], check=True)
    return path


def neutral(colour):
    """White, grey or black."""
    return max(colour) - min(colour) <= 8


def near(actual, expected, tolerance):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class Screen:
    """One screenshot's pixels, read in the MDI client's coordinates."""

    def __init__(self, session, origin):
        result = subprocess.run(["import", "-display", session.env["DISPLAY"], "-window", "root",
                                 "-depth", "8", "rgb:-"], check=True, timeout=60, capture_output=True)
        self.data = result.stdout
        self.width = session.screen()["width"]
        self.origin = origin

    def at(self, x, y):
        i = ((self.origin[1] + y) * self.width + self.origin[0] + x) * 3
        return tuple(self.data[i:i + 3])

    def points(self, colour, left, top, right, bottom):
        return {(x, y) for y in range(top, bottom) for x in range(left, right) if self.at(x, y) == colour}


class BackdropTest(e2ecase.SessionTestCase):

    def start(self, name, **settings):
        """Starts an installer of the sample's settings with `settings`
        changed, the test picture as flat.jpg and, by default, shown; waits
        for its painted main window."""
        picture = make_picture(os.path.join(self.artifacts, "flat.jpg"))
        extra = [picture]
        damaged = settings.pop("damaged_picture", False)
        if damaged:
            extra = [os.path.join(self.artifacts, "damaged", "flat.jpg")]
            os.makedirs(os.path.dirname(extra[0]), exist_ok=True)
            with open(picture, "rb") as f:
                data = f.read()
            with open(extra[0], "wb") as f:
                f.write(data[:2] + bytes(len(data) - 2))  # start of image, then zeros
        settings.setdefault("UseCustomImage", "False")
        settings.setdefault("ImageFile", "flat.jpg")
        staging = os.path.join(self.artifacts, name + ".files")
        os.makedirs(staging, exist_ok=True)
        files = [payloads.write_settings(staging, payloads.settings(**settings))] + extra
        path = payloads.pack(files, self.artifacts, name, e2ecase.PATHS.setuppack, e2ecase.PATHS.stub)
        return self.launch(path, name)

    def launch(self, path, name):
        """Starts the installer `path` as `name` and waits for its painted
        main window."""
        installer = Installer(self.session, path, name).start()
        self.installer = installer
        hwnd = installer.wait_main_window()["hwnd"]
        # The window may show at its designed size for a moment before it is
        # maximised.
        wait_for(lambda: self.session.window(hwnd)["zoomed"], 60, "the main window to be maximised")
        self.session.wait_idle()
        self.read_geometry(self.session.window(hwnd))
        return installer

    def read_geometry(self, main):
        """The main window's client size and outer rectangle, and the MDI
        client's client area on the screen."""
        mdi = [c for c in main["children"] if c["class"].lower() == "mdiclient"]
        self.assertEqual(len(mdi), 1, "no MDI client window")
        self.main = main
        self.client_width = main["client"][2] - main["client"][0]
        self.client_height = main["client"][3] - main["client"][1]
        self.mdi_size = (mdi[0]["client"][2] - mdi[0]["client"][0], mdi[0]["client"][3] - mdi[0]["client"][1])
        self.origin = (mdi[0]["client"][0], mdi[0]["client"][1])

    def settled_screen(self, shot, ready):
        """Waits until `ready(screen)` holds and the screen has settled; keeps
        the screenshot `shot`."""
        wait_for(lambda: ready(Screen(self.session, self.origin)), 60, "the backdrop of %s" % shot, interval=0.5)
        self.session.wait_idle()
        self.screenshot(shot)
        self.installer.check_running()
        self.assertEqual(self.session.message_boxes(pid=self.installer.pid), [])
        return Screen(self.session, self.origin)

    def sample_rows(self):
        return [60, 120, 250, 400, 555, self.mdi_size[1] - 40, self.mdi_size[1] - 1]

    def expect_bands(self, screen, channel):
        for y in self.sample_rows():
            for x in SAMPLE_X:
                expected = [0, 0, 0]
                expected[channel] = band_level(y, self.client_height)
                self.assertEqual(screen.at(x, y), tuple(expected), "row %d, column %d" % (y, x))

    def picture_rect(self):
        outer_width = self.main["rect"][2] - self.main["rect"][0]
        left = outer_width - PICTURE_SIZE[0] - 50
        return (left, 30, left + PICTURE_SIZE[0], 30 + PICTURE_SIZE[1])

    def expect_picture(self, screen, shown):
        left, top, right, bottom = self.picture_rect()
        middle = (top + bottom) // 2
        halves = [(left + (right - left) // 4, PICTURE_LEFT), (right - (right - left) // 4, PICTURE_RIGHT)]
        for x, colour in halves:
            self.assertEqual(near(screen.at(x, middle), colour, JPEG_TOLERANCE), shown,
                             "picture at (%d, %d): %s" % (x, middle, screen.at(x, middle)))
        # Its edges: the picture's own pixels just inside, the backdrop outside.
        self.assertEqual(near(screen.at(left, middle), PICTURE_LEFT, JPEG_TOLERANCE), shown)
        self.assertFalse(near(screen.at(left - 2, middle), PICTURE_LEFT, JPEG_TOLERANCE))
        self.assertEqual(near(screen.at(right - 1, bottom - 1), PICTURE_RIGHT, JPEG_TOLERANCE), shown)
        self.assertFalse(near(screen.at(right - 1, bottom + 1), PICTURE_RIGHT, JPEG_TOLERANCE))
        self.assertFalse(near(screen.at(right + 1, middle), PICTURE_RIGHT, JPEG_TOLERANCE))

    def expect_title(self, screen):
        """White title from (8, 8); the same shape in black 4 pixels right
        and below, hidden where the white covers it."""
        right = min(700, self.mdi_size[0])
        white = screen.points(WHITE, 0, 0, right, 70)
        black = screen.points(BLACK, 0, 0, right, 70)
        self.assertGreater(len(white), 300, "no white title")
        self.assertGreater(len(black), 100, "no black shadow")
        self.assertTrue(8 <= min(x for x, _ in white) <= 14 and 8 <= min(y for _, y in white) <= 20,
                        "the title does not start near (8, 8)")
        self.assertEqual(min(x for x, _ in black) - min(x for x, _ in white), 4)
        self.assertEqual(min(y for _, y in black) - min(y for _, y in white), 4)
        # Glyph edges are smoothed: fully covered pixels are pure white or
        # black, and white over black at an edge gives a grey.
        self.assertEqual([p for p in black if (p[0] - 4, p[1] - 4) not in white], [],
                         "shadow pixels without title pixels 4 up and left")
        self.assertEqual([p for p in white if not neutral(screen.at(p[0] + 4, p[1] + 4))], [],
                         "title pixels without shadow 4 down and right")

    def expect_footer(self, screen):
        """White footer ending left of and above its reference point x =
        client width - (client width div w) - 5, y = client height - 6."""
        width, height = self.mdi_size
        white = screen.points(WHITE, width - 400, height - 40, width, height)
        self.assertGreater(len(white), 10, "no footer")
        right = max(x for x, _ in white) + 1
        text_width = right - min(x for x, _ in white)
        # The text's advance width is its inked width plus a little bearing.
        places = {self.client_width - self.client_width // w - 5 for w in range(text_width, text_width + 4)}
        self.assertTrue(any(p - 3 <= right <= p for p in places),
                        "footer ends at %d, expected just left of one of %s" % (right, sorted(places)))
        bottom = max(y for _, y in white) + 1
        self.assertTrue(self.client_height - 6 - 6 <= bottom <= self.client_height - 6,
                        "footer bottom %d" % bottom)

    def test_red_gradient_with_picture_title_and_footer(self):
        self.start("red-setup.exe", GradientRed=255)
        screen = self.settled_screen(
            "red", lambda s: s.at(SAMPLE_X[0], 250) == (band_level(250, self.client_height), 0, 0))
        self.expect_bands(screen, 0)
        self.expect_picture(screen, shown=True)
        self.expect_title(screen)
        self.expect_footer(screen)

    def test_green_gradient_paints_over_red(self):
        self.start("green-setup.exe", GradientRed=255, GradientGreen=1)
        screen = self.settled_screen("green-over-red", lambda s: s.at(SAMPLE_X[0], 250)[1] > 0)
        self.expect_bands(screen, 1)

    def test_blue_gradient_with_a_narrow_footer(self):
        # "ii" fits many times into the width: the footer ends far left of
        # the corner.
        self.start("blue-setup.exe", GradientRed=0, GradientBlue=7, FooterText="ii")
        screen = self.settled_screen("blue", lambda s: s.at(SAMPLE_X[0], 250)[2] > 0)
        self.expect_bands(screen, 2)
        self.expect_footer(screen)

    def test_resized_window_draws_the_whole_backdrop_anew(self):
        self.start("resize-setup.exe", GradientRed=255)
        self.settled_screen("maximised", lambda s: s.at(SAMPLE_X[0], 250)[0] > 0)
        self.session.post(self.main["hwnd"], "WM_SYSCOMMAND", SC_RESTORE, 0)
        wait_for(lambda: not self.session.window(self.main["hwnd"])["zoomed"], 30, "the window to be restored")
        self.session.wait_idle()
        self.read_geometry(self.session.window(self.main["hwnd"]))
        self.assertLess(self.client_height, 400)
        # The lowest rows get the darkest bands of the smaller window, the
        # picture moves with the window's width.
        bottom = self.mdi_size[1] - 1
        screen = self.settled_screen(
            "restored", lambda s: s.at(SAMPLE_X[0], bottom) == (band_level(bottom, self.client_height), 0, 0))
        for y in (60, self.mdi_size[1] // 2, bottom):
            self.assertEqual(screen.at(SAMPLE_X[0], y), (band_level(y, self.client_height), 0, 0), "row %d" % y)
        self.expect_picture(screen, shown=True)
        self.expect_title(screen)

    def test_solid_colour_for_any_case_of_the_flag(self):
        colours = {"true": (0x12, 0x34, 0x56), "True": (0x80, 0xC0, 0x20), "TRUE": (0x40, 0x00, 0xA0)}
        for flag, (red, green, blue) in colours.items():
            with self.subTest(flag=flag):
                self.start("solid-%s-setup.exe" % flag, SolidBackground=flag,
                           SolidColor=red | green << 8 | blue << 16)
                screen = self.settled_screen("solid-" + flag, lambda s: s.at(SAMPLE_X[0], 250) == (red, green, blue))
                width, height = self.mdi_size
                for x, y in [(0, 75), (SAMPLE_X[1], 300), (0, height - 1), (width - 1, height - 1), (width - 1, 200)]:
                    self.assertEqual(screen.at(x, y), (red, green, blue), "at (%d, %d)" % (x, y))
                self.expect_picture(screen, shown=True)
                self.session.post(self.main["hwnd"], "WM_CLOSE")
                self.assertEqual(self.installer.wait_exit(timeout=60), EXIT_CANCELLED)

    def test_work_space_colour_without_gradients(self):
        value = self.session.reg_query("HKCU\\Control Panel\\Colors", "AppWorkSpace")
        self.assertIsNotNone(value, "the prefix names no work-space colour")
        work_space = tuple(int(part) for part in value.split())
        self.start("plain-setup.exe", GradientRed=0)
        screen = self.settled_screen("work-space", lambda s: s.at(SAMPLE_X[0], 250) == work_space)
        for y in self.sample_rows():
            self.assertEqual(screen.at(SAMPLE_X[1], y), work_space, "row %d" % y)
        self.expect_picture(screen, shown=True)
        self.expect_title(screen)

    def test_title_set_by_the_packing_tool(self):
        """setuppack settings -o, then build, then the installer: its title
        is drawn as the same title in a Setup.ins written by hand."""
        title = "Quillon Night Sky"
        setuppack = e2ecase.PATHS.setuppack
        written = os.path.join(self.artifacts, "Setup.ins")
        subprocess.run([setuppack, "settings", "--set", "TitleText=" + title, "--set", "ScreenSaverFile=Aurora.scr",
                        "-o", written], check=True)
        authored = os.path.join(self.artifacts, "authored-setup.exe")
        files = [written] + [payloads.sample_file(e2ecase.PATHS, name)
                             for name in ("Aurora.scr", "Lmunist.exe", "Install.exe")]
        built = subprocess.run([setuppack, "build", "--stub", e2ecase.PATHS.stub, "-o", authored, *files],
                               capture_output=True, text=True)
        self.assertEqual((built.returncode, built.stderr), (0, ""))
        # The written file's defaults where they meet the title: a blue
        # gradient, no picture.
        staging = os.path.join(self.artifacts, "by-hand")
        os.makedirs(staging, exist_ok=True)
        by_hand = payloads.pack(
            [payloads.write_settings(staging, payloads.settings(TitleText=title, GradientRed=0, GradientBlue=255,
                                                                UseCustomImage="False", ImageFile="nil"))],
            self.artifacts, "by-hand-setup.exe", setuppack, e2ecase.PATHS.stub)

        titles = []
        for name, path in (("authored-setup.exe", authored), ("by-hand-setup.exe", by_hand)):
            self.launch(path, name)
            screen = self.settled_screen(
                name, lambda s: s.at(SAMPLE_X[0], 250) == (0, 0, band_level(250, self.client_height)))
            right = min(700, self.mdi_size[0])
            titles.append((screen.points(WHITE, 0, 0, right, 70), screen.points(BLACK, 0, 0, right, 70)))
            self.assertGreater(len(titles[-1][0]), 300, "no white title in %s" % name)
            self.session.post(self.main["hwnd"], "WM_CLOSE")
            self.assertEqual(self.installer.wait_exit(timeout=60), EXIT_CANCELLED)
        self.assertEqual(titles[0], titles[1], "the titles differ")

    def test_damaged_or_nil_picture_leaves_the_rest_of_the_backdrop(self):
        for case, settings in [("damaged", {"damaged_picture": True}), ("nil", {"ImageFile": "nil"})]:
            with self.subTest(case=case):
                self.start("%s-setup.exe" % case, GradientRed=255, **settings)
                screen = self.settled_screen(
                    case, lambda s: s.at(SAMPLE_X[0], 250) == (band_level(250, self.client_height), 0, 0))
                self.expect_bands(screen, 0)
                self.expect_picture(screen, shown=False)
                self.expect_title(screen)
                self.session.post(self.main["hwnd"], "WM_CLOSE")
                self.assertEqual(self.installer.wait_exit(timeout=60), EXIT_CANCELLED)


if __name__ == "__main__":
    e2ecase.main()
