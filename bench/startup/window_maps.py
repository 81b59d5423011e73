"""The moments at which top-level X windows are mapped, from the X server's
own events: a thread waits for them, so that seeing a window takes no
processor time from the programs being measured (as starting xdotool every
few milliseconds would, on a machine of two cores)."""
import ctypes
import ctypes.util
import re
import select
import threading
import time

_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_MAP_NOTIFY = 19
# XMapEvent on LP64: type (int, padded), serial, send_event (Bool, padded),
# display, event, window.
_WINDOW_OFFSET = 40


class WindowMaps:
    def __init__(self, display):
        self._x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self._x.XOpenDisplay.restype = ctypes.c_void_p
        self._x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x.XDefaultRootWindow.restype = ctypes.c_ulong
        self._x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self._x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self._x.XFlush.argtypes = [ctypes.c_void_p]
        self._x.XPending.argtypes = [ctypes.c_void_p]
        self._x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self._x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_void_p)]
        self._x.XFree.argtypes = [ctypes.c_void_p]
        self._x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self._x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._display = self._x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError("cannot open X display %s" % display)
        self._x.XSelectInput(self._display, self._x.XDefaultRootWindow(self._display), _SUBSTRUCTURE_NOTIFY_MASK)
        self._x.XFlush(self._display)
        self._maps = []  # (monotonic time, window name)
        self._lock = threading.Lock()
        self._stop = False
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self._thread.start()

    def _watch(self):
        event = ctypes.create_string_buffer(192)
        connection = self._x.XConnectionNumber(self._display)
        while not self._stop:
            if not self._x.XPending(self._display):
                select.select([connection], [], [], 0.05)
                continue
            self._x.XNextEvent(self._display, event)
            if int.from_bytes(event.raw[0:4], "little") != _MAP_NOTIFY:
                continue
            seen = time.monotonic()
            window = int.from_bytes(event.raw[_WINDOW_OFFSET:_WINDOW_OFFSET + 8], "little")
            name = ctypes.c_void_p()
            text = ""
            if self._x.XFetchName(self._display, window, ctypes.byref(name)) and name.value:
                text = ctypes.string_at(name.value).decode("latin-1")
                self._x.XFree(name)
            with self._lock:
                self._maps.append((seen, text))

    def first(self, title, since):
        """The first time at or after `since` at which a window whose name
        matches the expression `title` was mapped, or None."""
        pattern = re.compile(title)
        with self._lock:
            return next((seen for seen, name in self._maps if seen >= since and pattern.search(name)), None)

    def close(self):
        self._stop = True
        self._thread.join()
        self._x.XCloseDisplay(self._display)
