#!/usr/bin/env python3
"""Signed installers: an installer signed with Authenticode (osslsigncode and
a throwaway self-signed certificate) passes the signature check, stays
readable to the packing tool and installs under Wine; a changed byte breaks
the signature; one built with the author's product and icon, then signed,
verifies with its resources rewritten and covered by the signature, and
so does one built for the current user only, whose manifest asks for
asInvoker; a signed stub is refused as a base for an installer."""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
sys.path.insert(0, os.path.join(HERE, "..", "tools"))
sys.path.insert(0, HERE)
import e2ecase  # noqa: E402
import layout  # noqa: E402
import payloads  # noqa: E402
from driversession import walk  # noqa: E402
from installer import Installer, extraction_folders  # noqa: E402
from wineenv import wait_for  # noqa: E402


def run(*args):
    return subprocess.run(args, capture_output=True, text=True)


class Signer:
    """A self-signed code-signing certificate made for one test."""

    def __init__(self, folder):
        self.key = os.path.join(folder, "key.pem")
        self.cert = os.path.join(folder, "cert.pem")
        made = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                   "-subj", "/CN=Lumora Test Signer", "-keyout", self.key, "-out", self.cert)
        if made.returncode != 0:
            raise AssertionError("openssl: " + made.stderr)

    def sign(self, source, target):
        signed = run("osslsigncode", "sign", "-certs", self.cert, "-key", self.key,
                     "-n", "Lumora Install Program", "-in", source, "-out", target)
        if signed.returncode != 0:
            raise AssertionError("osslsigncode sign: " + signed.stdout + signed.stderr)
        return target

    def verify(self, path):
        return run("osslsigncode", "verify", "-CAfile", self.cert, path).returncode == 0


def build(setuppack, stub, out, *options):
    files = [os.path.join(e2ecase.PATHS.payload, name) for name in sorted(os.listdir(e2ecase.PATHS.payload))]
    return run(setuppack, "build", "--stub", stub, "-o", out, *options, *files)


class SignedInstallerTest(e2ecase.SessionTestCase):

    def setUp(self):
        super().setUp()
        self.signer = Signer(self.artifacts)
        unsigned = os.path.join(self.artifacts, "unsigned.exe")
        built = build(e2ecase.PATHS.setuppack, e2ecase.PATHS.stub, unsigned)
        self.assertEqual(built.returncode, 0, built.stderr)
        self.assertEqual(os.path.getsize(unsigned) % 8, 0)
        self.signed = self.signer.sign(unsigned, os.path.join(self.artifacts, "signed.exe"))
        with open(unsigned, "rb") as f:
            self.archive_at = layout.parse_installer(f.read())[0]

    def test_signed_installer_verifies_and_is_read_by_the_tool(self):
        setuppack = e2ecase.PATHS.setuppack
        self.assertTrue(self.signer.verify(self.signed))
        verified = run(setuppack, "verify", self.signed)
        self.assertEqual(verified.returncode, 0, verified.stderr)
        self.assertIn("signed", verified.stdout)
        listed = run(setuppack, "list", self.signed)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertIn("cd.jpg", listed.stdout)
        out = os.path.join(self.artifacts, "extracted")
        extracted = run(setuppack, "extract", self.signed, out)
        self.assertEqual(extracted.returncode, 0, extracted.stderr)
        for name in os.listdir(e2ecase.PATHS.payload):
            with open(os.path.join(e2ecase.PATHS.payload, name), "rb") as a, \
                    open(os.path.join(out, name.lower()), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)

        # A changed byte in the payload breaks the signature.
        with open(self.signed, "rb") as f:
            data = bytearray(f.read())
        data[self.archive_at + 100] ^= 1
        tampered = os.path.join(self.artifacts, "tampered.exe")
        with open(tampered, "wb") as f:
            f.write(data)
        self.assertFalse(self.signer.verify(tampered))

        # Built with the author's product, then signed: the rewritten
        # resources verify, read back as built, and the signature covers them.
        icon = payloads.author_icon(self.artifacts)
        unsigned = os.path.join(self.artifacts, "AuroraSetup.exe")
        built = build(setuppack, e2ecase.PATHS.stub, unsigned, "--product", "Aurora Dreams", "--publisher",
                      "Lumora Ltd", "--version", "1.2.3", "--url", "https://lumora.example/", "--icon", icon)
        self.assertEqual(built.returncode, 0, built.stderr)
        product = self.signer.sign(unsigned, os.path.join(self.artifacts, "AuroraSetup-signed.exe"))
        self.assertTrue(self.signer.verify(product))
        verified = run(setuppack, "verify", product)
        self.assertEqual(verified.returncode, 0, verified.stderr)
        self.assertIn("signed", verified.stdout)
        self.assertIn("  Version=1.2.3\n", verified.stdout)
        version = subprocess.run(["wrestool", "-x", "--raw", "-t", "16", product], capture_output=True,
                                 check=True).stdout
        texts = layout.version_texts(version)
        self.assertEqual({key: texts.get(key) for key in ("ProductName", "CompanyName", "FileDescription",
                                                          "ProductVersion", "OriginalFilename")},
                         {"ProductName": "Aurora Dreams", "CompanyName": "Lumora Ltd",
                          "FileDescription": "Aurora Dreams Setup", "ProductVersion": "1.2.3",
                          "OriginalFilename": "AuroraSetup.exe"})
        self.assertEqual(layout.fixed_versions(version)[0], (1, 2, 3, 0))
        group = subprocess.run(["wrestool", "-x", "--raw", "-t", "14", product], capture_output=True,
                               check=True).stdout
        self.assertEqual(sorted(group[6 + 14 * i] for i in range(group[4])), [16, 32, 48])
        with open(product, "rb") as f:
            data = bytearray(f.read())
        at = data.index("Aurora Dreams Setup".encode("utf-16-le"))
        data[at] ^= 1
        tampered = os.path.join(self.artifacts, "tampered-resources.exe")
        with open(tampered, "wb") as f:
            f.write(data)
        self.assertFalse(self.signer.verify(tampered))

        # Built for the current user only, then signed: its manifest asks for
        # the user's own rights, with the stub's DPI awareness, under the
        # signature.
        unsigned = os.path.join(self.artifacts, "UserSetup.exe")
        built = build(setuppack, e2ecase.PATHS.stub, unsigned, "--per-user")
        self.assertEqual(built.returncode, 0, built.stderr)
        user = self.signer.sign(unsigned, os.path.join(self.artifacts, "UserSetup-signed.exe"))
        self.assertTrue(self.signer.verify(user))
        manifest = subprocess.run(["wrestool", "-x", "--raw", "-t", "24", user], capture_output=True,
                                  check=True).stdout
        stub_manifest = subprocess.run(["wrestool", "-x", "--raw", "-t", "24", e2ecase.PATHS.stub],
                                       capture_output=True, check=True).stdout
        self.assertIn(b'<requestedExecutionLevel level="requireAdministrator"', stub_manifest)
        self.assertEqual(manifest, stub_manifest.replace(b'"requireAdministrator"', b'"asInvoker"'))
        self.assertIn(b">PerMonitorV2, PerMonitor</dpiAwareness>", manifest)
        self.assertIn("installs for: the current user only", run(setuppack, "verify", user).stdout)
        with open(user, "rb") as f:
            data = bytearray(f.read())
        data[data.index(b'"asInvoker"') + 1] ^= 1
        tampered = os.path.join(self.artifacts, "tampered-manifest.exe")
        with open(tampered, "wb") as f:
            f.write(data)
        self.assertFalse(self.signer.verify(tampered))

        # A signed stub is no base for an installer.
        signed_stub = self.signer.sign(e2ecase.PATHS.stub, os.path.join(self.artifacts, "signed-stub.exe"))
        refused = build(setuppack, signed_stub, os.path.join(self.artifacts, "refused.exe"))
        self.assertEqual(refused.returncode, 1)
        self.assertIn("is signed", refused.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.artifacts, "refused.exe")))

    def test_signed_installer_restores_its_payload_and_shows_the_wizard(self):
        installer = Installer(self.session, self.signed, "signed.exe").start()
        main = installer.wait_main_window()
        wait_for(lambda: [w for w in walk(self.session.window(main["hwnd"])) if w["class"] == "TSetupWiz"],
                 60, "the wizard")
        [folder] = extraction_folders(self.session)
        for name in os.listdir(e2ecase.PATHS.payload):
            restored = os.path.join(folder, name.lower())
            self.assertTrue(os.path.isfile(restored), name)
            with open(os.path.join(e2ecase.PATHS.payload, name), "rb") as a, open(restored, "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        self.screenshot("wizard")


if __name__ == "__main__":
    e2ecase.main()
