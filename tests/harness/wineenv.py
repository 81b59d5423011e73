"""A Wine session for tests: a fresh prefix, a virtual X screen, and helpers
to start programs, wait for windows, send input, take screenshots and look
into the prefix's files and registry.

Everything a session starts is stopped by its pid when the session ends, also
when the test fails. Waiting is always for a condition with a generous time
limit, never a bare sleep.
"""
import contextlib
import fcntl
import hashlib
import os
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
# Wine's replacements of the system fonts (Debian package fonts-wine).
WINE_FONTS = "/usr/share/wine/fonts"
# Where Wine reads the system's DPI from (LogPixels, a DWORD): the user's
# desktop and the current hardware profile's fonts.
DPI_KEYS = ["HKCU\\Control Panel\\Desktop",
            "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"]
# Faces of Japanese and Chinese Windows and the fonts of this machine
# (fonts-ipafont-gothic, fonts-wqy-microhei) that stand for them.
CJK_FACES = [("MS UI Gothic", "IPAPGothic"), ("MS PGothic", "IPAPGothic"), ("MS Gothic", "IPAGothic"),
             ("SimSun", "WenQuanYi Micro Hei"), ("NSimSun", "WenQuanYi Micro Hei"),
             ("Microsoft YaHei", "WenQuanYi Micro Hei")]


class WineError(Exception):
    pass


def wait_for(condition, timeout, what, interval=0.1):
    """Polls `condition` until it returns a true value; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise WineError("timed out after %ss waiting for %s" % (timeout, what))
        time.sleep(interval)


def _base_env():
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    # No Mono or Gecko installers: the prefix is made offline.
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env.pop("WINEARCH", None)
    return env


def template_prefix(work_dir):
    """Returns a prepared prefix under `work_dir`, made once and then reused.

    The prefix has a Wine virtual desktop of the screen's size, so programs get
    a maximised, decorated window without a window manager, and Wine's own
    fonts in its Fonts folder, so that "MS Sans Serif" and "Tahoma" are the
    fonts of those names and texts take the room they take on Windows. The
    Japanese and Chinese faces of Windows, which Wine links to its own user
    interface fonts on such systems (message boxes, title bars), stand for
    the machine's Japanese and Chinese fonts, as they have those glyphs on
    Windows."""
    template = os.path.join(work_dir, "template")
    # Named by what the prefix holds, so that an older one is made anew.
    stamp = os.path.join(template, ".ready-cjk-faces")
    os.makedirs(work_dir, exist_ok=True)
    with open(os.path.join(work_dir, "template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(stamp):
            return template
        shutil.rmtree(template, ignore_errors=True)
        env = _base_env()
        env["WINEPREFIX"] = template
        env.pop("DISPLAY", None)
        log = os.path.join(work_dir, "template.log")
        with open(log, "w") as out:
            subprocess.run(["wineboot", "-i"], env=env, stdout=out, stderr=out, check=True, timeout=300)
            for args in (
                ["HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default"],
                ["HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default",
                 "/d", "%dx%d" % (SCREEN_WIDTH, SCREEN_HEIGHT)],
            ) + tuple(["HKCU\\Software\\Wine\\Fonts\\Replacements", "/v", face, "/d", font]
                      for face, font in CJK_FACES):
                subprocess.run(["wine", "reg", "add", *args, "/f"], env=env, stdout=out, stderr=out,
                               check=True, timeout=120)
            subprocess.run(["wineserver", "-w"], env=env, stdout=out, stderr=out, timeout=120)
        fonts = os.path.join(template, "drive_c", "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        if os.path.isdir(WINE_FONTS):
            for name in os.listdir(WINE_FONTS):
                shutil.copy(os.path.join(WINE_FONTS, name), fonts)
        open(stamp, "w").close()
        return template


def _free_display():
    for n in range(90, 400):
        if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n):
            return n
    raise WineError("no free X display number")


class WineSession:
    """One test's Wine world. Use as a context manager."""

    def __init__(self, work_dir, name="session", keep_on_failure=False, use_display=None):
        """`use_display`: an X display to use (":0") instead of a new Xvfb."""
        self.work_dir = os.path.abspath(work_dir)
        self.use_display = use_display
        self.name = name
        self.keep_on_failure = keep_on_failure
        self.prefix = None
        self.display = None
        self.env = None
        self._xvfb = None
        self._started = []
        self._start_count = 0
        self._tmp = None

    # ----- lifetime -------------------------------------------------------
    def __enter__(self):
        try:
            self._open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        self.close(failed=exc_type is not None)
        return False

    def _open(self):
        template = template_prefix(self.work_dir)
        runs = os.path.join(self.work_dir, "runs")
        os.makedirs(runs, exist_ok=True)
        self._tmp = tempfile.mkdtemp(prefix=self.name + "-", dir=runs)
        self.prefix = os.path.join(self._tmp, "prefix")
        subprocess.run(["cp", "-a", template, self.prefix], check=True)
        self.env = _base_env()
        self.env["WINEPREFIX"] = self.prefix
        if self.use_display:
            self.env["DISPLAY"] = self.use_display
        else:
            self._start_xvfb()
            self.env["DISPLAY"] = ":%d" % self.display
        # The server is started first so that no later wine command hands its
        # standard output to the long-lived server process.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)

    def _start_xvfb(self):
        # Sessions of parallel tests race for free display numbers: a display
        # is ours only when its lock file names our server's pid.
        for _ in range(10):
            n = _free_display()
            proc = subprocess.Popen(
                ["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT),
                 "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

            def ready():
                if proc.poll() is not None:
                    return "ended"
                if _lock_owner(n) == proc.pid and os.path.exists("/tmp/.X11-unix/X%d" % n):
                    return "ours"
                return None

            try:
                state = wait_for(ready, 20, "Xvfb :%d" % n)
            except WineError:
                _kill(proc)
                continue
            if state == "ours":
                self._xvfb = proc
                self.display = n
                return
        raise WineError("could not start Xvfb")

    def close(self, failed=False):
        for proc in reversed(self._started):
            _kill(proc)
        self._started = []
        if self.env:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            with contextlib.suppress(subprocess.TimeoutExpired):
                subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        if self._xvfb:
            _kill(self._xvfb)
            self._xvfb = None
        if self._tmp and not (failed and self.keep_on_failure):
            shutil.rmtree(self._tmp, ignore_errors=True)
            self._tmp = None

    def use_locale(self, locale):
        """From now on runs the session's programs under the Unix locale
        `locale` (LC_ALL), from which Wine takes the system's ANSI code page
        (ru_RU.UTF-8: 1251, ja_JP.UTF-8: 932), or under the machine's own
        with None. The prefix's server, and so every program still running
        in it, is ended and started again under it."""
        if locale:
            self.env["LC_ALL"] = locale
        else:
            self.env.pop("LC_ALL", None)
        self._restart_server()

    def use_dpi(self, dpi):
        """From now on runs the session's programs at `dpi` dots per inch
        (96 is a display scale of 100 %, 144 of 150 %), set where Wine reads
        it; as with use_locale, every program still running ends."""
        for key in DPI_KEYS:
            rc, out = self.run("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
            if rc != 0:
                raise WineError("cannot set LogPixels under %s: %s" % (key, out))
        self._restart_server()

    def _restart_server(self):
        """Ends the prefix's server, with every program in it, and starts it
        again under the session's environment."""
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        with contextlib.suppress(subprocess.TimeoutExpired):
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)

    # ----- programs -------------------------------------------------------
    def run(self, program, *args, timeout=120, cwd=None):
        """Runs a Windows program to its end; returns (exit code, output)."""
        with tempfile.TemporaryFile(mode="w+b", dir=self._tmp) as out:
            proc = subprocess.Popen(["wine", program, *args], env=self.env, stdout=out,
                                    stderr=subprocess.STDOUT, cwd=cwd, start_new_session=True)
            self._started.append(proc)
            try:
                rc = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                _kill(proc)
                raise WineError("%s did not end within %ss" % (program, timeout))
            finally:
                self._started.remove(proc)
            out.seek(0)
            return rc, out.read().decode("latin-1")

    def capture(self, program, *args, timeout=120):
        """Runs a Windows program to its end; returns (exit code, standard
        output, standard error) as text. Output goes through files, never a
        pipe that the wine server could inherit."""
        with tempfile.TemporaryFile(mode="w+b", dir=self._tmp) as out, \
                tempfile.TemporaryFile(mode="w+b", dir=self._tmp) as err:
            proc = subprocess.Popen(["wine", program, *args], env=self.env, stdout=out, stderr=err,
                                    start_new_session=True)
            self._started.append(proc)
            try:
                rc = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                _kill(proc)
                raise WineError("%s %s did not end within %ss" % (program, " ".join(args), timeout))
            finally:
                self._started.remove(proc)
            out.seek(0)
            err.seek(0)
            return rc, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace")

    def start(self, program, *args, cwd=None):
        """Starts a Windows program and returns its process; it is stopped at
        the end of the session if it is still running. Its output goes to the
        file `proc.log_path`."""
        self._start_count += 1
        log_path = os.path.join(self._tmp, "started-%d.log" % self._start_count)
        log = open(log_path, "wb")
        proc = subprocess.Popen(["wine", program, *args], env=self.env, stdout=log,
                                stderr=subprocess.STDOUT, cwd=cwd, start_new_session=True)
        log.close()
        proc.log_path = log_path
        self._started.append(proc)
        return proc

    def wait_exit(self, proc, timeout=60):
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise WineError("process %d did not end within %ss" % (proc.pid, timeout))

    # ----- windows and input ---------------------------------------------
    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise WineError("xdotool %s failed: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def find_windows(self, title):
        """X windows whose name is exactly `title`."""
        out = self.xdotool("search", "--name", "^%s$" % _regex_escape(title), check=False)
        return [line for line in out.split() if line]

    def wait_window(self, title, timeout=60):
        return wait_for(lambda: self.find_windows(title), timeout, "a window titled %r" % title)[0]

    def key(self, window, *keys):
        """Focuses the X window and types the keys through the X server's
        test extension, as a keyboard would: Wine ignores synthetic key
        events sent to a window."""
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("key", *keys)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", str(button))

    def screenshot(self, path):
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", path],
                       check=True, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def screen_digest(self):
        """A digest of the screen's pixels, to tell when drawing has settled."""
        result = subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", "rgb:-"],
                                check=True, timeout=60, capture_output=True)
        return hashlib.sha1(result.stdout).hexdigest()

    def wait_idle(self, timeout=60, settle=0.5):
        """Waits until the screen stays the same for `settle` seconds."""
        last = [None, time.monotonic()]

        def settled():
            digest = self.screen_digest()
            now = time.monotonic()
            if digest != last[0]:
                last[0], last[1] = digest, now
                return False
            return now - last[1] >= settle

        wait_for(settled, timeout, "the screen to settle", interval=0.2)

    # ----- files and registry --------------------------------------------
    def host_path(self, windows_path):
        """The Linux path of a path on drive C: of the prefix."""
        path = windows_path.replace("\\", "/")
        if len(path) >= 2 and path[1] == ":":
            if path[0].lower() != "c":
                raise WineError("only drive C: is mapped: %s" % windows_path)
            path = path[2:]
        return os.path.join(self.prefix, "drive_c", path.lstrip("/"))

    def find_host_path(self, windows_path):
        """Like host_path, but matches each part without regard to case, as
        Windows does; returns None when there is no such file."""
        parts = windows_path.replace("\\", "/")
        if len(parts) >= 2 and parts[1] == ":":
            parts = parts[2:]
        current = os.path.join(self.prefix, "drive_c")
        for part in [p for p in parts.split("/") if p]:
            try:
                names = os.listdir(current)
            except OSError:
                return None
            match = [n for n in names if n.lower() == part.lower()]
            if not match:
                return None
            current = os.path.join(current, match[0])
        return current

    def put_file(self, source, windows_path):
        """Copies a file of this machine to a path on drive C: of the prefix;
        returns the host path of the copy."""
        target = self.host_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(source, target)
        return target

    def temp_folder(self):
        return "C:\\users\\%s\\Temp" % os.environ.get("USER", "root")

    def reg_query(self, key, value=None):
        """Returns the data of a registry value, or None when it is absent;
        without `value`, returns {name: data} of the key or None."""
        args = ["reg", "query", key] + (["/v", value] if value is not None else [])
        rc, out = self.run(*args, timeout=60)
        if rc != 0:
            return None
        values = {}
        for line in out.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) > 2 else ""
        if value is None:
            return values
        for name, data in values.items():
            if name.lower() == value.lower():
                return data
        return None


def _lock_owner(display):
    """The pid in the X server lock file of `display`, or None."""
    try:
        with open("/tmp/.X%d-lock" % display) as lock:
            return int(lock.read().strip() or 0)
    except (OSError, ValueError):
        return None


def _regex_escape(text):
    special = set("\\.^$|?*+()[]{}")
    return "".join("\\" + c if c in special else c for c in text)


def _kill(proc):
    if proc.poll() is not None:
        return
    with contextlib.suppress(ProcessLookupError, PermissionError):
        os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        with contextlib.suppress(ProcessLookupError, PermissionError):
            os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(timeout=10)
