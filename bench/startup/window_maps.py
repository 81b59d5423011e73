"""The moments at which top-level X windows are mapped, from the X server's
own events: a thread waits for them, so that seeing a window takes no
processor time from the programs being measured (as starting xdotool every
few milliseconds would, on a machine of two cores). Wine's windows are
children of the root window, or of its desktop window when it runs with a
virtual desktop: both levels are watched."""
import ctypes
import ctypes.util
import re
import select
import threading
import time

_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_CREATE_NOTIFY = 16
_MAP_NOTIFY = 19
# XCreateWindowEvent and XMapEvent on LP64: type (int, padded), serial,
# send_event (Bool, padded), display, then parent and window (create) or
# event and window (map).
_PARENT_OFFSET = 32
_WINDOW_OFFSET = 40

# The X library's own handler ends the process on any protocol error; a
# window that is gone before it is watched or named is no error here.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, error: 0)


def _window(event, offset):
    return int.from_bytes(event.raw[offset:offset + 8], "little")


class WindowMaps:
    def __init__(self, display):
        x = self._x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler(_IGNORE_ERRORS)
        self._display = x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError("cannot open X display %s" % display)
        self._root = x.XDefaultRootWindow(self._display)
        x.XSelectInput(self._display, self._root, _SUBSTRUCTURE_NOTIFY_MASK)
        for child in self._children(self._root):
            x.XSelectInput(self._display, child, _SUBSTRUCTURE_NOTIFY_MASK)
        x.XFlush(self._display)
        self._maps = []  # (monotonic time, window name)
        # Called on the watching thread at each map, with the time and the
        # window's name, before anything else runs: to read what the
        # program has spent by then.
        self.on_map = None
        self._lock = threading.Lock()
        self._stop = False
        self._thread = threading.Thread(target=self._watch, daemon=True)
        self._thread.start()

    def _children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._x.XQueryTree(self._display, window, ctypes.byref(root), ctypes.byref(parent),
                                  ctypes.byref(children), ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self._x.XFree(children)
        return found

    def _name(self, window):
        name = ctypes.c_void_p()
        if not self._x.XFetchName(self._display, window, ctypes.byref(name)) or not name.value:
            return ""
        text = ctypes.string_at(name.value).decode("latin-1")
        self._x.XFree(name)
        return text

    def _watch(self):
        event = ctypes.create_string_buffer(192)
        connection = self._x.XConnectionNumber(self._display)
        while not self._stop:
            if not self._x.XPending(self._display):
                select.select([connection], [], [], 0.05)
                continue
            self._x.XNextEvent(self._display, event)
            kind = int.from_bytes(event.raw[0:4], "little")
            if kind == _CREATE_NOTIFY and _window(event, _PARENT_OFFSET) == self._root:
                # A new top-level window, a virtual desktop perhaps: its
                # children are top-level windows too.
                self._x.XSelectInput(self._display, _window(event, _WINDOW_OFFSET), _SUBSTRUCTURE_NOTIFY_MASK)
            elif kind == _MAP_NOTIFY:
                seen = time.monotonic()
                name = self._name(_window(event, _WINDOW_OFFSET))
                if self.on_map:
                    self.on_map(seen, name)
                with self._lock:
                    self._maps.append((seen, name))

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
