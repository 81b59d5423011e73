#!/usr/bin/env python3
"""Download sizes and restore times against the peers, from the same files:

- sizes: our installer as setuppack build makes it by default (deflated
  blocks) and with --solid, NSIS installers with zlib and with solid LZMA,
  and 7-Zip's archive at level 5 (`7z a -mx5`);
- packing times of the libraries (median of --rounds, round by round, so
  that the machine's load weighs on each alike): setuppack build --solid
  with all the cores and with --threads 1, the default build, `7z a -mx5`
  (all the cores) and `xz -T0` (of a tar of the files, made beforehand);
  the size and peak memory of each, and the load averages before and after;
- restore times (native, median of --rounds, round by round): our solid and
  default installers through `setuppack extract`, which restores with the
  installer's own restore component and decoder, against `7z x -mmt1` of
  7-Zip's archive; peak memory of each.

Two sets of files: the sample payload, and a set of Windows libraries: the
DLLs of Wine's i386 folder, by name, as many as fit in 192 MiB. The aims it
prints: the sample with --solid no larger than NSIS's solid LZMA installer,
the libraries with --solid within 5 % of 7-Zip's archive and packed at least
as fast as `7z a -mx5`, and their restore at least as fast as 7-Zip's.

Usage, from the top folder after the Windows build:
  bench/size/compare_peers.py [--build build/windows] [--rounds 3]
                              [--libraries /usr/lib/i386-linux-gnu/wine/i386-windows]
"""
import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tarfile
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "peers"))
import peers  # noqa: E402

PAYLOAD = ["cd.jpg", "Setup.ins", "Aurora.scr", "Lmunist.exe", "Install.exe"]
LIBRARY_BYTES = 192 << 20


def library_set(folder):
    """The DLLs of `folder` by name, as many as fit in LIBRARY_BYTES."""
    chosen, total = [], 0
    for path in sorted(glob.glob(os.path.join(folder, "*.dll"))):
        size = os.path.getsize(path)
        if total + size > LIBRARY_BYTES:
            break
        chosen.append(path)
        total += size
    return chosen


def timed(command, stdout=subprocess.DEVNULL):
    """(seconds, peak resident KiB) of one run of `command`."""
    start = time.monotonic()
    proc = subprocess.Popen(command, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.monotonic() - start
    if status != 0:
        raise RuntimeError("%s failed (status %d)" % (" ".join(command), status))
    return seconds, usage.ru_maxrss


def build_all(setuppack, stub, files, work, name):
    """{label: path} of every kind made from `files`."""
    made = {}
    for label, extra in (("setuppack build", []), ("setuppack build --solid", ["--solid"])):
        out = os.path.join(work, "%s-%d.exe" % (name, len(made)))
        subprocess.run([setuppack, "build", "--force", *extra, "--stub", stub, "-o", out, *files], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        made[label] = out
    for label, compressor in peers.NSIS_COMPRESSORS.items():
        made[label] = peers.nsis_installer(files, os.path.join(work, "%s-%d.exe" % (name, len(made))), compressor)
    made["7-Zip -mx5"] = peers.seven_zip_archive(files, os.path.join(work, name + ".7z"))
    return made


def print_sizes(title, made, files):
    total = sum(os.path.getsize(path) for path in files)
    print("\n%s: %d files, %s bytes" % (title, len(files), "{:,}".format(total)))
    for label, path in made.items():
        print("  %-26s %13s bytes" % (label, "{:,}".format(os.path.getsize(path))))


def load():
    return "%.2f %.2f %.2f" % os.getloadavg()


def compare_packing(setuppack, stub, files, work, rounds):
    """Medians of the packing times of `files`, with peak memory and size,
    round by round; returns the medians by label."""
    tar = os.path.join(work, "libraries.tar")
    with tarfile.open(tar, "w") as archive:
        for path in files:
            archive.add(path, arcname=os.path.basename(path))

    def ours(*extra):
        out = os.path.join(work, "packed.exe")
        return out, lambda: timed([setuppack, "build", "--force", *extra, "--stub", stub, "-o", out, *files])

    def seven_zip():
        out = os.path.join(work, "packed.7z")
        if os.path.exists(out):
            os.remove(out)
        return timed(["7z", "a", "-mx5", out, *files])

    def xz():
        with open(os.path.join(work, "packed.tar.xz"), "wb") as out:
            return timed(["xz", "-T0", "-c", tar], stdout=out)

    kinds = {
        "setuppack build --solid": ours("--solid"),
        "7z a -mx5": (os.path.join(work, "packed.7z"), seven_zip),
        "setuppack build --solid --threads 1": ours("--solid", "--threads", "1"),
        "xz -T0": (os.path.join(work, "packed.tar.xz"), xz),
        "setuppack build": ours(),
    }
    times = {label: [] for label in kinds}
    memory = {label: 0 for label in kinds}
    sizes = {}
    before = load()
    for _ in range(rounds):
        for label, (out, run) in kinds.items():
            seconds, peak = run()
            times[label].append(seconds)
            memory[label] = max(memory[label], peak)
            sizes[label] = os.path.getsize(out)
            os.remove(out)
    print("\npacking the libraries (median of %d rounds; load averages %s before, %s after; %d cores):"
          % (rounds, before, load(), os.cpu_count()))
    for label in kinds:
        print("  %-36s %7.2f s  peak %6.1f MiB  %13s bytes" % (
            label, statistics.median(times[label]), memory[label] / 1024, "{:,}".format(sizes[label])))
    return {label: statistics.median(values) for label, values in times.items()}


def compare_restores(setuppack, made, work, rounds):
    """Medians of the restore times and peak memory, round by round."""
    kinds = {
        "setuppack extract, solid": lambda out: [setuppack, "extract", made["setuppack build --solid"], out],
        "setuppack extract, default": lambda out: [setuppack, "extract", made["setuppack build"], out],
        "7z x -mmt1": lambda out: ["7z", "x", "-mmt1", "-o" + out, made["7-Zip -mx5"]],
    }
    times = {label: [] for label in kinds}
    memory = {label: 0 for label in kinds}
    for _ in range(rounds):
        for label, command in kinds.items():
            out = os.path.join(work, "restored")
            shutil.rmtree(out, ignore_errors=True)
            seconds, peak = timed(command(out))
            times[label].append(seconds)
            memory[label] = max(memory[label], peak)
    shutil.rmtree(os.path.join(work, "restored"), ignore_errors=True)
    print("\nrestore of the libraries (median of %d rounds):" % rounds)
    for label in kinds:
        print("  %-28s %7.2f s  peak %6.1f MiB" % (label, statistics.median(times[label]), memory[label] / 1024))
    return {label: statistics.median(values) for label, values in times.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/windows", help="the Windows build folder")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--libraries", default="/usr/lib/i386-linux-gnu/wine/i386-windows",
                        help="a folder of Windows libraries (DLLs)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    setuppack = os.path.join(build, "host", "tools", "setuppack", "setuppack")
    stub = os.path.join(build, "src", "launcher", "setupstub.exe")
    sample = [os.path.join(build, "samples", "payload", name) for name in PAYLOAD]
    libraries = library_set(args.libraries)
    if not libraries:
        print("no DLLs in %s (apt-get install wine32:i386, or give --libraries)" % args.libraries)
        return 1

    with tempfile.TemporaryDirectory(prefix="compare-peers-") as work:
        sample_made = build_all(setuppack, stub, sample, work, "sample")
        print_sizes("the sample payload", sample_made, sample)
        library_made = build_all(setuppack, stub, libraries, work, "libraries")
        print_sizes("Windows libraries", library_made, libraries)
        packing = compare_packing(setuppack, stub, libraries, work, args.rounds)
        times = compare_restores(setuppack, library_made, work, args.rounds)

        def size(made, label):
            return os.path.getsize(made[label])

        print("\naims:")
        ratio = size(sample_made, "setuppack build --solid") / size(sample_made, "NSIS lzma solid")
        print("  sample --solid / NSIS lzma solid      %.3f  (aim <= 1)" % ratio)
        ratio = size(library_made, "setuppack build --solid") / size(library_made, "7-Zip -mx5")
        print("  libraries --solid / 7-Zip -mx5        %.3f  (aim <= 1.05)" % ratio)
        ratio = packing["setuppack build --solid"] / packing["7z a -mx5"]
        print("  packing time, --solid / 7z a -mx5     %.3f  (aim <= 1)" % ratio)
        ratio = times["setuppack extract, solid"] / times["7z x -mmt1"]
        print("  restore time, solid / 7z x -mmt1      %.3f  (aim <= 1)" % ratio)
    return 0


if __name__ == "__main__":
    sys.exit(main())
