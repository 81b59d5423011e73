#!/usr/bin/env python3
"""Writes the author's kit: a zip archive of the files given, under one
folder, the same bytes from the same files on every build. Entries are
sorted, carry one fixed time (SOURCE_DATE_EPOCH when it is set, else the
samples' stamp) and fixed permissions (executable for programs), and are
deflated at one fixed level; text files get CR LF line ends, as Windows
editors and the installer's settings reader want them.

Usage: make_kit.py --out KIT.zip --folder NAME ENTRY=PATH...
An ENTRY ending in "*" marks a program (0755): setuppack=path/setuppack*."""
import argparse
import os
import sys
import time
import zipfile

SAMPLE_STAMP = (2026, 1, 15, 12, 0, 0)
TEXT_SUFFIXES = (".txt",)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("entries", nargs="+")
    args = parser.parse_args()

    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    stamp = time.gmtime(int(epoch))[:6] if epoch else SAMPLE_STAMP
    entries = []
    for entry in args.entries:
        name, _, path = entry.partition("=")
        program = name.endswith("*")
        entries.append((name.rstrip("*"), path, program))

    partial = args.out + ".part"
    with zipfile.ZipFile(partial, "w") as kit:
        for name, path, program in sorted(entries):
            with open(path, "rb") as f:
                data = f.read()
            if name.endswith(TEXT_SUFFIXES):
                data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            info = zipfile.ZipInfo(args.folder + "/" + name, date_time=stamp)
            info.create_system = 3  # Unix: the permissions below count
            info.external_attr = (0o100755 if program else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            kit.writestr(info, data, compresslevel=9)
    os.replace(partial, args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
