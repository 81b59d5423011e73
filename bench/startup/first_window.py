#!/usr/bin/env python3
"""Time to the first window under Wine, against the NSIS peer, at three
payload sizes: the sample payload, and the sample with its screensaver
replaced by random bytes (which every compressor stores as they are) so
that the payload is 64 MiB or 256 MiB. Each payload is packed by setuppack
build (deflated, the default) and with --solid, for the sample also with
--store and, given --other-stub, on another stub (one of an earlier build,
say); and, when makensis (Debian package nsis) is installed, by NSIS with
zlib (for the sample also with solid LZMA), into an installer that extracts
the same files into the temporary folder before its first window, as ours
does; with the sample payload also, for reference, a program that does
nothing but open a window (bare_window.c, built when mingw-w64 is there).
In one Wine prefix without a virtual desktop, so that each top-level window
is an X window of its own, round by round every installer once
(after one round that warms the prefix up):

- first window: from the start of the installer until the X server maps its
  main window (window_maps.py, which waits for the server's events);
- payload restored (setuppack installers): until the payload's last file has
  its full size and its stamp in the extraction folder, the run's own folder
  under the temporary folder (or the temporary folder itself, for a stub of
  an earlier build), polled every 10 ms;
- wizard shown (setuppack installers): until the test driver sees the wizard
  window; each look takes the driver about 0.1 s, which bounds the precision.

Prints the sizes, the medians and, for each payload, NSIS zlib's first
window over ours and ours with --solid over ours by default; nothing passes
or fails on a time.

Usage, from the top folder after the Windows build:
  bench/startup/first_window.py [--build build/windows] [--rounds 3]
                                [--payloads sample,64,256] [--other-stub STUB]
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
from window_maps import WindowMaps  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peers"))
import peers  # noqa: E402

MAIN_TITLE = "^Setup Program$"
WIZARD_CLASS = "TSetupWiz"
TEMP_FOLDER = "C:\\users\\root\\Temp"
# The extraction folders of the runs, under the temporary folder.
EXTRACTION_FOLDERS = "Lumora-Setup-*"
PAYLOAD = ["cd.jpg", "Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe"]
SCREENSAVER = "Aurora.scr"
DEFAULT = "setuppack build (deflated)"
SOLID = "setuppack build --solid"
PEER = "NSIS zlib"
BARE = "a bare window (reference)"


class Installer:
    def __init__(self, label, path, title, payload_last=None):
        self.label = label
        self.path = path
        self.title = title
        self.payload_last = payload_last  # (file name, size, mtime) of the last file restored
        self.size = os.path.getsize(path)
        self.first_window, self.restored, self.wizard = [], [], []


def payload_files(build, work, mebibytes):
    """The sample payload's files; with `mebibytes`, its screensaver made of
    random bytes so that the files come to that size."""
    files = [os.path.join(build, "samples", "payload", name) for name in PAYLOAD]
    if not mebibytes:
        return files
    folder = os.path.join(work, "payload-%d" % mebibytes)
    os.makedirs(folder)
    others = sum(os.path.getsize(path) for path in files if not path.endswith(SCREENSAVER))
    made = []
    for path in files:
        copy = os.path.join(folder, os.path.basename(path))
        if path.endswith(SCREENSAVER):
            with open(copy, "wb") as f:
                left = (mebibytes << 20) - others
                while left > 0:
                    f.write(os.urandom(min(left, 1 << 20)))
                    left -= 1 << 20
            shutil.copystat(path, copy)
        else:
            shutil.copy2(path, copy)
        made.append(copy)
    return made


def setuppack_installers(build, work, files, name, more_kinds, other_stub):
    setuppack = os.path.join(build, "host", "tools", "setuppack", "setuppack")
    stub = os.path.join(build, "src", "launcher", "setupstub.exe")
    last = files[-1]
    # The restore writes each file under its stored name, which is in lower case.
    payload_last = (os.path.basename(last).lower(), os.path.getsize(last), int(os.path.getmtime(last)))
    kinds = [(DEFAULT, [], stub), (SOLID, ["--solid"], stub)]
    if more_kinds:
        kinds.append(("setuppack build --store", ["--store"], stub))
        if other_stub:
            kinds.append(("--store, the other stub", ["--store"], other_stub))
    made = []
    for label, extra, with_stub in kinds:
        out = os.path.join(work, "%s-%d.exe" % (name, len(made)))
        subprocess.run([setuppack, "build", *extra, "--stub", with_stub, "-o", out, *files], check=True,
                       stdout=subprocess.DEVNULL)
        made.append(Installer(label, out, MAIN_TITLE, payload_last))
    return made


def peer_installers(files, work, name, more_kinds):
    if not shutil.which("makensis"):
        print("makensis not found: no peer installers (apt-get install nsis)")
        return []
    made = []
    for label, compressor in peers.NSIS_COMPRESSORS.items():
        if label == PEER or more_kinds:
            out = peers.nsis_installer(files, os.path.join(work, "%s-peer-%d.exe" % (name, len(made))), compressor)
            made.append(Installer(label, out, "^%s Setup" % peers.PEER_NAME))
    return made


def bare_window(work):
    """bare_window.c built with mingw-w64, when it is installed: the start
    that Wine costs any program, for reference."""
    compiler = shutil.which("i686-w64-mingw32-gcc")
    if not compiler:
        return []
    out = os.path.join(work, "bare-window.exe")
    subprocess.run([compiler, "-O2", "-mwindows", "-o", out,
                    os.path.join(os.path.dirname(os.path.abspath(__file__)), "bare_window.c")], check=True)
    return [Installer(BARE, out, "^Bare Window$")]


def stop(session, proc, windows_path):
    """Ends the installer as Windows would end it (TerminateProcess, through
    taskkill), so that Wine's server closes its objects before the next
    start; a signal to the Wine process as the last resort."""
    if proc.poll() is None:
        session.run("taskkill", "/F", "/IM", windows_path.rsplit("\\", 1)[-1], timeout=30)
        try:
            proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(timeout=30)


def measure_once(session, maps, installer, windows_path):
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

    # A killed run leaves its files behind, and the peer overwrites its own:
    # each start finds none, and nothing of an earlier run left for the
    # system to write back, which would weigh on whichever run comes next.
    for path in glob.glob(os.path.join(temp, EXTRACTION_FOLDERS)) + [os.path.join(temp, peers.NSIS_FOLDER)]:
        shutil.rmtree(path, ignore_errors=True)
    if last and os.path.exists(os.path.join(temp, last[0])):
        os.remove(os.path.join(temp, last[0]))
    os.sync()
    seen = {}

    def window_and_payload():
        now = time.monotonic() - start
        if "first" not in seen:
            mapped = maps.first(installer.title, start)
            if mapped is not None:
                seen["first"] = mapped - start
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
        stop(session, proc, windows_path)
    return seen.get("first"), seen.get("done"), seen.get("wizard")


def measure(session, maps, installers, rounds, name):
    """Round by round, every installer once: whatever drifts in the machine
    meanwhile weighs on all of them alike. Each round begins with the next
    installer, so that none always follows the same one: a start right after
    a large run of NSIS was measured at up to three times its usual time,
    whichever installer it was. The first round warms the prefix up."""
    paths = ["C:\\bench\\%s-%d.exe" % (name, n) for n in range(len(installers))]
    for installer, path in zip(installers, paths):
        session.put_file(installer.path, path)
    for round_ in range(rounds + 1):
        turn = round_ % len(installers)
        for installer, path in list(zip(installers, paths))[turn:] + list(zip(installers, paths))[:turn]:
            first, done, wizard = measure_once(session, maps, installer, path)
            if round_ > 0:
                installer.first_window.append(first)
                if installer.payload_last:
                    installer.restored.append(done)
                    installer.wizard.append(wizard)
    for path in paths:
        os.remove(session.host_path(path))


def report(title, installers, rounds):
    def median(values):
        return "%.3f s" % statistics.median(values) if values else "-"

    print("\n%s\n%-28s %12s  %13s  %16s  %13s   (medians of %d rounds)"
          % (title, "installer", "bytes", "first window", "payload restored", "wizard shown", rounds))
    for installer in installers:
        print("%-28s %12s  %13s  %16s  %13s" % (
            installer.label, "{:,}".format(installer.size), median(installer.first_window),
            median(installer.restored), median(installer.wizard)))
    first = {installer.label: statistics.median(installer.first_window) for installer in installers}
    if PEER in first:
        print("first window, %s / ours: %.2f" % (PEER, first[PEER] / first[DEFAULT]))
    print("first window, --solid / default: %.2f" % (first[SOLID] / first[DEFAULT]))


def measure_payloads(session, maps, build, work, args):
    for payload in args.payloads.split(","):
        sample = payload == "sample"
        mebibytes = 0 if sample else int(payload)
        name = payload if sample else "%dmib" % mebibytes
        files = payload_files(build, work, mebibytes)
        installers = setuppack_installers(build, work, files, name, sample, args.other_stub)
        installers += peer_installers(files, work, name, sample)
        if sample:
            installers += bare_window(work)
        measure(session, maps, installers, args.rounds, name)
        report("the sample payload" if sample else "a payload of %d MiB" % mebibytes, installers, args.rounds)
        for installer in installers:
            os.remove(installer.path)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/windows", help="the Windows build folder")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--payloads", default="sample,64,256",
                        help="payloads to measure: sample, and sizes in MiB")
    parser.add_argument("--other-stub", help="a setup stub of another build (an earlier one, say), "
                        "measured with the sample payload stored")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    wine_work = os.path.join(build, "wine")
    driver = os.path.join(build, "tools", "windriver", "windriver.exe")

    with tempfile.TemporaryDirectory(prefix="first-window-") as work:
        with DriverSession(wine_work, driver, name="first-window") as session:
            # Without a virtual desktop, each top-level window is an X window.
            session.run("reg", "delete", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/f")
            maps = WindowMaps(session.env["DISPLAY"])
            try:
                measure_payloads(session, maps, build, work, args)
            finally:
                maps.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
