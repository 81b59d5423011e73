"""The installer as the end-to-end tests see it: its fixed texts, copies of
it placed in the prefix, and the wait for its main window with the message
boxes that may come before it."""
import glob
import os
import shutil
import struct

from wineenv import WineError, wait_for

MAIN_TITLE = "Setup Program"
ERROR_CAPTION = "Error"
CORRUPTED_TEXT = ("Caution this setup has been corrupted this could be due to a damaged download "
                  "please obtain a new copy and try again.")
SETTINGS_MISSING_TEXT = 'A critical file is missing please contact Support quoting : "SelfExtractErr 1"'
RESTORE_ERROR_PREFIX = "please contact technical quoting this ref number :"

FOLDER = "C:\\setup-tests"

# The installer's exit codes.
EXIT_INSTALLED, EXIT_CANCELLED, EXIT_DAMAGED, EXIT_RESTORE_FAILED, EXIT_COPY_FAILED, EXIT_OTHER, EXIT_DOWNGRADE = range(7)


def extraction_folders(session, temp=None):
    """The host paths of the installers' own folders in the temporary folder
    (or in the host folder `temp`), where each run restores its payload."""
    temp = temp or session.find_host_path(session.temp_folder())
    return glob.glob(os.path.join(temp, "Lumora-Setup-*")) if temp else []


def with_trailer(stub, target, offset):
    """Writes `stub` followed by a 4-byte little-endian trailer `offset`
    (taken modulo 2**32) to `target`."""
    shutil.copyfile(stub, target)
    with open(target, "ab") as f:
        f.write(struct.pack("<I", offset & 0xFFFFFFFF))


class Installer:
    """One installer file in the prefix, started at most once."""

    def __init__(self, session, source, name):
        self.session = session
        self.name = name
        self.windows_path = FOLDER + "\\" + name
        self.host_path = session.put_file(source, self.windows_path)
        self.proc = None
        self._pid = None
        self.boxes = []  # message boxes seen and dismissed, in order

    def start(self, *args, cwd=None):
        """Starts the installer with `args`, in the host folder `cwd` if one
        is given."""
        self.proc = self.session.start(self.windows_path, *args, cwd=cwd)
        return self

    @property
    def pid(self):
        """The installer's Windows process id."""
        if self._pid is None:
            self._pid = self.session.windows_pid(self.name)
        return self._pid

    def check_running(self, windows=None):
        """Raises AssertionError when the installer has ended or a crash
        handler has appeared."""
        if self.proc.poll() is not None:
            raise AssertionError("%s ended with exit code %d" % (self.name, self.proc.returncode))
        signs = self.session.crash_signs(windows)
        if signs:
            raise AssertionError("%s crashed: %s" % (self.name, ", ".join(signs)))

    def wait_main_window(self, timeout=90, accept_box=None, title=MAIN_TITLE):
        """Waits for the installer's visible main window (titled `title`, its
        English title by default) and returns its record. A message box that
        the installer shows on the way is passed
        to `accept_box`; when that returns true, the box is recorded in
        `self.boxes` and dismissed with OK, otherwise (or without
        `accept_box`) the wait fails with the box's text."""
        pid = self.pid

        def main_window():
            windows = self.session.windows()
            self.check_running(windows)
            for box in self.session.message_boxes(pid=pid, windows=windows):
                if accept_box is None or not accept_box(box):
                    raise AssertionError("unexpected message box %r: %r" % (box["caption"], box["text"]))
                self.boxes.append(box)
                self.session.driver("click-button", box["hwnd"], "OK")
                wait_for(lambda: self.session.window(box["hwnd"]) is None, 30,
                         "the message box to close", interval=0.25)
                return None
            found = self.session.matching_windows(title=title, pid=pid, windows=windows)
            return found[0] if found else None

        try:
            return wait_for(main_window, timeout, "the window %r of %s" % (title, self.name),
                            interval=0.25)
        except WineError as e:
            raise AssertionError(str(e))

    def wait_exit(self, timeout=60, watch=None):
        try:
            return self.session.wait_process_exit(self.proc, timeout, watch=watch)
        except WineError as e:
            raise AssertionError(str(e))
