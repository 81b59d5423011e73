#!/usr/bin/env python3
"""Runs the sample installer of a Windows build under Wine.

Usage: run_sample.py BUILD_DIR [INSTALLER]"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "harness"))
import wineenv  # noqa: E402


def main():
    build = os.path.abspath(sys.argv[1])
    installer = sys.argv[2] if len(sys.argv) > 2 else os.path.join(build, "samples", "sample-setup.exe")
    if not os.path.exists(installer):
        installer = os.path.join(build, "src", "launcher", "setupstub.exe")
    work = os.path.join(build, "wine")
    if os.environ.get("DISPLAY"):
        session = wineenv.WineSession(work, name="sample", use_display=os.environ["DISPLAY"])
    else:
        session = wineenv.WineSession(work, name="sample")
    with session:
        proc = session.start(installer)
        window = session.wait_window("Setup Program", timeout=120)
        print("The installer shows its window (X id %s) on display %s." % (window, session.env["DISPLAY"]))
        if os.environ.get("DISPLAY"):
            print("Close the installer to end.")
            proc.wait()
            return 0
        shot = os.path.join(build, "screenshots", "sample-installer.png")
        session.wait_idle()
        session.screenshot(shot)
        print("No display: ran on a virtual screen; screenshot in %s" % shot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
