"""A Wine session with the test driver (windriver.exe): reads the windows of
the programs in the prefix, their texts and message boxes, and drives them by
messages and by input.

Window records are the driver's JSON objects: hwnd, class, text, visible,
enabled, iconic, zoomed, rect and client ([left, top, right, bottom] in screen
coordinates), style, exstyle, pid and tid (Windows ids), id, parent, owner,
children, and for an icon static also icon ("error", "warning", ...).
"""
import json
import os
import subprocess
import time

import wineenv
from wineenv import WineError, wait_for

MESSAGE_BOX_CLASS = "#32770"
MENU_CLASS = "#32768"
CRASH_DIALOG_TITLE = "Program Error"
CRASH_HANDLER = "winedbg.exe"


class DriverError(WineError):
    """A driver command failed; `rc` and `stderr` tell why."""

    def __init__(self, args, rc, stderr):
        super().__init__("windriver %s: exit code %d: %s" % (" ".join(args), rc, stderr.strip()))
        self.rc = rc
        self.stderr = stderr


def walk(window):
    """The window and all its descendants, parents first."""
    yield window
    for child in window["children"]:
        yield from walk(child)


def _clip(rect):
    """The part of [left, top, right, bottom] that lies on the screen."""
    left, top, right, bottom = rect
    clipped = [max(left, 0), max(top, 0), min(right, wineenv.SCREEN_WIDTH), min(bottom, wineenv.SCREEN_HEIGHT)]
    if clipped[2] <= clipped[0] or clipped[3] <= clipped[1]:
        raise WineError("no part of %s is on the screen" % (rect,))
    return clipped


def _geometry(rect):
    left, top, right, bottom = rect
    return "%dx%d+%d+%d" % (right - left, bottom - top, left, top)


def centre(rect):
    return ((rect[0] + rect[2]) / 2.0, (rect[1] + rect[3]) / 2.0)


class DriverSession(wineenv.WineSession):
    """A WineSession that also runs the test driver `driver_exe` in its prefix."""

    def __init__(self, work_dir, driver_exe, name="session", **kwargs):
        super().__init__(work_dir, name=name, **kwargs)
        self.driver_exe = driver_exe

    # ----- the driver -------------------------------------------------------
    def driver(self, *args, timeout=60):
        """Runs one driver command and returns its JSON document."""
        args = [str(a) for a in args]
        rc, out, err = self.capture(self.driver_exe, *args, timeout=timeout)
        if rc != 0:
            raise DriverError(args, rc, err)
        try:
            return json.loads(out)
        except ValueError:
            raise WineError("windriver %s printed no JSON: %r %r" % (" ".join(args), out, err))

    def start_driver(self, *args):
        """Starts a driver command that keeps running (hold, window,
        message-box) and returns its process."""
        return self.start(self.driver_exe, *[str(a) for a in args])

    def started_output(self, proc, timeout=60):
        """Waits for the first JSON document that a started driver command
        prints and returns it."""
        def document():
            with open(proc.log_path, "rb") as log:
                for line in log.read().decode("utf-8", "replace").splitlines():
                    if line.startswith("{"):
                        return json.loads(line)
            if proc.poll() is not None:
                raise WineError("windriver ended (exit code %s) before it reported" % proc.returncode)
            return None
        return wait_for(document, timeout, "the driver's report")

    # ----- windows ----------------------------------------------------------
    def snapshot(self):
        """{"foreground": hwnd, "windows": every top-level window with its
        children}, read at one moment."""
        return self.driver("windows")

    def windows(self):
        """Every top-level window with its children."""
        return self.snapshot()["windows"]

    def window(self, hwnd):
        """One window's record, or None when it no longer exists."""
        try:
            return self.driver("windows", hwnd)["windows"][0]
        except DriverError as e:
            if e.rc == 1 and "no such window" in e.stderr:
                return None
            raise

    def find_window(self, title=None, class_=None, pid=None, visible=True):
        """The first top-level window that matches all given conditions, or
        None. `visible=None` matches hidden windows too."""
        found = self.matching_windows(title=title, class_=class_, pid=pid, visible=visible)
        return found[0] if found else None

    def matching_windows(self, title=None, class_=None, pid=None, visible=True, windows=None):
        result = []
        for w in self.windows() if windows is None else windows:
            if title is not None and w["text"] != title:
                continue
            if class_ is not None and w["class"] != class_:
                continue
            if pid is not None and w["pid"] != pid:
                continue
            if visible is not None and w["visible"] != visible:
                continue
            result.append(w)
        return result

    def wait_for_window(self, title, timeout=60, class_=None, pid=None):
        """Waits until a visible top-level window titled `title` exists and
        returns its record."""
        return wait_for(lambda: self.find_window(title=title, class_=class_, pid=pid), timeout,
                        "a window titled %r" % title, interval=0.25)

    def wait_window_gone(self, hwnd, timeout=60):
        wait_for(lambda: self.window(hwnd) is None, timeout, "window %s to go" % hwnd, interval=0.25)

    def window_texts(self, hwnd):
        """The texts of a window and all its descendants, parents first."""
        window = self.window(hwnd)
        if window is None:
            raise WineError("window %s does not exist" % hwnd)
        return [w["text"] for w in walk(window)]

    # ----- message boxes ----------------------------------------------------
    def read_message_box(self, box):
        """What a message box shows: caption, text, icon, button texts, rect."""
        statics = [w for w in walk(box) if w["class"].lower() == "static"]
        icons = [w for w in statics if "icon" in w]
        texts = [w["text"] for w in statics if "icon" not in w and w["text"]]
        return {
            "hwnd": box["hwnd"],
            "pid": box["pid"],
            "caption": box["text"],
            "text": "\n".join(texts),
            "icon": icons[0]["icon"] if icons else None,
            "buttons": [w["text"] for w in walk(box) if w["class"].lower() == "button" and w["visible"]],
            "rect": box["rect"],
        }

    def settled_message_box(self, hwnd, timeout=60, has_icon=True):
        """Reads a message box once it has been painted. Its icon is read
        from the screen, and a settled screen may still be one from before
        the box was drawn (a loaded machine paints late): a box `has_icon`
        is read again until its icon's pixels are one of the system's."""
        self.wait_idle()

        def painted():
            box = self.window(hwnd)
            if box is None:
                raise WineError("message box %s has gone" % hwnd)
            read = self.read_message_box(box)
            return read if read["icon"] != "unknown" or not has_icon else None
        return wait_for(painted, timeout, "message box %s to be painted" % hwnd, interval=0.25)

    def message_boxes(self, pid=None, windows=None):
        """The visible message boxes (dialogs with static texts), read."""
        return [self.read_message_box(w)
                for w in self.matching_windows(class_=MESSAGE_BOX_CLASS, pid=pid, windows=windows)]

    def press_button(self, dialog_title, text, timeout=60):
        """Waits for a visible top-level window titled `dialog_title` and
        presses its button labelled exactly `text`."""
        dialog = self.wait_for_window(dialog_title, timeout=timeout)
        self.driver("click-button", dialog["hwnd"], text)
        return dialog

    # ----- processes --------------------------------------------------------
    def processes(self):
        return self.driver("processes")["processes"]

    def windows_pid(self, exe_name, timeout=60):
        """Waits for a process of the file name `exe_name` and returns its
        Windows process id (the pid of its window records)."""
        def pid():
            for p in self.processes():
                if p["exe"].lower() == exe_name.lower():
                    return p["pid"]
            return None
        return wait_for(pid, timeout, "a process %s" % exe_name, interval=0.25)

    def crash_signs(self, windows=None):
        """Signs that a program of the prefix has crashed: a running crash
        handler, or its "Program Error" window. Empty when there are none."""
        signs = ["process %s (%d)" % (p["exe"], p["pid"]) for p in self.processes()
                 if p["exe"].lower() == CRASH_HANDLER]
        signs += ["window %r" % w["text"] for w in self.matching_windows(visible=None, windows=windows)
                  if CRASH_DIALOG_TITLE in w["text"]]
        return signs

    def wait_process_exit(self, proc, timeout=60, watch=None):
        """Waits for a started process to end and returns its exit code.
        `watch`, if given, is called about every half second meanwhile and may
        raise to stop the wait."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                return proc.wait(timeout=0.5)
            except subprocess.TimeoutExpired:
                pass
            if time.monotonic() > deadline:
                raise WineError("process %d did not end within %ss" % (proc.pid, timeout))
            if watch is not None:
                watch()

    # ----- helpers started in the prefix -----------------------------------
    def hold(self, windows_path, access, share):
        """Keeps `windows_path` open in a driver process with the given access
        and share letters (see windriver hold); returns that process once the
        file is open. The file is released when the process is stopped."""
        proc = self.start_driver("hold", windows_path, access, share)
        self.started_output(proc)
        return proc

    def probe_window(self, title):
        """Shows an ordinary window with default behaviour; returns (process,
        hwnd). The process ends with code 0 when the window is closed."""
        proc = self.start_driver("window", title)
        return proc, self.started_output(proc)["hwnd"]

    # ----- pixels -----------------------------------------------------------
    def screenshot_rect(self, rect, path):
        """Saves the part [left, top, right, bottom] of the screen as an image
        (clipped to the screen)."""
        rect = _clip(rect)
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root",
                        "-crop", _geometry(rect), "+repage", path],
                       check=True, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def screen_pixels(self, rect):
        """The pixels of the part [left, top, right, bottom] of the screen, as
        rows of (red, green, blue) tuples (clipped to the screen)."""
        rect = _clip(rect)
        width = rect[2] - rect[0]
        result = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root",
                                 "-crop", _geometry(rect), "-depth", "8", "rgb:-"],
                                check=True, timeout=60, capture_output=True)
        data = result.stdout
        pixels = [tuple(data[i:i + 3]) for i in range(0, len(data) - 2, 3)]
        return [pixels[row:row + width] for row in range(0, len(pixels), width)]

    # ----- input ------------------------------------------------------------
    def activate(self, hwnd):
        return self.driver("activate", hwnd)

    def click_at(self, hwnd, x, y):
        """A left click at client point (x, y) of the window, by system input."""
        return self.driver("click", hwnd, x, y)

    def key_input(self, combo):
        """A key with modifiers (e.g. "alt+F4") by system input, to the
        foreground window."""
        return self.driver("key", combo)

    def post(self, hwnd, message, wparam=0, lparam=0):
        return self.driver("post", hwnd, message, wparam, lparam)

    def send(self, hwnd, message, wparam=0, lparam=0):
        return self.driver("send", hwnd, message, wparam, lparam)["result"]

    def screen(self):
        return self.driver("screen")
