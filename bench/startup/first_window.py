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
- processor to first window: the processor time the installer's process has
  spent when that map is seen, which other work on the machine hardly
  stretches;
- payload restored (setuppack installers): until the payload's last file has
  its full size and its stamp in the extraction folder, the run's own folder
  under the temporary folder (or the temporary folder itself, for a stub of
  an earlier build), polled every 10 ms;
- wizard shown (setuppack installers): until the test driver sees the wizard
  window; each look takes the driver about 0.1 s, which bounds the precision.

Prints the sizes and, for each time, the median with its spread (the
interquartile range and the extremes); then, for the first window, the
ratios that the start is judged by, each taken within a round (so that what
drifts on the machine meanwhile weighs on both sides of it alike) and given
as the median over the rounds with its interquartile range, beside the aim
it is held against; and the machine's load average before and after. Nothing
passes or fails on a time.

Usage, from the top folder after the Windows build (the sample payload, as
the README's figures were taken):
  bench/startup/first_window.py --payloads sample
  bench/startup/first_window.py [--build build/windows] [--rounds 21]
                                [--payloads sample,64,256] [--other-stub STUB]
"""
import argparse
import glob
import os
import re
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
PEER_SOLID = "NSIS lzma solid"
BARE = "a bare window (reference)"
# The first window's ratios, each taken within a round: (what, numerator,
# denominator, aim, whether the ratio is to reach the aim or stay within it).
RATIOS = [
    ("--solid / default", SOLID, DEFAULT, 1.00, "at most"),
    ("NSIS lzma solid / --solid", PEER_SOLID, SOLID, 1.10, "at least"),
    ("NSIS zlib / default", PEER, DEFAULT, 1.20, "at least"),
    ("default / a bare window", DEFAULT, BARE, 1.15, "at most"),
]


class Installer:
    def __init__(self, label, path, title, payload_last=None):
        self.label = label
        self.path = path
        self.title = title
        self.payload_last = payload_last  # (file name, size, mtime) of the last file restored
        self.size = os.path.getsize(path)
        self.first_window, self.restored, self.wizard = [], [], []
        self.first_window_cpu = []


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


def cpu_seconds(pid):
    """The processor time that the process `pid` has spent, all its
    threads together, from the kernel's accounts in nanoseconds."""
    total = 0
    for stat in glob.glob("/proc/%d/task/*/schedstat" % pid):
        try:
            with open(stat) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue
    return total / 1e9


def measure_once(session, maps, installer, windows_path):
    """One start of the installer: (first window, payload restored, wizard
    shown, processor time to the first window) in seconds, None for what it
    does not have. The processor time is the installer's own process's
    (Wine runs it in the process it starts), read as the X server reports
    the window mapped; Wine's server and X server are not counted. Other
    work on the machine stretches the times but hardly the processor time,
    which tells the costs apart where the times are too noisy."""
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

    pattern = re.compile(installer.title)

    def on_map(when, name):
        if "cpu" not in seen and when >= start and pattern.search(name):
            seen["cpu"] = cpu_seconds(proc.pid)

    start = time.monotonic()
    proc = session.start(windows_path)
    maps.on_map = on_map
    try:
        wait_for(window_and_payload, 60, installer.title, interval=0.01)
        if last:
            wait_for(lambda: any(w["class"] == WIZARD_CLASS and w["visible"]
                                 for top in session.windows() for w in walk(top)),
                     60, "the wizard", interval=0.0)
            seen["wizard"] = time.monotonic() - start
    finally:
        maps.on_map = None
        stop(session, proc, windows_path)
    return seen.get("first"), seen.get("done"), seen.get("wizard"), seen.get("cpu")


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
            first, done, wizard, cpu = measure_once(session, maps, installer, path)
            if round_ > 0:
                installer.first_window.append(first)
                installer.first_window_cpu.append(cpu)
                if installer.payload_last:
                    installer.restored.append(done)
                    installer.wizard.append(wizard)
    for path in paths:
        os.remove(session.host_path(path))


def spread(values):
    """The median of `values`, their interquartile range and extremes."""
    ordered = sorted(value for value in values if value is not None)
    if not ordered:
        return "-"
    quartiles = statistics.quantiles(ordered, n=4, method="inclusive") if len(ordered) > 1 else [ordered[0]] * 3
    return "%.3f (%.3f-%.3f, %.3f-%.3f)" % (quartiles[1], quartiles[0], quartiles[2], ordered[0], ordered[-1])


def paired_ratios(installers, numerator, denominator, times):
    """The ratio of two installers' `times` ("first_window", say) in each
    round."""
    by_label = {installer.label: installer for installer in installers}
    if numerator not in by_label or denominator not in by_label:
        return []
    pairs = zip(getattr(by_label[numerator], times), getattr(by_label[denominator], times))
    return [a / b for a, b in pairs if a and b]


def report(title, installers, rounds):
    print("\n%s: seconds, median (interquartile range, extremes) of %d rounds" % (title, rounds))
    columns = "%-28s %10s  %-33s %-33s %-33s %s"
    print(columns % ("installer", "bytes", "first window", "processor to first window", "payload restored",
                     "wizard shown"))
    for installer in installers:
        print(columns % (installer.label, "{:,}".format(installer.size), spread(installer.first_window),
                         spread(installer.first_window_cpu), spread(installer.restored), spread(installer.wizard)))
    print("ratios within a round: median (interquartile range) of the first window's time, then of the "
          "processor time to it")
    for what, numerator, denominator, aim, sense in RATIOS:
        figures = []
        for times in ("first_window", "first_window_cpu"):
            ratios = paired_ratios(installers, numerator, denominator, times)
            if ratios:
                q = statistics.quantiles(ratios, n=4, method="inclusive") if len(ratios) > 1 else [ratios[0]] * 3
                figures.append("%.2f (%.2f-%.2f)" % (q[1], q[0], q[2]))
        if figures:
            figures += ["-"] * (2 - len(figures))
            print("  %-27s %-18s %-18s aim: %s %.2f" % (what, *figures, sense, aim))


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
    parser.add_argument("--rounds", type=int, default=21,
                        help="rounds measured, each installer once in each, after one that warms up")
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
            # Other work on the machine slows every start; the figures are
            # to be read with it.
            before = load_average()
            try:
                measure_payloads(session, maps, build, work, args)
            finally:
                maps.close()
            print("\nload average (1, 5, 15 minutes) before: %s, after: %s, on %d processors"
                  % (before, load_average(), os.cpu_count()))
    return 0


def load_average():
    return "%.2f %.2f %.2f" % os.getloadavg()


if __name__ == "__main__":
    sys.exit(main())
