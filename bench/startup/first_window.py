#!/usr/bin/env python3
"""Time to the first window under Wine: the sample payload packed by
setuppack build (deflated, the default) and with --store, also on another
stub given with --other-stub (one of an earlier build, say), and, when
makensis (Debian package nsis) is installed, by NSIS with zlib and with solid
LZMA for comparison. In one Wine prefix without a virtual desktop, so that
each top-level window is an X window of its own, round by round every
installer once (after one round that warms the prefix up):

- first window: from the start of the installer until its main window is on
  the X screen (xdotool, polled every 10 ms);
- payload restored (setuppack installers): until the payload's last file has
  its full size and its stamp in the extraction folder, the run's own folder
  under the temporary folder (or the temporary folder itself, for a stub of
  an earlier build), polled every 10 ms;
- wizard shown (setuppack installers): until the test driver sees the wizard
  window; each look takes the driver about 0.1 s, which bounds the precision.

Prints the sizes and the medians; nothing passes or fails on a time.

Usage, from the top folder after the Windows build:
  bench/startup/first_window.py [--build build/windows] [--rounds 5] [--other-stub STUB]
"""
import argparse
import glob
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "harness"))
from driversession import DriverSession, walk  # noqa: E402
from wineenv import wait_for  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peers"))
import peers  # noqa: E402

MAIN_TITLE = "^Setup Program$"
WIZARD_CLASS = "TSetupWiz"
TEMP_FOLDER = "C:\\users\\root\\Temp"
# The extraction folders of the runs, under the temporary folder.
EXTRACTION_FOLDERS = "Lumora-Setup-*"
PAYLOAD = ["cd.jpg", "Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe"]


class Installer:
    def __init__(self, label, path, title, payload_last=None):
        self.label = label
        self.path = path
        self.title = title
        self.payload_last = payload_last  # (file name, size, mtime) of the last file restored
        self.size = os.path.getsize(path)
        self.first_window, self.restored, self.wizard = [], [], []


def setuppack_installers(build, work, other_stub):
    setuppack = os.path.join(build, "host", "tools", "setuppack", "setuppack")
    stub = os.path.join(build, "src", "launcher", "setupstub.exe")
    files = [os.path.join(build, "samples", "payload", name) for name in PAYLOAD]
    last = files[-1]
    # The restore writes each file under its stored name, which is in lower case.
    payload_last = (os.path.basename(last).lower(), os.path.getsize(last), int(os.path.getmtime(last)))
    kinds = [("setuppack build (deflated)", [], stub), ("setuppack build --store", ["--store"], stub)]
    if other_stub:
        kinds.append(("--store, the other stub", ["--store"], other_stub))
    made = []
    for label, extra, with_stub in kinds:
        out = os.path.join(work, "bench-%d.exe" % len(made))
        subprocess.run([setuppack, "build", *extra, "--stub", with_stub, "-o", out, *files], check=True,
                       stdout=subprocess.DEVNULL)
        made.append(Installer(label, out, MAIN_TITLE, payload_last))
    return made, files


def peer_installers(files, work):
    if not shutil.which("makensis"):
        print("makensis not found: no peer installers (apt-get install nsis)")
        return []
    made = []
    for label, compressor in peers.NSIS_COMPRESSORS.items():
        out = peers.nsis_installer(files, os.path.join(work, "peer-%d.exe" % len(made)), compressor)
        made.append(Installer(label, out, "^%s Setup" % peers.PEER_NAME))
    return made


def stop(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(timeout=30)


def measure_once(session, installer, windows_path):
    """One start of the installer: (first window, payload restored, wizard
    shown) in seconds, None for what it does not have."""
    last = installer.payload_last
    temp = session.host_path(TEMP_FOLDER)

    def restored():
        for path in glob.glob(os.path.join(temp, EXTRACTION_FOLDERS, last[0])) + [os.path.join(temp, last[0])]:
            try:
                st = os.stat(path)
            except OSError:
                continue
            if st.st_size == last[1] and int(st.st_mtime) == last[2]:
                return True
        return False

    # A killed run leaves its files behind.
    for path in glob.glob(os.path.join(temp, EXTRACTION_FOLDERS)):
        shutil.rmtree(path, ignore_errors=True)
    if last and os.path.exists(os.path.join(temp, last[0])):
        os.remove(os.path.join(temp, last[0]))
    seen = {}

    def window_and_payload():
        now = time.monotonic() - start
        if "first" not in seen and session.xdotool("search", "--onlyvisible", "--name", installer.title,
                                                  check=False).strip():
            seen["first"] = now
        if last and "done" not in seen and restored():
            seen["done"] = now
        return "first" in seen and ("done" in seen or not last)

    start = time.monotonic()
    proc = session.start(windows_path)
    try:
        wait_for(window_and_payload, 60, installer.title, interval=0.01)
        if last:
            wait_for(lambda: any(w["class"] == WIZARD_CLASS and w["visible"]
                                 for top in session.windows() for w in walk(top)),
                     60, "the wizard", interval=0.0)
            seen["wizard"] = time.monotonic() - start
    finally:
        stop(proc)
    return seen.get("first"), seen.get("done"), seen.get("wizard")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/windows", help="the Windows build folder")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--other-stub", help="a setup stub of another build (an earlier one, say), "
                        "measured with the payload stored")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    wine_work = os.path.join(build, "wine")
    driver = os.path.join(build, "tools", "windriver", "windriver.exe")

    with tempfile.TemporaryDirectory(prefix="first-window-") as work:
        installers, files = setuppack_installers(build, work, args.other_stub)
        installers += peer_installers(files, work)
        with DriverSession(wine_work, driver, name="first-window") as session:
            # Without a virtual desktop, each top-level window is an X window.
            session.run("reg", "delete", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/f")
            paths = ["C:\\bench\\installer%d.exe" % n for n in range(len(installers))]
            for installer, path in zip(installers, paths):
                session.put_file(installer.path, path)
            # Round by round, every installer once: whatever drifts in the
            # machine meanwhile weighs on all of them alike. The first round
            # warms the prefix up.
            for round_ in range(args.rounds + 1):
                for installer, path in zip(installers, paths):
                    first, done, wizard = measure_once(session, installer, path)
                    if round_ > 0:
                        installer.first_window.append(first)
                        if installer.payload_last:
                            installer.restored.append(done)
                            installer.wizard.append(wizard)

    def median(values):
        return "%.3f s" % statistics.median(values) if values else "-"

    print("%-28s %10s  %13s  %16s  %13s   (medians of %d rounds)"
          % ("installer", "bytes", "first window", "payload restored", "wizard shown", args.rounds))
    for installer in installers:
        print("%-28s %10s  %13s  %16s  %13s" % (
            installer.label, "{:,}".format(installer.size), median(installer.first_window),
            median(installer.restored), median(installer.wizard)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
