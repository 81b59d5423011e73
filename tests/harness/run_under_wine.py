#!/usr/bin/env python3
"""Runs one Windows program (a test suite) in a fresh Wine session and exits
with its exit code. Usage: run_under_wine.py WORK_DIR PROGRAM [ARGS...]"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wineenv  # noqa: E402


def main():
    work_dir, program, args = sys.argv[1], sys.argv[2], sys.argv[3:]
    name = os.path.splitext(os.path.basename(program))[0]
    with wineenv.WineSession(work_dir, name=name) as session:
        rc, out = session.run(program, *args, timeout=600)
    sys.stdout.write(out)
    return rc


if __name__ == "__main__":
    sys.exit(main())
