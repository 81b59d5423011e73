"""An installer driven through its wizard to the installation steps and the
things those steps leave in the prefix: the copied files, the info file, the
uninstall entry, the ActiveX stand-in's trace, and the command line of the
screensaver registration, caught by a stand-in for the system's rundll32.

Under Wine a copy over C:\\windows\\system32\\rundll32.exe is not enough to
replace the program: Wine runs its own built-in rundll32 for that file name
unless the prefix's DLL overrides ask for the native one, so the stand-in
comes with the override "rundll32.exe" = "native"."""
import os
import re
import shutil
import subprocess

from installer import EXIT_INSTALLED, MAIN_TITLE, Installer
from test_wizard_pages import Wizard
from wineenv import wait_for

APP_TITLE = "Lumora Install Program"
CAUTION_CAPTION = "Warning"
CAUTION_TEXT = ("Caution for the installation of this screensaver to work  correctly in Windows 2000 or "
                "NT4 SP4+ (with IE4) you will need to install the ActiveX update that will prompt you next "
                "if you say no to this update the results may produce undesired effects")
ACTIVEX_EXE = "Install.exe"
ACTIVEX_CAPTION = "Lumora ActiveX update"
TRACE = "C:\\windows\\lumora-activex.log"
TRACE_LINE = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d Lumora ActiveX update: nothing to update$")
# A line of an earlier run, so that the trace exists before the installer starts.
EARLIER_TRACE = "2026-01-01 09:00:00 Lumora ActiveX update: nothing to update\r\n"

UNINSTALL_LIST = "HKLM\\Software\\Microsoft\\Windows\\currentversion\\uninstall"
ROOT_NAMES = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER"}
# Where an installer built with --per-user writes the Rand flag.
USER_RAND_KEY = "HKCU\\Software\\Lumora Screen Saver"
# The entry's values, sorted: the five of every entry and those added for
# deployment tools (the quiet uninstall, the icon and the size).
UNINSTALL_VALUES = ["DisplayIcon", "DisplayName", "EstimatedSize", "HelpLink", "Publisher", "QuietUninstallString",
                    "UninstallString", "UrlinfoAbout"]
# The values an installer with a product identity adds.
IDENTITY_VALUES = ["InstallDate", "InstallLocation", "LumoraProductId", "LumoraScreenSaver", "NoModify", "NoRepair"]
PUBLISHER = "Quillon Computers Ltd"
PRODUCT_PAGE_PATH = "/corporate/software/lumora/index.html"

RUNDLL32 = "C:\\windows\\system32\\rundll32.exe"
RECORD = "C:\\rundll32-record.txt"
DLL_OVERRIDES = "HKCU\\Software\\Wine\\DllOverrides"

# The wizard's forward button: left, top, width, height in its client area.
FORWARD = (212, 247, 65, 26)


def command_recorder(paths):
    """The command recorder of the Win32 installation suites, built in the
    same build tree as the sample installer."""
    build = os.path.dirname(os.path.dirname(os.path.abspath(paths.sample)))
    path = os.path.join(build, "tests", "windows", "wizard", "command_recorder.exe")
    if not os.path.isfile(path):
        raise AssertionError("the command recorder is missing: %s (has it been built?)" % path)
    return path


def replace_rundll32(test, paths):
    """Puts the command recorder in place of the prefix's rundll32; it writes
    what it was started with into RECORD. Call before the installer starts:
    the recorder finds RECORD in the environment it inherits."""
    session = test.session
    target = session.find_host_path(RUNDLL32)
    test.assertIsNotNone(target, "the prefix has no %s" % RUNDLL32)
    shutil.copyfile(command_recorder(paths), target)
    rc, out = session.run("reg", "add", DLL_OVERRIDES, "/v", "rundll32.exe", "/d", "native", "/f")
    test.assertEqual(rc, 0, out)
    session.env["LUMORA_RECORD"] = RECORD


def read_record(session):
    """(module file, command line, current folder) of the recorder's last
    run, or None when it has not run."""
    path = session.find_host_path(RECORD)
    if path is None:
        return None
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\n")
    if len(lines) != 4 or lines[3] != "":
        raise AssertionError("a damaged record: %r" % lines)
    return tuple(lines[:3])


def split_command_line(command_line):
    """(program, rest) of a command line whose program is in quotes, as
    Wine's ShellExecute writes it: '"PROGRAM" PARAMETERS' with one blank
    between the closing quote and the parameters as passed."""
    if not command_line.startswith('"'):
        raise AssertionError("the program is not quoted: %r" % command_line)
    end = command_line.index('"', 1)
    return command_line[1:end], command_line[end + 1:]


def write_trace(session, text):
    path = session.find_host_path(TRACE) or session.host_path(TRACE)
    with open(path, "wb") as f:
        f.write(text.encode("ascii"))


def trace_lines(session):
    """The lines of the ActiveX stand-in's trace ([] without the file)."""
    path = session.find_host_path(TRACE)
    if path is None:
        return []
    with open(path, "rb") as f:
        data = f.read().decode("ascii")
    if not data:
        return []
    if not data.endswith("\r\n"):
        raise AssertionError("the trace's last line has no CR LF: %r" % data)
    return data[:-2].split("\r\n")


def processes_named(session, exe):
    return [p for p in session.processes() if p["exe"].lower() == exe.lower()]


def uninstall_key(base, root="HKLM"):
    """The entry of the screensaver `base` in the list of HKLM, or of HKCU
    for an installation for the current user only."""
    return root + UNINSTALL_LIST[4:] + "\\" + base + " Uninstall"


def export_key(session, key):
    """The values of a registry key (HKLM\\...) as regedit exports them,
    {name: data} (in the escaped form of its files); None without the key.
    Unlike `reg query`, whose output is in the console's code page, the
    export keeps every letter."""
    exported = session.host_path("C:\\key.reg")
    if os.path.exists(exported):
        os.remove(exported)
    session.run("regedit", "/e", "C:\\key.reg", "HKEY_LOCAL_MACHINE\\" + key.split("\\", 1)[1])
    if not os.path.exists(exported):
        return None
    with open(exported, "rb") as f:
        data = f.read()
    text = data.decode("utf-16") if data[:2] == b"\xff\xfe" else data.decode("latin-1")
    return dict(re.findall(r'^"([^"]+)"="((?:[^"\\]|\\.)*)"', text, re.M))


def uninstall_subkeys(session, root="HKLM"):
    """The names of the keys in the uninstall list of HKLM (or HKCU), as
    `reg query` shows them: the last part of each key path."""
    listed = root + UNINSTALL_LIST[4:]
    rc, out = session.run("reg", "query", listed, timeout=60)
    if rc != 0:
        raise AssertionError("reg query %s: %s" % (listed, out))
    prefix = ROOT_NAMES[root] + "\\" + UNINSTALL_LIST.split("\\", 1)[1] + "\\"
    return [line.strip()[len(prefix):] for line in out.splitlines()
            if line.strip().lower().startswith(prefix.lower())]


def caption_pattern(session, wizard, button=FORWARD):
    """The dark pixels of a push button's caption, as points relative to
    their top-left corner: the same caption gives the same pattern whether
    the button looks raised or pressed (a pressed caption lies one pixel
    right and down)."""
    left, top = wizard.window()["client"][:2]
    x, y, width, height = button
    # Inside the two-pixel edge, whose shadows are not the caption.
    rows = session.screen_pixels([left + x + 2, top + y + 2, left + x + width - 2, top + y + height - 2])
    dark = {(i, j) for j, row in enumerate(rows) for i, pixel in enumerate(row) if max(pixel) < 80}
    if not dark:
        raise AssertionError("the button shows no caption")
    min_x = min(i for i, _ in dark)
    min_y = min(j for _, j in dark)
    return frozenset((i - min_x, j - min_y) for i, j in dark)


class SetupRun:
    """One installer started in the test's prefix, with its wizard."""

    def __init__(self, test, path=None, name=None, installer=None, title=MAIN_TITLE):
        """Starts the installer `path` as `name`, or takes one started
        already; waits for its wizard in the main window titled `title`."""
        self.test = test
        self.session = test.session
        self.installer = installer or Installer(self.session, path, name).start()
        main = self.installer.wait_main_window(title=title)
        self.session.wait_idle()
        self.wizard = Wizard(test, self.installer, main, title)

    def boxes(self):
        """The installer's visible message boxes."""
        self.installer.check_running()
        return self.session.message_boxes(pid=self.installer.pid)

    def wait_box(self, timeout=90):
        """The installer's one message box, once it has been painted."""
        boxes = wait_for(self.boxes, timeout, "a message box of the installer", interval=0.25)
        self.test.assertEqual(len(boxes), 1, [b["text"] for b in boxes])
        return self.session.settled_message_box(boxes[0]["hwnd"])

    def answer(self, box, button="OK"):
        self.session.driver("click-button", box["hwnd"], button)
        self.session.wait_window_gone(box["hwnd"], timeout=30)

    def wait_activex_box(self, timeout=90):
        """The ActiveX stand-in's box, shown by a process Install.exe."""
        def box():
            pids = [p["pid"] for p in processes_named(self.session, ACTIVEX_EXE)]
            found = [w for w in self.session.matching_windows(title=ACTIVEX_CAPTION) if w["pid"] in pids]
            return found[0] if found else None
        found = wait_for(box, timeout, "the box of %s" % ACTIVEX_EXE, interval=0.25)
        return self.session.settled_message_box(found["hwnd"])

    def dismiss_activex_box(self):
        """Answers the stand-in's box and waits for the stand-in to end."""
        box = self.wait_activex_box()
        self.answer(box)
        wait_for(lambda: not processes_named(self.session, ACTIVEX_EXE), 30, "%s to end" % ACTIVEX_EXE,
                 interval=0.25)
        return box

    def finish(self, code=EXIT_INSTALLED):
        """"&Finish" (Alt+F) on the final page ends the installer with the
        exit code `code` and no message box."""
        self.test.assertEqual(self.wizard.page(), "5")
        self.wizard.key("alt+f")
        self.wizard.wait_exit_without_boxes(code)


def run_to_caution(run):
    """From the folder page through the summary to the caution box of the
    installation steps; returns the box as shown."""
    run.wizard.wait_page("2")
    run.wizard.key("alt+n")
    run.wizard.wait_page("4")
    run.wizard.key("alt+n")
    return run.wait_box()


def install_through(run):
    """From the folder page to the end of the installation steps: the
    caution box and the ActiveX stand-in's box answered OK."""
    caution = run_to_caution(run)
    run.test.assertEqual((caution["caption"], caution["text"]), (CAUTION_CAPTION, CAUTION_TEXT))
    run.answer(caution)
    run.dismiss_activex_box()


def read_file(path):
    with open(path, "rb") as f:
        return f.read()




def user_programs_folder(session):
    """Where an installer built with --per-user installs: Wine 8 has no
    FOLDERID_UserProgramFiles, so "Programs" in the local application data,
    where Windows puts it."""
    return "C:\\users\\%s\\AppData\\Local\\Programs" % os.environ.get("USER", "root")


def exported_hklm(session):
    """HKEY_LOCAL_MACHINE whole, as regedit exports it: its lines, but the
    date that Wine's display driver writes there each time its desktop
    starts."""
    exported = session.host_path("C:\\hklm.reg")
    rc, out = session.run("regedit", "/e", "C:\\hklm.reg", "HKEY_LOCAL_MACHINE", timeout=120)
    if rc != 0 or not os.path.exists(exported):
        raise AssertionError("regedit /e HKEY_LOCAL_MACHINE: %s" % out)
    with open(exported, "rb") as f:
        data = f.read()
    os.remove(exported)
    return [line for line in data.decode("utf-16").splitlines() if not line.startswith('"DriverDateData"=')]


def changed_lines(before, after):
    """The lines `after` added ("+") and lost ("-")."""
    return ["+" + line for line in sorted(set(after) - set(before))] + \
        ["-" + line for line in sorted(set(before) - set(after))]


def windows_folder_files(session, leave_out=()):
    """{path: (size, last write)} of the files in the Windows folder and
    below, but those of `leave_out` (relative paths in lower case)."""
    windows = session.host_path("C:\\windows")
    found = {}
    for folder, _, names in os.walk(windows):
        for name in names:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, windows).lower()
            if relative not in leave_out and not os.path.islink(path):
                facts = os.stat(path)
                found[relative] = (facts.st_size, facts.st_mtime_ns)
    return found


def read_only_windows_folder(test):
    """Makes the prefix's Windows folder read-only until the test ends with
    a read-only bind mount: Wine runs as root here, whom file permissions do
    not stop, and keeps no access lists; Wine's programs are refused every
    write there ("access denied")."""
    windows = test.session.host_path("C:\\windows")
    for args in (["mount", "--bind", windows, windows], ["mount", "-o", "remount,bind,ro", windows]):
        mounted = subprocess.run(args, capture_output=True, text=True)
        test.assertEqual(mounted.returncode, 0, "%s: %s" % (" ".join(args), mounted.stderr))
        if args[1] == "--bind":
            test.addCleanup(subprocess.run, ["umount", "-l", windows], check=True)
    with test.assertRaises(OSError):
        open(os.path.join(windows, "probe.txt"), "wb").close()

