"""The frame of the end-to-end test scripts: the build's paths from the
command line, a fresh driver session per test, and artefacts (screenshots)
kept under the build tree, in ARTIFACTS/<script>/<test>/.

A script calls main(); CTest passes --work, --driver, --stub, --sample,
--artifacts, --setuppack and --payload. Other arguments go to unittest (e.g. a test name).
"""
import argparse
import os
import shutil
import sys
import unittest

from driversession import DriverSession

PATHS = None


def main():
    global PATHS
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True, help="Wine work folder (prepared prefix, runs)")
    parser.add_argument("--driver", required=True, help="windriver.exe")
    parser.add_argument("--stub", required=True, help="the installer stub, setupstub.exe")
    parser.add_argument("--sample", required=True, help="the sample installer, sample-setup.exe")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots")
    parser.add_argument("--setuppack", required=True, help="the native packing tool, to make installers")
    parser.add_argument("--payload", required=True, help="folder of the sample payload's files")
    PATHS, rest = parser.parse_known_args()
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    PATHS.artifacts = os.path.join(os.path.abspath(PATHS.artifacts), script)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


class SessionTestCase(unittest.TestCase):
    """Each test gets `self.session`, a DriverSession on its own screen and
    prefix, closed (with everything it started) when the test ends, after a
    last screenshot."""

    def setUp(self):
        name = self.id().rsplit(".", 1)[-1]
        self.artifacts = os.path.join(PATHS.artifacts, name)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts)
        self.session = DriverSession(PATHS.work, PATHS.driver, name=name)
        self.session.__enter__()
        self.addCleanup(self._close_session)

    def _close_session(self):
        try:
            self.screenshot("final")
        finally:
            self.session.close()

    def screenshot(self, name):
        """Saves the screen as ARTIFACTS/.../<name>.png and returns the path."""
        return self.session.screenshot(os.path.join(self.artifacts, name + ".png"))

    def require_file(self, path, what):
        if not os.path.isfile(path):
            self.fail("%s is missing: %s (has it been built?)" % (what, path))
        return path
