#!/usr/bin/env python3
"""Runs an installer under Wine: by default the sample installer of a Windows
build, or any INSTALLER, such as one made with setuppack.

Without a DISPLAY it runs on a virtual screen of 1024 x 768, waits for the
first page of the wizard and saves a screenshot of it (backdrop, title,
picture and wizard) in BUILD_DIR/screenshots/, then stops. A message box that
the installer shows on the way (a missing Setup.ins, a damaged payload) is
reported, kept in a screenshot of its own and answered with its first button.
With a DISPLAY it runs until you close it.

Usage: run_sample.py BUILD_DIR [INSTALLER]"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "harness"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import wineenv  # noqa: E402
from driversession import DriverSession, walk  # noqa: E402
from installer import Installer  # noqa: E402

WIZARD_CLASS = "TSetupWiz"
PAGE_CLASS = "TPage"


def first_page(session, installer, shots, shot_stem):
    """Waits for the wizard's first page and returns its caption; message
    boxes met on the way are reported, kept and answered."""
    boxes = []

    def page():
        windows = session.windows()
        installer.check_running(windows)
        for box in session.message_boxes(pid=installer.pid, windows=windows):
            boxes.append(box)
            session.wait_idle()
            shot = session.screenshot(os.path.join(shots, "%s-message-%d.png" % (shot_stem, len(boxes))))
            print("The installer shows a message box %r: %r (screenshot in %s); answered with %r."
                  % (box["caption"], box["text"], shot, box["buttons"][0]))
            session.driver("click-button", box["hwnd"], box["buttons"][0])
            wineenv.wait_for(lambda: session.window(box["hwnd"]) is None, 30, "the message box to close")
            return None
        for main in session.matching_windows(title="Setup Program", pid=installer.pid, windows=windows):
            for wizard in (w for w in walk(main) if w["class"] == WIZARD_CLASS and w["visible"]):
                shown = [w["text"] for w in walk(wizard) if w["class"] == PAGE_CLASS and w["visible"]]
                if shown:
                    return shown[0]
        return None

    return wineenv.wait_for(page, 120, "the wizard's first page", interval=0.25)


def main():
    build = os.path.abspath(sys.argv[1])
    shots = os.path.join(build, "screenshots")
    work = os.path.join(build, "wine")
    if len(sys.argv) > 2:
        installer_path = os.path.abspath(sys.argv[2])
        if not os.path.isfile(installer_path):
            print("run_sample: no installer %s" % installer_path, file=sys.stderr)
            return 1
        shot_stem = os.path.splitext(os.path.basename(installer_path))[0]
    else:
        installer_path = os.path.join(build, "samples", "sample-setup.exe")
        if not os.path.exists(installer_path):
            installer_path = os.path.join(build, "src", "launcher", "setupstub.exe")
        shot_stem = "sample-installer"

    if os.environ.get("DISPLAY"):
        with wineenv.WineSession(work, name="sample", use_display=os.environ["DISPLAY"]) as session:
            proc = session.start(installer_path)
            window = session.wait_window("Setup Program", timeout=120)
            print("The installer shows its window (X id %s) on display %s." % (window, session.env["DISPLAY"]))
            print("Close the installer to end.")
            proc.wait()
        return 0

    driver = os.path.join(build, "tools", "windriver", "windriver.exe")
    if not os.path.isfile(driver):
        print("run_sample: no test driver %s (build the windows preset first)" % driver, file=sys.stderr)
        return 1
    with DriverSession(work, driver, name="sample") as session:
        installer = Installer(session, installer_path, os.path.basename(installer_path)).start()
        caption = first_page(session, installer, shots, shot_stem)
        session.wait_idle()
        shot = session.screenshot(os.path.join(shots, shot_stem + ".png"))
        print("No display: ran %s on a virtual screen; the wizard shows its page %r; screenshot in %s"
              % (installer_path, caption, shot))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (AssertionError, wineenv.WineError) as e:
        print("run_sample: %s" % e, file=sys.stderr)
        sys.exit(1)
