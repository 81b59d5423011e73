#!/usr/bin/env python3
"""Runs the native setuppack: build, then list and verify, and verify's
verdict on damaged installers; the checks of the payload by build and
verify, and settings; extract of installers, bare archives and volume sets;
exit codes and messages.

Usage: setuppack_test.py SETUPPACK SOURCE_DIR"""
import os
import pty
import random
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layout  # noqa: E402

SETUPPACK = SOURCE_DIR = None


def run(*args):
    result = subprocess.run([SETUPPACK, *args], capture_output=True, text=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


def i32(value):
    return value.to_bytes(4, "little", signed=True)


def counted(text):
    return i32(len(text)) + text


# Settings that name Big.scr as the screensaver and no picture: 143 bytes.
WORKSPACE_SETTINGS = ("False\r\nA title that makes the file 143 bytes long, for the totals below"
                      "\r\nBig.scr\r\n\r\nFalse\r\nNONE\r\nFalse\r\nFalse\r\nNONE\r\nnil\r\nFalse"
                      "\r\n0\r\n0\r\n255\r\n0\r\n").encode()


class Workspace(unittest.TestCase):
    """A folder with the five files of a sound payload and a stub."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.dir = self._tmp.name
        rng = random.Random(5)
        self.files = {
            "CD.jpg": bytes(rng.getrandbits(8) for _ in range(17504)),
            "Big.scr": bytes(rng.getrandbits(8) for _ in range(32768)),
            "Lmunist.exe": b"",
            "Install.exe": b"",
            "Setup.ins": WORKSPACE_SETTINGS,
        }
        self.paths = []
        for name, data in self.files.items():
            path = self.path(name)
            with open(path, "wb") as f:
                f.write(data)
            self.paths.append(path)
        self.stub = layout.stub_image(bytes(rng.getrandbits(8) for _ in range(3000)))
        with open(self.path("stub.exe"), "wb") as f:
            f.write(self.stub)

    def tearDown(self):
        self._tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def build(self, *extra, files=None):
        out = self.path("setup.exe")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", out, *extra,
                         *(files or self.paths))
        self.assertEqual(rc, 0, err)
        with open(out, "rb") as f:
            return out, bytearray(f.read())

    def write(self, name, data):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(data)
        return path


class SetuppackTest(Workspace):
    def test_build_list_verify(self):
        out, data = self.build("--store")
        # An independent reading: stub, archive at the stub's size, files intact.
        start, title, total, count, entries, end = layout.parse_installer(bytes(data))
        self.assertEqual(bytes(data[:len(self.stub)]), self.stub)
        # Up to 7 zeros between stub and check record make the installer's
        # length a multiple of 8, so that a signature's table follows the
        # trailer; the record's CRC-32 covers the archive up to the trailer.
        self.assertEqual(len(data) % 8, 0)
        self.assertIn(start - 20 - len(self.stub), range(8))
        self.assertEqual(bytes(data[len(self.stub):start - 20]), bytes(start - 20 - len(self.stub)))
        self.assertEqual(layout.check_record(bytes(data)), (len(data) - 4 - start, zlib.crc32(data[start:-4])))
        self.assertEqual((title, total, count), ("Setup", 17504 + 32768 + 143, 5))
        self.assertEqual(end + 4, len(data) - 4)
        for entry, (name, original) in zip(entries, self.files.items()):
            full = os.path.abspath(self.path(name))
            self.assertEqual(entry.name, "c:\\" + name.lower())
            self.assertEqual(entry.data(bytes(data)), original)
            self.assertEqual(entry.stamp, layout.dos_stamp(os.path.getmtime(full)))

        rc, listing, err = run("list", out)
        self.assertEqual(rc, 0, err)
        self.assertIn('title "Setup", total size 50415, file count 5', listing)
        # OUT's folders are made.
        deeper = self.path(os.path.join("dist", "v1", "setup.exe"))
        self.assertEqual(run("build", "--store", "--stub", self.path("stub.exe"), "-o", deeper, *self.paths)[0], 0)
        with open(deeper, "rb") as f:
            self.assertEqual(f.read(), data)
        stamp = time.strftime("%Y-%m-%d %H:%M:", time.localtime(os.path.getmtime(self.paths[0])))
        rows = {line.split()[-1].rsplit("\\", 1)[-1]: line for line in listing.splitlines()
                if "\\" in line}
        self.assertIn(stamp, rows["cd.jpg"])
        for name, size, blocks in (("cd.jpg", 17504, "1 raw + 1 stored"), ("big.scr", 32768, "2 raw"),
                                   ("lmunist.exe", 0, "none"), ("setup.ins", 143, "1 stored")):
            self.assertRegex(rows[name], r"\s%d\s+%s\s" % (size, blocks.replace("+", r"\+")))

        rc, said, err = run("verify", out)
        self.assertEqual((rc, err), (0, ""))
        self.assertIn("sound", said)
        # list and verify say one thing of the check value, and so does
        # verify of a damaged copy; without a record, that there is none.
        recorded = "CRC-32 %08X as its check record says, texts 8-bit" % zlib.crc32(data[start:-4])
        self.assertIn(recorded, listing.splitlines()[0])
        self.assertIn(recorded, said)
        damaged = bytearray(data)
        damaged[entries[1].blocks[0][1]] ^= 1
        rc, _, err = run("verify", self.write("damaged.exe", bytes(damaged)))
        self.assertEqual(rc, 1)
        self.assertIn(", not %08X as its check record says: the file is damaged" % zlib.crc32(data[start:-4]), err)
        unchecked = self.write("unchecked.exe", layout.without_check_record(bytes(data)))
        for command in ("list", "verify"):
            self.assertIn(", no check record: unchecked, texts 8-bit", run(command, unchecked)[1])

        # The archive alone, without stub and trailer.
        bare = self.write("bare.arc", bytes(data[start:-4]))
        self.assertEqual(run("verify", "--archive", bare)[0], 0)
        self.assertEqual(run("list", "--archive", bare)[0], 0)

    def test_the_same_files_give_the_same_bytes_from_any_folder_and_time_zone(self):
        epoch = 1767225600  # 2026-01-01 00:00:00 UTC
        older = epoch - 86400 * 30 + 7  # kept, and read as UTC
        outputs = []
        for folder, zone in (("one", "UTC0"), (os.path.join("two", "deeper"), "JST-9")):
            os.makedirs(self.path(folder))
            paths = []
            for name, data in self.files.items():
                paths.append(self.write(os.path.join(folder, name), data))
            os.utime(paths[0], (older, older))  # the others are newer: clamped
            out = self.path(os.path.join(folder, "setup.exe"))
            built = subprocess.run([SETUPPACK, "build", "--stub", self.path("stub.exe"), "-o", out, *paths],
                                   capture_output=True, text=True,
                                   env=dict(os.environ, TZ=zone, SOURCE_DATE_EPOCH=str(epoch)))
            self.assertEqual(built.returncode, 0, built.stderr)
            with open(out, "rb") as f:
                outputs.append(f.read())
        self.assertEqual(outputs[0], outputs[1])
        stamps = [entry.stamp for entry in layout.parse_installer(outputs[0])[4]]
        utc = lambda t: layout.dos_stamp(t, time.gmtime)  # noqa: E731
        self.assertEqual(stamps, [utc(older)] + [utc(epoch)] * 4)

    def test_verify_rejects_damaged_installers(self):
        out, data = self.build("--store")
        start, _, _, _, entries, end = layout.parse_installer(bytes(data))
        cd = entries[0]
        zlib_length, zlib_at = cd.blocks[1]
        size = len(data)

        def changed(at, byte):
            copy = bytearray(data)
            copy[at] = byte
            return copy

        def with_trailer(value):
            copy = bytearray(data)
            copy[-4:] = value.to_bytes(4, "little", signed=True)
            return copy

        cases = [
            ("flipped byte in a compressed block", changed(zlib_at + 500, data[zlib_at + 500] ^ 1),
             ['entry "%s", block 2' % cd.name, "offset %d" % (zlib_at - 4)]),
            ("flipped byte in a raw block", changed(cd.blocks[0][1] + 7, data[cd.blocks[0][1] + 7] ^ 4),
             ["CRC-32", "the file is damaged"]),
            ("flipped Adler-32", changed(zlib_at + zlib_length - 1, data[zlib_at + zlib_length - 1] ^ 0x80),
             ["block 2"]),
            ("truncated file", data[:size // 2], []),
            ("trailer beyond the file", with_trailer(size + 100), ["trailer"]),
            ("negative trailer", with_trailer(-5), ["trailer"]),
            ("trailer at the wrong place", with_trailer(start + 1), []),
            ("wrong total size", changed(start + 4 + 5, data[start + 4 + 5] ^ 1), ["total size"]),
            ("bytes before the trailer", data[:-4] + b"junk" + data[-4:], ["4 bytes lie between"]),
            ("bad block magic", changed(cd.offset + 4 + len(cd.name) + 7, 0x41), ["Invalid archive type"]),
        ]
        for what, damaged, words in cases:
            with self.subTest(what):
                path = self.write("damaged.exe", bytes(damaged))
                rc, _, err = run("verify", path)
                self.assertEqual(rc, 1, err)
                self.assertTrue(err.startswith("setuppack: "), err)
                for word in words:
                    self.assertIn(word, err)

    def test_compress_by_default_and_refusals(self):
        text = b"".join(b"line %d of a text that compresses well\r\n" % (i % 50) for i in range(3000))
        textfile = self.write("readme.txt", text)
        out, data = self.build("--title", "Aurora", "--force", files=[textfile, self.paths[0]])
        _, title, total, _, entries, _ = layout.parse_installer(bytes(data))
        self.assertEqual((title, total), ("Aurora", len(text) + 17504))
        chunks = -(-len(text) // 16384)
        self.assertEqual(len(entries[0].blocks), chunks)
        self.assertTrue(all(length > 0 for length, _ in entries[0].blocks))
        self.assertLess(sum(length for length, _ in entries[0].blocks), len(text) // 4)
        # Random bytes do not deflate: each of their chunks stays raw.
        self.assertEqual([length for length, _ in entries[1].blocks], [-16384, -1120])
        for entry, original in zip(entries, (text, self.files["CD.jpg"])):
            self.assertEqual(entry.data(bytes(data)), original)
        # The archive is sound; the payload is no installer's (no Setup.ins).
        start = layout.parse_installer(bytes(data))[0]
        self.assertEqual(run("verify", "--archive", self.write("alone.arc", bytes(data[start:-4])))[0], 0)
        rc, listing, _ = run("list", out)
        self.assertEqual(rc, 0)
        self.assertRegex(listing, r"\s%d\s+%d deflated\s.*readme\.txt" % (len(text), chunks))
        self.assertRegex(listing, r"\s17504\s+2 raw\s.*cd\.jpg")

        # Two files restored under one base name would overwrite each other.
        os.mkdir(self.path("other"))
        twin = self.write(os.path.join("other", "cd.JPG"), b"twin")
        target = self.path("twins.exe")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", target, self.paths[0], twin)
        self.assertEqual(rc, 1)
        self.assertIn("cd.jpg", err)
        self.assertFalse(os.path.exists(target))

        # Names are stored in the installer's code page; one it cannot spell
        # is refused.
        omega = self.write("\u03a9mega.txt", b"omega")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", target, "--force", omega)
        self.assertEqual(rc, 1)
        self.assertIn("code page 1252 has no place for the character \"\u03a9\" (U+03A9)", err)
        self.assertFalse(os.path.exists(target))
        for codepage, file, stored in (("1253", omega, b"\xd9mega.txt"),
                                       ("1252", self.write("caf\u00e9.jpg", b"cafe"), b"caf\xe9.jpg")):
            rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", target, "--force", "--codepage",
                             codepage, file)
            self.assertEqual(rc, 0, err)
            with open(target, "rb") as f:
                name = layout.parse_installer(f.read())[4][0].name.encode("latin-1")
            self.assertTrue(name.endswith(b"\\" + stored), name)

    def test_special_entries_and_volumes(self):
        magic = b"EC2\0"
        first = (counted(b"Setup") + i32(6) + i32(2) + i32(-3)
                 + counted(b"FILE:LIST") + i32(0) + magic + i32(-2) + b"xy" + i32(0)
                 + counted(b"c:\\a.txt") + i32(0x2E3F35EE) + magic + i32(-3) + b"abc" + i32(0)
                 + counted(b"NEXT:DISK002"))
        arc = self.write("vol.arc", first)
        second = self.write("vol.002", magic + i32(-3) + b"def" + i32(0) + i32(0))

        rc, listing, err = run("list", "--archive", arc)
        self.assertEqual(rc, 0, err)
        self.assertIn("name length -3: passed over", listing)
        self.assertIn("FILE:LIST  (file list: never restored)", listing)
        self.assertIn("continues in " + second, listing)
        self.assertRegex(listing, r"2003-01-31 06:47:28\s+6\s+2 raw\s+c:\\a\.txt")
        self.assertEqual(run("verify", "--archive", arc)[0], 0)

        # An installer's payload never continues in another volume.
        installer = self.write("split.exe", self.stub + first + i32(len(self.stub)))
        rc, _, err = run("verify", installer)
        self.assertEqual(rc, 1)
        self.assertIn("NEXT:DISK002", err)
        os.remove(second)
        rc, _, err = run("verify", "--archive", arc)
        self.assertEqual(rc, 1)
        self.assertIn("missing", err)

    def test_exit_codes_and_help(self):
        usage = [
            (),
            ("pack",),
            ("build", "--stub", self.path("stub.exe"), self.paths[0]),
            ("build", "--stub", self.path("stub.exe"), "-o", self.path("x.exe")),
            ("build", "-o"),
            ("list",),
            ("list", "a", "b"),
            ("verify", "--bogus", "a"),
            ("verify", "--archive", "--archive", "a"),
            ("extract", self.paths[0]),
            ("extract", "a", "b", "c"),
            ("extract", "--all", "a", "b"),
            ("extract", "a", ""),
            ("extract", "a", self.path("back\\slash")),
            ("settings",),
            ("settings", "a", "b"),
            ("settings", "--set", "TitleText=x", "a"),
            ("settings", "--set", "TitleText", "-o", self.path("s.ins")),
        ]
        build = ("build", "--stub", self.path("stub.exe"), "-o", self.path("x.exe"), self.paths[0])
        threads = 'setuppack: --threads takes a number of threads from 1 to 256, not "%s"'
        worded = [((*build, "--solid", "--threads", value), threads % value) for value in ("0", "2x", "99999999999")]
        worded.append(((*build, "--threads", "2"), "setuppack: --threads is for --solid"))
        for args, words in [(args, "setuppack") for args in usage] + worded:
            with self.subTest(args=args):
                rc, _, err = run(*args)
                self.assertEqual(rc, 2, err)
                self.assertIn(words, err)
        for args in (("--help",), ("-h",), ("build", "--help"), ("list", "-h"), ("verify", "--help"),
                     ("extract", "--help"), ("settings", "--help")):
            with self.subTest(args=args):
                rc, said, _ = run(*args)
                self.assertEqual(rc, 0)
                self.assertIn("usage: setuppack", said)
        missing = self.path("missing.exe")
        installer = self.build()[0]
        stubs = {name: self.write(name, data) for name, data in (
            ("console.exe", layout.stub_image(bytes(100), subsystem=3)),
            ("wide.exe", layout.stub_image(bytes(100), machine=0x8664, magic=0x20B)))}
        for args, words in (
                (("list", missing), "missing.exe"), (("verify", missing), "missing.exe"),
                (("build", "--stub", self.path("none.exe"), "-o", self.path("y.exe"), *self.paths),
                 "the setup stub %s cannot be opened" % self.path("none.exe")),
                (("build", "--stub", self.path("stub.exe"), "-o", self.path("y.exe"), missing), "missing.exe"),
                (("extract", missing, self.path("out")), "missing.exe"),
                (("extract", "--archive", missing, self.path("out")), "missing.exe"),
                (("extract", installer, self.paths[0]), self.paths[0]),
                # What is no setup stub is refused as one.
                (("build", "--stub", self.paths[-1], "-o", self.path("y.exe"), *self.paths), "is no Windows program"),
                (("build", "--stub", installer, "-o", self.path("y.exe"), *self.paths),
                 "bytes behind its program image: it is an installer already"),
                (("build", "--stub", stubs["console.exe"], "-o", self.path("y.exe"), *self.paths),
                 "is a console or other program, not the setup stub"),
                (("build", "--stub", stubs["wide.exe"], "-o", self.path("y.exe"), *self.paths), "is a 64-bit"),
                (("verify", self.path("stub.exe")), "a setup stub (or another program) without a payload")):
            with self.subTest(args=args):
                rc, _, err = run(*args)
                self.assertEqual(rc, 1)
                self.assertTrue(err.startswith("setuppack: "), err)
                self.assertIn(words, err)
                self.assertFalse(os.path.exists(self.path("y.exe")))


# The version information of the setup stub as its resource script writes it.
STUB_TEXTS = {"CompanyName": "Quillon Computers Ltd", "FileDescription": "Lumora Install Program",
              "FileVersion": "1.0.0", "InternalName": "setupstub",
              "LegalCopyright": "Copyright (C) 2026 Quillon Computers Ltd", "OriginalFilename": "setupstub.exe",
              "ProductName": "Lumora Screensaver Setup", "ProductVersion": "1.0.0"}
MANIFEST = b"<assembly manifestVersion='1.0'/>"


def icon_file(data, entries):
    """An icon file of 16 x 16 images in 32 bits: its list of `entries`
    ((offset, size) in `data`), then `data`."""
    listed = 6 + 16 * len(entries)
    return (struct.pack("<HHH", 0, 1, len(entries))
            + b"".join(struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, size, listed + at) for at, size in entries)
            + data)


def fnv1a(data):
    """The 32-bit FNV-1a hash of `data`, in 8 hexadecimal digits."""
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return "%08x" % value


def resources_of(path):
    """{(type, name): data} of a program, read by wrestool."""
    listed = subprocess.run(["wrestool", "-l", path], capture_output=True, text=True, check=True).stdout
    found = {}
    for kind, name in re.findall(r"--type=(\d+) --name=(\d+)", listed):
        found[int(kind), int(name)] = subprocess.run(
            ["wrestool", "-x", "--raw", "-t", kind, "-n", name, path], capture_output=True, check=True).stdout
    return found


class ProductTest(Workspace):
    """build's options for the author's product: Product.ins in the payload,
    the installer's version information and icon rewritten (read back with
    wrestool), what settings and verify show, and the values refused."""

    def setUp(self):
        super().setUp()
        pictures = []
        # The largest image in full colour: the resources outgrow their
        # section's page, and the relocations behind it move.
        for size, colour in ((16, "xc:red"), (32, "xc:green"), (48, "plasma:")):
            pictures.append(self.path("%d.png" % size))
            subprocess.run(["convert", "-seed", "5", "-size", "%dx%d" % (size, size), colour, pictures[-1]],
                           check=True)
        self.icon = self.path("aurora.ico")
        subprocess.run(["icotool", "-c", "-o", self.icon, *pictures], check=True)
        with open(self.icon, "rb") as f:
            self.icon_data = f.read()
        stub_icon = self.path("stub.ico")
        subprocess.run(["icotool", "-c", "-o", stub_icon, pictures[0]], check=True)
        with open(stub_icon, "rb") as f:
            image = f.read()[22:]
        group = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHIH", 16, 16, 0, 0, 1, 32, len(image), 1)
        self.stub_resources = [(layout.RT_ICON, 1, 1033, image), (layout.RT_GROUP_ICON, 1, 1033, group),
                               (layout.RT_VERSION, 1, 1033, layout.version_resource(STUB_TEXTS)),
                               (layout.RT_MANIFEST, 1, 1033, MANIFEST)]

    def built(self, stub, *options):
        with open(self.path("stub.exe"), "wb") as f:
            f.write(stub)
        out = self.path("MySetup.exe")
        rc, said, err = run("build", "--stub", self.path("stub.exe"), "-o", out, *options, *self.paths)
        self.assertEqual((rc, err), (0, ""), err)
        self.assertIn("MySetup.exe: 6 files" if "--url" in options or "--version" in options else "5 files", said)
        with open(out, "rb") as f:
            return out, f.read()

    def check_refused(self, stub, options, code, words):
        """build with the stub `stub` and `options` ends with `code`, says
        `words` and writes nothing."""
        self.write("stub.exe", stub)
        out = self.path("refused.exe")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", out, *options, *self.paths)
        self.assertEqual(rc, code, err)
        self.assertIn(words, err)
        self.assertFalse(os.path.exists(out))

    def test_the_product_in_the_payload_and_in_the_installers_resources(self):
        everything = ("--product", "Aurora \u00c9toiles", "--publisher", "Lumora Ltd", "--version", "1.2.3.4",
                      "--url", "https://lumora.example/aurora", "--icon", self.icon)
        cases = [
            # case, stub, options, texts changed, version numbers, icon images, Product.ins
            ("the stub's resources, the relocations moved", layout.program_image(self.stub_resources), everything,
             {"ProductName": "Aurora \u00c9toiles", "FileDescription": "Aurora \u00c9toiles Setup",
              "CompanyName": "Lumora Ltd", "LegalCopyright": "Copyright (C) Lumora Ltd", "FileVersion": "1.2.3.4",
              "ProductVersion": "1.2.3.4"}, (1, 2, 3, 4), 3,
             b"Aurora \xc9toiles\r\nLumora Ltd\r\n1.2.3.4\r\nhttps://lumora.example/aurora\r\n"
             b"lumora-ltd.aurora-toiles-%s\r\n\r\n" % fnv1a("Aurora \u00c9toiles".encode()).encode()),
            ("resources last, the URL alone", layout.program_image(self.stub_resources, relocations=False),
             ("--url", "https://lumora.example/"), {}, (1, 0, 0, 0), 1,
             b"\r\n\r\n\r\nhttps://lumora.example/\r\n\r\n\r\n"),
            ("a stub without resources gets a section of them", layout.program_image(),
             ("--version", "2.0.65535", "--icon", self.icon), None, (2, 0, 65535, 0), 3,
             b"\r\n\r\n2.0.65535\r\n\r\n\r\n\r\n"),
        ]
        for case, stub, options, texts, numbers, images, product_file in cases:
            with self.subTest(case):
                out, data = self.built(stub, *options)
                found = resources_of(out)
                # The rest of the stub's texts stay; the installer is named as built.
                expected = dict(STUB_TEXTS, **texts) if texts is not None else {"FileVersion": "2.0.65535",
                                                                                 "ProductVersion": "2.0.65535"}
                expected.update(OriginalFilename="MySetup.exe", InternalName="MySetup")
                version = found[layout.RT_VERSION, 1]
                self.assertEqual(layout.version_texts(version), expected)
                self.assertEqual(layout.fixed_versions(version), (numbers, numbers))
                self.assertEqual(found.get((layout.RT_MANIFEST, 1)), MANIFEST if texts is not None else None)
                group = found[layout.RT_GROUP_ICON, 1]
                self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, images))
                for i in range(images):
                    number = struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
                    if options[-2:] == ("--icon", self.icon):
                        size, at = struct.unpack_from("<II", self.icon_data, 6 + 16 * i + 8)
                        self.assertEqual(found[layout.RT_ICON, number], self.icon_data[at:at + size])
                self.assertEqual(len([key for key in found if key[0] == layout.RT_ICON]), images)
                # Sections one after the other, in memory and in the file;
                # the relocations moved along with their directory; the
                # stub's checksum set again over the whole installer.
                sections, directories, image_size = layout.image_layout(data)
                for before, after in zip(sections, sections[1:]):
                    self.assertEqual(after[2], before[2] + -(-before[1] // 0x1000) * 0x1000)
                    self.assertEqual(after[4], before[4] + before[3])
                self.assertEqual(image_size, sections[-1][2] + -(-sections[-1][1] // 0x1000) * 0x1000)
                named = {section[0]: section for section in sections}
                self.assertEqual(directories[2], (named[".rsrc"][2], named[".rsrc"][1]))
                if ".reloc" in named:
                    reloc = named[".reloc"]
                    self.assertEqual(reloc[2], 0x5000 if case.endswith("moved") else 0x2000)
                    self.assertEqual(directories[5], (reloc[2], 12))
                    self.assertEqual(data[reloc[4]:reloc[4] + 12], struct.pack("<IIHH", 0x1000, 12, 0x3010, 0))
                self.assertEqual(*layout.pe_checksum(data))
                self.assertEqual(len(data) % 8, 0)
                entries = layout.parse_installer(data)[4]
                self.assertEqual(entries[-1].name, "c:\\product.ins")
                self.assertEqual(entries[-1].data(data), product_file)
                shown = [line for line, value in zip(("Product=", "Publisher=", "Version=", "Url=", "ProductId="),
                                                     product_file.decode("cp1252").split("\r\n")) if value]
                rc, said, err = run("verify", out)
                self.assertEqual((rc, err), (0, ""))
                # A text beyond ASCII has the installer record its code page.
                recorded = max(product_file) >= 0x80
                self.assertEqual(found.get((layout.RT_RCDATA, 2)), b"1252" if recorded else None)
                self.assertEqual(said.splitlines()[1], "  texts: 8-bit, code page 1252 as the installer records "
                                                       "(shown as written on every system)" if recorded else
                                                       "  texts: 8-bit, read as code page 1252 (shown as written "
                                                       "only on systems of that code page)")
                self.assertEqual([line.strip().split("=")[0] + "=" for line in said.splitlines()[2:]], shown)
                rc, said, _ = run("settings", out)
                self.assertEqual(rc, 0)
                self.assertEqual([line.split("=")[0] + "=" for line in said.splitlines()[15:]], shown)
                if texts:
                    self.assertIn("Url=https://lumora.example/aurora\n", said)
                    self.assertIn("Product=Aurora \u00c9toiles\n", said)

        # Without the options the stub is copied as it is, resources and all.
        stub = layout.program_image(self.stub_resources)
        out, data = self.built(stub)
        self.assertEqual(data[:len(stub)], stub)
        self.assertNotIn("product.ins", [entry.name[3:] for entry in layout.parse_installer(data)[4]])
        self.assertNotIn("Product=", run("verify", out)[1] + run("settings", out)[1])

    def test_an_image_listed_many_times_is_carried_once(self):
        # 64 entries, each of the same PNG picture's bytes.
        with open(self.path("48.png"), "rb") as f:
            picture = f.read()
        icon = self.write("shared.ico", icon_file(picture, [(0, len(picture))] * 64))
        stub = layout.program_image(self.stub_resources)
        out, data = self.built(stub, "--icon", icon)
        found = resources_of(out)
        self.assertEqual([key for key in found if key[0] == layout.RT_ICON], [(layout.RT_ICON, 1)])
        self.assertEqual(found[layout.RT_ICON, 1], picture)
        group = found[layout.RT_GROUP_ICON, 1]
        self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, 64))
        self.assertEqual({struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(64)}, {1})
        plain = self.built(stub)[1]
        self.assertLess(len(data) - len(plain), len(picture) + 2 * 4096)

    def test_the_product_identity_and_the_uninstallers_resources(self):
        # The payload's uninstaller a program with resources of its own.
        original = layout.program_image(self.stub_resources)
        self.write("Lmunist.exe", original)
        self.write("stub.exe", layout.program_image(self.stub_resources))
        polish = "\u015awietlik Studio"

        def build(*options):
            out = self.path("zorza.exe")
            rc, said, err = run("build", "--stub", self.path("stub.exe"), "-o", out, *options, *self.paths)
            self.assertEqual((rc, err), (0, ""))
            with open(out, "rb") as f:
                data = f.read()
            files = {entry.name[3:]: entry.data(data) for entry in layout.parse_installer(data)[4]}
            product = files.get("product.ins", b"").split(b"\r\n")
            return said, files["lmunist.exe"], product

        # Made of the publisher and the product, the same for every version;
        # a name beyond ASCII keeps its hash.
        made = "wietlik-studio-%s.zorza" % fnv1a(polish.encode())
        for version in ("1.1.0", "1.2.0"):
            said, uninstaller, product = build("--codepage", "1250", "--product", "Zorza", "--publisher", polish,
                                               "--version", version, "--icon", self.icon)
            self.assertIn("product identity: %s, made of --publisher and --product" % made, said)
            self.assertEqual(product[4:6], [made.encode(), b"Lmunist.exe"])
        # The uninstaller carries the product's version information and icon.
        self.write("uninstaller.exe", uninstaller)
        found = resources_of(self.path("uninstaller.exe"))
        version = found[layout.RT_VERSION, 1]
        self.assertEqual(layout.version_texts(version), dict(STUB_TEXTS, ProductName="Zorza",
                                                             FileDescription="Zorza Uninstall", CompanyName=polish,
                                                             LegalCopyright="Copyright (C) " + polish,
                                                             FileVersion="1.2.0", ProductVersion="1.2.0"))
        self.assertEqual(layout.fixed_versions(version), ((1, 2, 0, 0), (1, 2, 0, 0)))
        self.assertEqual(struct.unpack_from("<HHH", found[layout.RT_GROUP_ICON, 1]), (0, 1, 3))

        cases = [
            # options, identity, what build says of it
            (("--product", "Zorza", "--publisher", "Swietlik Studio"), "swietlik-studio.zorza", "made of"),
            (("--codepage", "1250", "--product", "\u017borza"), "orza-%s" % fnv1a("\u017borza".encode()), "made of"),
            (("--product", "Zorza", "--product-id", "{0F7E6A52-Zorza}"), "{0F7E6A52-Zorza}", "from --product-id"),
            (("--product-id", "pl.swietlik.zorza"), "pl.swietlik.zorza", "from --product-id"),
        ]
        for options, identity, how in cases:
            with self.subTest(options=options):
                said, uninstaller, product = build(*options)
                self.assertIn("product identity: %s, %s" % (identity, how), said)
                # Without --icon the entry keeps the screensaver's icon.
                self.assertEqual(product[4:6], [identity.encode(), b""])
                self.assertNotEqual(uninstaller, original)

        # Without the product's options the uninstaller goes as it is; so
        # does one whose data behind its image the rewrite would lose.
        said, uninstaller, product = build()
        self.assertNotIn("product identity", said)
        self.assertEqual((uninstaller, product), (original, [b""]))
        self.write("Lmunist.exe", original + b"appended")
        said, uninstaller, product = build("--product", "Zorza", "--icon", self.icon)
        self.assertIn("carried as it is, without the product's version information and icon: data behind its "
                      "program image would be lost", said)
        self.assertEqual((uninstaller, product[5]), (original + b"appended", b""))

    def test_the_languages_chosen_in_the_installers_resources(self):
        sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
        import translations
        reference, tables, problems = translations.read_folder(os.path.join(SOURCE_DIR, "translations"))
        self.assertEqual(problems, [])
        mark = translations.mark(reference).encode()
        by_tag = {table.tag: table for table in tables}
        # A stub that reads the tables holds their mark.
        stub = layout.program_image(self.stub_resources, constant=mark)
        cases = [
            ("de,fr,ja", ["de", "fr", "ja"]),
            ("JA,pt-br,ja", ["ja", "pt-BR"]),
            ("en,ru", ["ru"]),
            (" de, pl ", ["de", "pl"]),
            ("all", sorted(tag for tag in by_tag if tag != "en")),
        ]
        for value, tags in cases:
            with self.subTest(language=value):
                out, data = self.built(stub, "--language", value)
                found = resources_of(out)
                # The tables as the installer reads them (base/TextTables.h):
                # the mark, then each language's number and its texts.
                expected = mark + b"".join(
                    struct.pack("<H", by_tag[tag].langid) +
                    b"".join(by_tag[tag].texts[key].encode() + b"\0" for key in reference.texts) for tag in tags)
                self.assertEqual(found[layout.RT_RCDATA, 1], expected)
                # The stub's other resources as they were.
                self.assertEqual(found[layout.RT_VERSION, 1], layout.version_resource(STUB_TEXTS))
                self.assertEqual(found[layout.RT_MANIFEST, 1], MANIFEST)
                self.assertEqual(layout.pe_checksum(data)[0], layout.pe_checksum(data)[1])
                self.assertEqual(run("verify", out)[0], 0)
        self.assertEqual(len(by_tag), 11)
        self.assertEqual(by_tag["de"].texts["button.next"], "&Weiter >")

        # English is every installer's own: the stub is copied as it is.
        out, data = self.built(stub, "--language", "en")
        self.assertEqual(data[:len(stub)], stub)

        refused = [
            (stub, ("--language", "xx"), 2, "--language: \"xx\" is no language of the tool; give tags from en, de,"),
            (stub, ("--language", "de,,fr"), 2, "\"\" is no language"),
            (stub, ("--language", "de_DE"), 2, "\"de_DE\" is no language"),
            (stub, ("--language", ""), 2, "\"\" is no language"),
            (layout.program_image(self.stub_resources), ("--language", "de"), 1,
             "does not read the translations of this setuppack"),
        ]
        for image, options, code, words in refused:
            with self.subTest(refused=options):
                self.check_refused(image, options, code, words)

    def test_values_that_are_no_product_and_files_that_are_no_icon_are_refused(self):
        png = self.path("16.png")
        with open(png, "rb") as f:
            picture = f.read()
        cursor = self.write("arrow.cur", b"\0\0\2\0" + self.icon_data[4:])
        cut = self.write("cut.ico", self.icon_data[:len(self.icon_data) // 2])
        damaged = bytearray(picture)
        damaged[18] ^= 1  # in the header's width
        # A bitmap of 16 x 16 pixels in 32 bits: header, pixels, mask.
        bitmap = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(16 * 16 * 4 + 4 * 16)
        # More than 4 MiB of images, each sound (a bitmap may carry bytes
        # beyond its mask).
        large = bitmap + bytes(3 << 20)
        icons = {name: self.write(name + ".ico", icon_file(data, entries)) for name, data, entries in (
            ("signature", b"\x89PNG\r\n\x1a\n", [(0, 8)]),
            ("png-cut", picture, [(0, len(picture) - 20)]),
            ("png-crc", bytes(damaged), [(0, len(damaged))]),
            ("png-trailing", picture + b"junk", [(0, len(picture) + 4)]),
            ("planes", bitmap[:12] + b"\0\0" + bitmap[14:], [(0, len(bitmap))]),
            ("odd", bitmap[:8] + struct.pack("<i", 31) + bitmap[12:], [(0, len(bitmap))]),
            ("bitmap-cut", bitmap, [(0, len(bitmap) - 64)]),
            ("gif", b"GIF89a" + bytes(100), [(0, 106)]),
            ("overlapping", picture, [(0, len(picture)), (8, len(picture) - 8)]),
            ("large", large + large, [(0, len(large)), (len(large), len(large))]))}
        stub = layout.program_image(self.stub_resources)
        # Resources followed by a section of data, which cannot move.
        code_after = bytearray(stub)
        table = struct.unpack_from("<I", stub, 0x3C)[0] + 24 + 0xE0
        code_after[table + 80:table + 86] = b".data\0"
        struct.pack_into("<II", code_after, table - 16 * 8 + 5 * 8, 0, 0)
        # A resource tree whose first entry points outside the section.
        astray = bytearray(stub)
        rsrc_at = struct.unpack_from("<I", stub, table + 40 + 20)[0]
        struct.pack_into("<I", astray, rsrc_at + 16 + 4, 0x80000000 | 0x7FFF0)
        no_icon = " is no icon: "
        cases = [
            (("--version", "1.2"), 2, "--version: \"1.2\" is no version of three or four numbers from 0 to 65535"),
            (("--version", "1.2.3.4.5"), 2, "is no version"),
            (("--version", "1.65536.0"), 2, "is no version"),
            (("--version", "v1.2.3"), 2, "is no version"),
            (("--url", "https://lumora.example/\n"), 2,
             "--url: \"https://lumora.example/\\x0A\" holds U+000A LF, a control character"),
            (("--url", "lumora.example/aurora"), 2, "--url: \"lumora.example/aurora\" is no web address: give it "
                                                    "with its scheme, http:// or https://"),
            (("--url", "https://"), 2, "is no web address"),
            (("--product-id", "aurora dreams"), 2, "--product-id: \"aurora dreams\" is no product identity: give at "
                                                   "most 100 ASCII letters, digits and . _ - { }"),
            (("--product-id", "x" * 101), 2, "is no product identity"),
            (("--product-id", "\u00e9toiles"), 2, "is no product identity"),
            # Characters that Windows would show otherwise than written.
            (("--product", "Evil\u202eexe.scr"), 2, "--product: \"Evil\\u202Eexe.scr\" holds U+202E RIGHT-TO-LEFT "
                                                    "OVERRIDE, which changes the order Windows shows the letters"),
            (("--publisher", "Lumora\u2028Ltd"), 2, "holds U+2028 LINE SEPARATOR, which breaks the line"),
            (("--product", "Aurora\u2067x"), 2, "holds U+2067 RIGHT-TO-LEFT ISOLATE"),
            (("--product", "\ufeffAurora"), 2, "holds U+FEFF ZERO WIDTH NO-BREAK SPACE, an invisible byte-order"),
            (("--publisher", "Lumora\u0085Ltd"), 2, "holds U+0085 NEL, a control character"),
            (("--product", ""), 2, "--product is empty"),
            (("--icon", ""), 2, "--icon is empty"),
            (("--publisher", "\u03a9 Ltd"), 1, "--publisher: code page 1252 has no place for the character \"\u03a9\""),
            (("--icon", png), 1, png + " is no icon: it does not start as an icon file does; give a Windows icon "
                                      "file (.ico)"),
            (("--icon", cursor), 1, "is no icon: it is a cursor, not an icon"),
            (("--icon", cut), 1, "is no icon: image 3 lies outside the"),
            (("--icon", self.path("none.ico")), 1, "none.ico"),
            # Images that are no whole PNG picture or no sound bitmap.
            (("--icon", icons["signature"]), 1, no_icon + "image 1 is a PNG picture cut short: it ends before its "
                                                          "last chunk (IEND)"),
            (("--icon", icons["png-cut"]), 1, no_icon + "image 1 is a PNG picture cut short: its chunk "),
            (("--icon", icons["png-crc"]), 1, "image 1 is a damaged PNG picture: its chunk IHDR does not match"),
            (("--icon", icons["png-trailing"]), 1, "image 1 is no whole PNG picture: 4 bytes follow its last chunk"),
            (("--icon", icons["planes"]), 1, "image 1 is no bitmap Windows draws: it has 0 planes, not 1"),
            (("--icon", icons["odd"]), 1, "image 1 is no icon's bitmap: its header gives 16 x 31 pixels"),
            (("--icon", icons["bitmap-cut"]), 1, "image 1 is a bitmap cut short: its header, colours, pixels and "
                                                 "mask take 1128 bytes, and it holds 1064"),
            (("--icon", icons["gif"]), 1, "image 1 is neither a PNG picture nor a bitmap"),
            (("--icon", icons["overlapping"]), 1, "image 2 overlaps the bytes of another image"),
            (("--icon", icons["large"]), 1, "its images hold more than 4194304 bytes, which every download of the "
                                            "installer would carry"),
            (("--product", "Aurora"), 1, "the resources of the stub %s cannot be rewritten: its section .data follows"
                                         % self.path("code-after.exe")),
            (("--product", "Aurora"), 1, "cannot be rewritten: a resource directory lies outside"),
        ]
        stubs = [stub] * (len(cases) - 2) + [bytes(code_after), bytes(astray)]
        for (options, code, words), data in zip(cases, stubs):
            with self.subTest(options=options):
                name = "code-after.exe" if data is stubs[-2] else "stub.exe"
                self.write(name, data)
                out = self.path("refused.exe")
                rc, _, err = run("build", "--stub", self.path(name), "-o", out, *options, *self.paths)
                self.assertEqual(rc, code, err)
                self.assertIn(words, err)
                self.assertFalse(os.path.exists(out))

        # A Product.ins of the author's own is read and checked as the
        # installer reads it; beside the options it would be overwritten.
        own = self.write("Product.ins", b"Aurora\r\nLumora Ltd\r\n1.2\r\n")
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", self.path("own.exe"), *self.paths, own)
        self.assertEqual(rc, 1)
        self.assertIn("%s: line 3 (Version): \"1.2\" is no version" % own, err)
        rc, _, err = run("build", "--stub", self.path("stub.exe"), "-o", self.path("own.exe"), "--url",
                         "https://lumora.example/", *self.paths, own)
        self.assertEqual(rc, 1)
        self.assertIn("the product's options (Product.ins) and %s would both be restored as product.ins" % own, err)


    def test_per_user_asks_for_the_users_rights_and_says_so_in_the_payload(self):
        # A manifest as the stub's: its execution level among other settings
        # that stay, byte for byte.
        elevated = (b'<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">'
                    b'<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges>'
                    b'<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>'
                    b'</requestedPrivileges></security></trustInfo><application xmlns="urn:schemas-microsoft-com:'
                    b'asm.v3"><windowsSettings><dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/'
                    b'WindowsSettings">true/pm</dpiAware></windowsSettings></application></assembly>')
        prefixed = b"<a:assembly><a:requestedExecutionLevel  level = 'highestAvailable'/></a:assembly>"

        def stub(manifest):
            resources = [r for r in self.stub_resources if r[0] != layout.RT_MANIFEST]
            return layout.program_image(resources + ([(layout.RT_MANIFEST, 1, 1033, manifest)] if manifest else []))

        for manifest, level in ((elevated, b'"requireAdministrator"'), (prefixed, b"'highestAvailable'")):
            with self.subTest(manifest=manifest[:40]):
                self.write("stub.exe", stub(manifest))
                out = self.path("MySetup.exe")
                rc, said, err = run("build", "--stub", self.path("stub.exe"), "-o", out, "--per-user", "--product",
                                    "Aurora/Dreams", *self.paths)
                self.assertEqual(rc, 0, err)
                # A product that names no folder: the installer's folder is
                # named after the screensaver.
                self.assertIn("warning: --per-user (Scope.ins): the product \"Aurora/Dreams\" names no folder", err)
                with open(out, "rb") as f:
                    data = f.read()
                found = resources_of(out)
                self.assertEqual(found[layout.RT_MANIFEST, 1], manifest.replace(level, level[:1] + b"asInvoker" +
                                                                                 level[:1]))
                self.assertEqual(layout.pe_checksum(data)[0], layout.pe_checksum(data)[1])
                entries = layout.parse_installer(data)[4]
                self.assertEqual((entries[-1].name, entries[-1].data(data)), ("c:\\scope.ins", b"user\r\n"))
                rc, said, err = run("verify", out)
                self.assertEqual(rc, 0, err)
                self.assertEqual(said.splitlines()[-1],
                                 "  installs for: the current user only, with the user's own rights (asInvoker)")
                self.assertEqual(run("settings", out)[1].splitlines()[-1], "Scope=user")

        # The manifest changed after build, or a stub's own asking for the
        # user's rights without --per-user: the two disagree.
        at = data.index(b"'asInvoker'") + 1
        mismatched = self.write("mismatched.exe", data[:at] + b"xs" + data[at + 2:])
        without = self.built(stub(elevated.replace(b"requireAdministrator", b"asInvoker")))[0]
        for path, words in ((mismatched, "Scope.ins installs for the current user only, but the installer's manifest "
                                         "asks for xsInvoker instead of asInvoker"),
                            (without, "the installer's manifest asks for the user's own rights (asInvoker), but "
                                      "without --per-user's Scope.ins it installs into the Windows folder")):
            with self.subTest(verify=os.path.basename(path)):
                rc, _, err = run("verify", path)
                self.assertEqual(rc, 1)
                self.assertIn(words, err)

        own = self.write("Scope.ins", b"user\r\n")
        for image, options, code, words in (
                (stub(MANIFEST), ("--per-user",), 1, "its manifest asks for no execution level"),
                (stub(None), ("--per-user",), 1, "it has no manifest"),
                (stub(elevated), (own,), 2, own + ": Scope.ins comes from --per-user")):
            with self.subTest(refused=words):
                self.check_refused(image, options, code, words)


# The settings of a sound payload of PayloadCheckTest, in file order.
# One byte longer than a screensaver's name may be.
LONG_NAME = "A" * 221 + ".scr"
SOUND = {"UseFileNameTitle": "False", "TitleText": "Aurora", "ScreenSaverFile": "Aurora.scr",
         "FooterText": "(c) 2026", "ShowReadMe": "False", "ReadMeFile": "ReadMe.txt", "RandomPlay": "False",
         "UseCustomImage": "False", "CustomImageFile": "own.jpg", "ImageFile": "cd.jpg",
         "SolidBackground": "False", "GradientRed": "255", "GradientGreen": "0", "GradientBlue": "0",
         "SolidColor": "0"}
PAYLOAD = ["Aurora.scr", "Lmunist.exe", "Install.exe", "cd.jpg"]
# Texts in other scripts: "Northern lights" in Russian, "Aurora" in Japanese,
# and a screensaver named "Glow" in Russian.
NORTHERN_LIGHTS = "\u0421\u0435\u0432\u0435\u0440\u043d\u043e\u0435 \u0441\u0438\u044f\u043d\u0438\u0435 \u30aa\u30fc\u30ed\u30e9"
AURORA = "\u30aa\u30fc\u30ed\u30e9"
SAVER = "\u0421\u0438\u044f\u043d\u0438\u0435"
SHALOM = "\u05e9\u05dc\u05d5\u05dd 2026\u200f!"


def settings_text(encoding="latin-1", end="\r\n", drop=0, **changes):
    values = list(dict(SOUND, **changes).values())
    return "".join(value + end for value in values[:len(values) - drop]).encode(encoding)


class PayloadCheckTest(unittest.TestCase):
    """build checks the payload as the installer will use it: each problem is
    refused in one message that names the file, line and field, and nothing
    is written; --force writes the installer with the problem as a warning,
    and verify finds it again there. Sound payloads pass, with warnings where
    they are due. settings writes Setup.ins from named fields and shows one
    as the installer reads it."""

    @classmethod
    def setUpClass(cls):
        cls._tmp = tempfile.TemporaryDirectory()
        cls.dir = cls._tmp.name
        # A stub whose resources take the code page an installer records.
        cls.stub = cls.file("stub.exe", layout.program_image())
        for name in ("Aurora.scr", "Lmunist.exe", "Install.exe", "Aurora", "ReadMe.txt", LONG_NAME):
            cls.file(name, name.encode())
        cls.file("pic.png", b"\x89PNG\r\n\x1a\n" + bytes(100))
        for name, size in (("cd.jpg", "64x48"), ("own.jpg", "32x32"), ("wide.jpg", "1100x60")):
            subprocess.run(["convert", "-size", size, "xc:#2e7dd7", cls.path(name)], check=True)
        subprocess.run(["convert", "-size", "64x48", "plasma:", "-colorspace", "CMYK", cls.path("cmyk.jpg")],
                       check=True)
        subprocess.run(["convert", "-size", "64x48", "plasma:", cls.path("whole.jpg")], check=True)
        with open(cls.path("whole.jpg"), "rb") as f:
            cls.file("cut.jpg", f.read()[:1500])
        cls.file("mysettings.ins", settings_text())

    @classmethod
    def tearDownClass(cls):
        cls._tmp.cleanup()

    @classmethod
    def path(cls, *parts):
        return os.path.join(cls.dir, *parts)

    @classmethod
    def file(cls, name, data):
        with open(cls.path(name), "wb") as f:
            f.write(data)
        return cls.path(name)

    def payload(self, case, settings, files):
        """The paths of a payload: Setup.ins (unless `settings` is None) in a
        folder of the case's own, and the shared `files`."""
        paths = [self.path(name) for name in files]
        if settings is not None:
            os.makedirs(self.path(case), exist_ok=True)
            paths.insert(0, self.file(os.path.join(case, "Setup.ins"), settings))
        return paths

    def build(self, out, paths, *extra):
        return run("build", "--stub", self.stub, "-o", out, *extra, *paths)

    @staticmethod
    def split(err):
        """(problem lines, warning lines) of standard error, without the
        closing lines that count them."""
        lines = [line for line in err.splitlines() if " not written" not in line and " not sound " not in line]
        warnings = [line for line in lines if line.startswith("setuppack: warning: ")]
        return [line for line in lines if line not in warnings], warnings

    def test_each_problem_is_refused_with_its_file_line_and_field(self):
        cases = [
            ("no settings file", None, PAYLOAD, "OUT", "no Setup.ins in the payload"),
            ("fourteen lines", settings_text(drop=1), PAYLOAD, "INS", "line 15 (SolidColor) is missing"),
            ("line feeds alone", settings_text(end="\n"), PAYLOAD, "INS",
             "line 1 (UseFileNameTitle): \"False\\x0AAurora\\x0A"),
            ("line feeds alone, the mend", settings_text(end="\n"), PAYLOAD, "INS",
             "\"setuppack settings --from Setup.ins -o Setup.ins\" writes its lines ended by CR LF"),
            ("screensaver named as its uninstaller copy", settings_text(ScreenSaverFile="Install.exe"), PAYLOAD,
             "INS", "line 3 (ScreenSaverFile): \"Install.exe\" ends in \".exe\": the installer copies the "
             "uninstaller Lmunist.exe beside it as \"Install.exe\" too, which would replace the screensaver"),
            ("no number", settings_text(GradientGreen="abc"), PAYLOAD, "INS",
             "line 13 (GradientGreen): \"abc\" is not a number"),
            ("empty number line", settings_text(GradientRed=""), PAYLOAD, "INS",
             "line 12 (GradientRed) holds no number: the installer passes over it and takes GradientRed from line 13"),
            ("flag in lower case", settings_text(ShowReadMe="true"), PAYLOAD, "INS",
             "line 5 (ShowReadMe): \"true\" is neither \"True\" nor \"False\""),
            ("screensaver missing", settings_text(ScreenSaverFile="Other.scr"), PAYLOAD, "INS",
             "line 3 (ScreenSaverFile): \"Other.scr\" is not in the payload"),
            ("screensaver without extension", settings_text(ScreenSaverFile="Aurora"), PAYLOAD + ["Aurora"], "INS",
             "line 3 (ScreenSaverFile): \"Aurora\" has no four-character extension"),
            ("screensaver name without room for its staged names", settings_text(ScreenSaverFile=LONG_NAME),
             PAYLOAD + [LONG_NAME], "INS", "line 3 (ScreenSaverFile): \"%s\"... takes 225 bytes as UTF-8: the "
             "installer names files beside it up to 31 characters longer, and a file's name holds at most 255; "
             "shorten it to at most 224 bytes" % LONG_NAME[:60]),
            ("no uninstaller", settings_text(), ["Aurora.scr", "Install.exe", "cd.jpg"], "OUT",
             "no Lmunist.exe in the payload"),
            ("read-me missing", settings_text(ShowReadMe="True"), PAYLOAD, "INS",
             "line 6 (ReadMeFile): \"ReadMe.txt\" is not in the payload, and ShowReadMe is \"True\""),
            ("picture missing", settings_text(ImageFile="gone.jpg"), PAYLOAD, "INS",
             "line 10 (ImageFile): \"gone.jpg\" is not in the payload"),
            ("custom picture no JPEG", settings_text(UseCustomImage="True", CustomImageFile="Pic.png"),
             PAYLOAD + ["pic.png"], "INS",
             "line 9 (CustomImageFile): \"Pic.png\" is a PNG picture: the picture must be a JPEG; make one, for "
             "example with \"convert Pic.png Pic.jpg\", and name Pic.jpg here and in the payload"),
            ("nil custom picture", settings_text(CustomImageFile="nil"), PAYLOAD, "INS",
             "line 9 (CustomImageFile): \"nil\" keeps the backdrop from showing any picture"),
            ("settings under another name", None, PAYLOAD + ["mysettings.ins"], "OUT",
             "\"mysettings.ins\" looks like one, but the installer reads only Setup.ins: name it so"),
            ("CMYK picture", settings_text(ImageFile="cmyk.jpg"), PAYLOAD + ["cmyk.jpg"], "INS",
             "in grey or colour (RGB or YCbCr), not CMYK: save it so"),
            ("picture cut short", settings_text(ImageFile="cut.jpg"), PAYLOAD + ["cut.jpg"], "INS",
             "line 10 (ImageFile): \"cut.jpg\" is damaged (Premature end of JPEG file)"),
        ]
        for case, settings, files, where, words in cases:
            with self.subTest(case):
                paths = self.payload(case, settings, files)
                out = self.path(case + ".exe")
                place = {"OUT": out, "INS": paths[0]}[where]
                rc, said, err = self.build(out, paths)
                problems, _ = self.split(err)
                self.assertEqual((rc, said), (1, ""), err)
                self.assertEqual(problems, ["setuppack: %s: %s" % (place, problems[0].split(": ", 2)[2])], err)
                self.assertIn(words, problems[0])
                self.assertFalse(os.path.exists(out))

                rc, _, err = self.build(out, paths, "--force")
                self.assertEqual(rc, 0, err)
                self.assertIn(problems[0].replace("setuppack: ", "setuppack: warning: ", 1), self.split(err)[1])

                rc, _, err = run("verify", out)
                self.assertEqual(rc, 1)
                inside = out + ": setup.ins" if where == "INS" else out
                self.assertEqual(self.split(err)[0], [problems[0].replace(place, inside, 1)])
                self.assertIn("not sound (1 problem)", err)

    def test_what_would_replace_a_windows_program_or_show_otherwise_is_never_forced(self):
        rlo = "Evil\u202eexe.scr"
        for name in (rlo, "RegEdit.scr", "hh.scr"):
            self.file(name, b"saver")
        cases = [
            # case, code page, settings, files, where, words
            ("a program of the Windows folder", "1252", settings_text(ScreenSaverFile="RegEdit.scr"),
             PAYLOAD + ["RegEdit.scr"], "INS", "line 3 (ScreenSaverFile): \"RegEdit.scr\": the installer copies the "
             "uninstaller into the Windows folder as \"regedit.exe\", which would replace the Windows program of "
             "that name; name the screensaver otherwise"),
            ("a program of the Windows folder, UTF-8", "utf-8", settings_text(ScreenSaverFile="hh.scr"),
             PAYLOAD + ["hh.scr"], "INS", "as \"hh.exe\", which would replace"),
            ("an override in the title", "utf-8", settings_text("utf-8", TitleText="Aurora\u202e"), PAYLOAD, "INS",
             "line 2 (TitleText): \"Aurora\\u202E\" holds U+202E RIGHT-TO-LEFT OVERRIDE"),
            ("an escape in the footer", "1252", settings_text(FooterText="(c)\x1b[31m"), PAYLOAD, "INS",
             "line 4 (FooterText): \"(c)\\x1B[31m\" holds U+001B ESC, a control character"),
            ("a mark in a name, code page 1255", "1255", settings_text(ScreenSaverFile="Aurora\xfd.scr"),
             PAYLOAD, "INS", "line 3 (ScreenSaverFile): \"Aurora\\u200E.scr\" holds U+200E LEFT-TO-RIGHT MARK, an "
             "invisible direction mark"),
            ("an override in a stored name", "utf-8", settings_text("utf-8", ScreenSaverFile=rlo), PAYLOAD + [rlo],
             rlo, "the name it is stored under, \"evil\\u202Eexe.scr\", holds U+202E"),
        ]
        for case, codepage, settings, files, where, words in cases:
            with self.subTest(case):
                paths = self.payload(case, settings, files)
                out = self.path(case + ".exe")
                place = {"INS": paths[0]}.get(where, self.path(where))
                for forced in ((), ("--force",)):
                    rc, said, err = self.build(out, paths, "--codepage", codepage, *forced)
                    self.assertEqual((rc, said), (1, ""), err)
                    [line] = [line for line in err.splitlines() if words in line]
                    self.assertTrue(line.startswith("setuppack: %s: " % place), line)
                    self.assertIn("not to be forced: the installer would replace a program of Windows or show a "
                                  "text otherwise than it is", err)
                    self.assertFalse(os.path.exists(out))

    def test_sound_payloads_pass_with_the_warnings_due(self):
        cases = [
            ("the sample", settings_text(), PAYLOAD, []),
            ("names in any case, read-me, own picture, solid, hex",
             settings_text(ScreenSaverFile="AURORA.SCR", ShowReadMe="True", ReadMeFile="readme.TXT",
                           UseCustomImage="True", CustomImageFile="OWN.jpg", SolidBackground="TRUE",
                           GradientGreen="0x10", SolidColor="$00FF8000"),
             PAYLOAD + ["ReadMe.txt", "own.jpg"], []),
            ("no picture, carriage returns alone", settings_text(end="\r", ImageFile="nil"), PAYLOAD[:3], []),
            ("warnings", settings_text(GradientRed="-5", GradientBlue="256", ImageFile="wide.jpg"),
             PAYLOAD[:2] + ["wide.jpg"],
             ["no Install.exe in the payload", "line 12 (GradientRed): -5 is below 0: the installer draws the "
              "gradient only for a value above 0", "line 14 (GradientBlue): 256 is above 255",
              "line 10 (ImageFile): \"wide.jpg\" is 1100 x 60 pixels, larger than a 1024 x 768 screen: the "
              "backdrop draws it unscaled, part of it is cut off, and the installer holds its 1 MB of pixels in "
              "memory; make it fit, for example with: convert wide.jpg -resize 1024x768 wide.jpg"]),
            ("no .scr, no text of the code page", settings_text(ScreenSaverFile="cd.jpg", FooterText="\x81"),
             PAYLOAD, ["line 3 (ScreenSaverFile): \"cd.jpg\" does not end in \".scr\"",
                       "line 4 (FooterText) \"\\x81\" holds bytes that are no text in code page 1252"]),
        ]
        for case, settings, files, warned in cases:
            with self.subTest(case):
                out = self.path(case + ".exe")
                for rc, _, err in (self.build(out, self.payload(case, settings, files)), run("verify", out)):
                    problems, warnings = self.split(err)
                    self.assertEqual((rc, problems, len(warnings)), (0, [], len(warned)), err)
                    for words in warned:
                        self.assertTrue(any(words in line for line in warnings), words)
                rc, said, _ = run("settings", out)
                self.assertEqual(rc, 0)
                self.assertIn("ScreenSaverFile=%s\n" % settings.split(b"\r")[2].strip().decode(), said)

    def test_settings_writes_the_fifteen_lines_and_shows_them_as_read(self):
        written = self.path("written.ins")
        rc, said, err = run("settings", "--set", "TitleText=Aurora Dreams", "--set", "screensaverfile=Aurora.scr",
                            "--set", "SolidColor=$00FF8000", "-o", written)
        self.assertEqual((rc, said, err), (0, "", ""))
        with open(written, "rb") as f:
            self.assertEqual(f.read(), b"False\r\nAurora Dreams\r\nAurora.scr\r\n\r\nFalse\r\nReadMe.txt\r\nFalse"
                                       b"\r\nFalse\r\nNONE\r\nnil\r\nFalse\r\n0\r\n0\r\n255\r\n$00FF8000\r\n")
        rc, said, _ = run("settings", written)
        self.assertEqual(rc, 0)
        self.assertEqual(said.splitlines(), [
            "UseFileNameTitle=False", "TitleText=Aurora Dreams", "ScreenSaverFile=Aurora.scr", "FooterText=",
            "ShowReadMe=False", "ReadMeFile=ReadMe.txt", "RandomPlay=False", "UseCustomImage=False",
            "CustomImageFile=NONE", "ImageFile=nil", "SolidBackground=False", "GradientRed=0", "GradientGreen=0",
            "GradientBlue=255", "SolidColor=16744448"])

        again = self.path("again.ins")
        self.assertEqual(run("settings", "--from", written, "--set", "ShowReadMe=True", "-o", again)[0], 0)
        with open(again, "rb") as f:
            self.assertEqual(f.read(), b"False\r\nAurora Dreams\r\nAurora.scr\r\n\r\nTrue\r\nReadMe.txt\r\nFalse"
                                       b"\r\nFalse\r\nNONE\r\nnil\r\nFalse\r\n0\r\n0\r\n255\r\n16744448\r\n")

        # Texts are written in the installer's code page and shown in UTF-8.
        for codepage, title, footer, lines in (("1252", "\u00c9toiles \u2013 Sternenhimmel", "\u00a9 2026",
                                                 [b"\xc9toiles \x96 Sternenhimmel", b"\xa9 2026"]),
                                                ("1251", "\u0417\u0432\u0451\u0437\u0434\u044b", "",
                                                 [b"\xc7\xe2\xb8\xe7\xe4\xfb", b""]),
                                                ("utf-8", NORTHERN_LIGHTS, "\u00a9 2026",
                                                 [NORTHERN_LIGHTS.encode(), b"\xc2\xa9 2026"]),
                                                ("65001", AURORA, "", [AURORA.encode(), b""]),
                                                # A mark that right-to-left writing needs, in a text.
                                                ("utf-8", SHALOM, "", [SHALOM.encode(), b""])):
            rc, _, err = run("settings", "--codepage", codepage, "--set", "TitleText=" + title,
                             "--set", "FooterText=" + footer, "-o", written)
            self.assertEqual((rc, err), (0, ""))
            with open(written, "rb") as f:
                self.assertEqual(f.read().split(b"\r\n")[1:4:2], lines)
            said = run("settings", "--codepage", codepage, written)[1]
            # The tool shows the invisible mark by its number.
            shown = title.replace("\u200f", "\\u200F")
            self.assertIn("TitleText=%s\nScreenSaverFile=Screensaver.scr\nFooterText=%s\n" % (shown, footer), said)

        broken = self.file("broken.ins", settings_text(GradientGreen="abc"))
        refused = self.path("refused.ins")
        for args, code, words in [
            (["--set", "ShowReadMe=true"], 1, "setuppack: --set ShowReadMe: \"true\" is neither"),
            (["--set", "GradientRed=12abc"], 1, "setuppack: --set GradientRed: \"12abc\" is not a number"),
            (["--set", "TitleText=two\nlines"], 1, "setuppack: --set TitleText: \"two\\x0Alines\" holds a line break"),
            (["--set", "ScreenSaverFile=Aurora"], 1, "line 3 (ScreenSaverFile): \"Aurora\" has no four-character"),
            (["--set", "Title=x"], 2, ("--set Title: no such field", "\"setuppack settings --help\"")),
            (["--set", "TitleText=\u03a9 Screensaver"], 1,
             ("setuppack: --set TitleText: code page 1252 has no place for the character \"\u03a9\" (U+03A9)",
              "--codepage utf-8 writes texts that every system shows as written")),
            (["--codepage", "77777"], 2, "code page 77777 is not one this machine can convert to"),
            (["--codepage", "28592"], 2, "code page 28592 is not one this machine can convert to; it converts "
                                         "utf-8 and the ANSI code pages of Windows 874, 932, 936, 949, 950, 1250,"),
            (["--set", "ScreenSaverFile=Explorer.scr"], 1,
             "line 3 (ScreenSaverFile): \"Explorer.scr\": the installer copies the uninstaller into the Windows "
             "folder as \"explorer.exe\""),
            (["--codepage", "utf-8", "--set", "TitleText=Evil\u202eexe.scr"], 1,
             "setuppack: --set TitleText: \"Evil\\u202Eexe.scr\" holds U+202E RIGHT-TO-LEFT OVERRIDE"),
            (["--codepage", "utf-8", "--set", "ReadMeFile=Read\u200fMe.txt"], 1,
             "--set ReadMeFile: \"Read\\u200FMe.txt\" holds U+200F RIGHT-TO-LEFT MARK"),
            (["--set", "TitleText=Aurora\tDreams"], 1, "holds U+0009 HT, a control character"),
            (["--codepage", "latin"], 2, "--codepage takes a number or utf-8, not latin"),
            (["--from", broken], 1, "%s: line 13 (GradientGreen): \"abc\" is not a number" % broken),
        ]:
            with self.subTest(args=args):
                rc, _, err = run("settings", *args, "-o", refused)
                self.assertEqual(rc, code, err)
                for word in (words,) if isinstance(words, str) else words:
                    self.assertIn(word, err)
                self.assertFalse(os.path.exists(refused))

        # Texts of one code page converted to another, the read-me beside
        # them; a byte that is no letter of the source's code page refused.
        polish = "\u015awietlik \u2013 zorza"
        source = self.file("pl.ins", settings_text("cp1250", TitleText=polish, ReadMeFile="Czytaj.txt"))
        read_me = self.file("Czytaj.txt", "Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144\r\n"
                            .encode("cp1250"))
        os.makedirs(self.path("utf8"), exist_ok=True)
        for target, encoding in (("utf-8", "utf-8"), ("1250", "cp1250")):
            out = self.path(os.path.join("utf8", "Setup-%s.ins" % target))
            rc, _, err = run("settings", "--from", source, "--from-codepage", "1250", "--codepage", target,
                             "--readme", read_me, "-o", out)
            self.assertEqual((rc, err), (0, ""))
            with open(out, "rb") as f:
                self.assertEqual(f.read(), settings_text(encoding, TitleText=polish, ReadMeFile="Czytaj.txt"))
            with open(self.path(os.path.join("utf8", "Czytaj.txt")), "rb") as f:
                self.assertEqual(f.read().decode(encoding), "Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 "
                                                             "ja\u017a\u0144\r\n")
        os.makedirs(self.path("old"), exist_ok=True)
        undefined = self.file(os.path.join("old", "undefined.ins"),
                              settings_text(FooterText="x").replace(b"\r\nx\r\n", b"\r\nx\x98\r\n"))
        for args, code, words in [
            (["--from", undefined, "--from-codepage", "1250", "--codepage", "utf-8"], 1,
             "%s: line 4: the byte 0x98 at column 2 is no letter of code page 1250" % undefined),
            (["--from", source, "--from-codepage", "1250", "--codepage", "1251"], 1,
             "%s: line 2: code page 1251 has no place for the character \"\u015a\" (U+015A)" % source),
            (["--from", source, "--from-codepage", "1250", "--codepage", "utf-8", "--readme", undefined], 1,
             "%s: line 4: the byte 0x98" % undefined),
            (["--from", source, "--from-codepage", "cp1250"], 2, "--from-codepage takes a number or utf-8"),
        ]:
            with self.subTest(args=args):
                rc, _, err = run("settings", *args, "-o", refused)
                self.assertEqual(rc, code, err)
                self.assertIn(words, err)
                self.assertFalse(os.path.exists(refused))

        # Lines ended by line feeds alone are read as lines and written with
        # CR LF, as the installer needs them.
        lf = self.file("lf.ins", settings_text(end="\n"))
        rc, _, err = run("settings", "--from", lf, "-o", refused)
        self.assertEqual(rc, 0, err)
        self.assertIn("setuppack: warning: %s: its lines end in line feeds alone" % lf, err)
        with open(refused, "rb") as f:
            self.assertEqual(f.read(), settings_text())


    def test_the_check_record_says_how_texts_are_written(self):
        """An installer of UTF-8 texts carries the mark in its check record,
        and the tools read it; an 8-bit one is read in the --codepage given."""
        saver = self.file(SAVER + ".scr", b"saver")
        files = [saver] + [self.path(name) for name in PAYLOAD[1:]]

        def installer(name, encoding, options, paths=files, **changes):
            os.makedirs(self.path(name), exist_ok=True)
            values = dict(SOUND, **dict({"ScreenSaverFile": SAVER + ".scr"}, **changes)).values()
            settings = self.file(os.path.join(name, "Setup.ins"),
                                 "".join(value + "\r\n" for value in values).encode(encoding))
            out = self.path(name + ".exe")
            rc, _, err = self.build(out, [settings] + paths, *options)
            self.assertEqual(rc, 0, err)
            with open(out, "rb") as f:
                return out, f.read(), err

        # UTF-8: kind 2, read without --codepage, shown as text.
        out, data, err = installer("utf8", "utf-8", ("--codepage", "utf-8"), TitleText=NORTHERN_LIGHTS)
        self.assertEqual(err, "")
        start = layout.int32(data, len(data) - 4)
        self.assertEqual(layout.check_record(data, layout.KIND_UTF8), (len(data) - 4 - start,
                                                                       zlib.crc32(data[start:-4])))
        rc, listed, _ = run("list", out)
        self.assertEqual(rc, 0)
        self.assertIn(", texts in UTF-8", listed.splitlines()[0])
        self.assertIn("c:\\%s.scr\n" % SAVER, listed)
        said = run("settings", out)[1]
        self.assertIn("TitleText=%s\nScreenSaverFile=%s.scr\n" % (NORTHERN_LIGHTS, SAVER), said)
        rc, said, _ = run("verify", out)
        self.assertEqual(rc, 0)
        self.assertIn("texts: UTF-8", said)
        self.assertEqual(run("extract", out, self.path("utf8-files"))[0], 0)
        self.assertIn(SAVER + ".scr", os.listdir(self.path("utf8-files")))
        rc, _, err = run("list", "--codepage", "1251", out)
        self.assertEqual(rc, 2)
        self.assertIn("the installer's texts are UTF-8, as its check record says", err)

        # 8-bit, code page 1251: kind 1, the code page recorded in the
        # installer's resources and read back without --codepage; one given
        # overrides it.
        out, data, err = installer("cp1251", "cp1251", ("--codepage", "1251"), TitleText=NORTHERN_LIGHTS[:15])
        self.assertEqual(err, "")
        self.assertIsNotNone(layout.check_record(data, layout.KIND_8BIT))
        self.assertEqual(resources_of(out)[layout.RT_RCDATA, 2], b"1251")
        listed = run("list", out)[1]
        self.assertIn("c:\\%s.scr\n" % SAVER, listed)
        self.assertNotIn("texts in UTF-8", listed)
        self.assertIn("c:\\%s.scr\n" % SAVER.encode("cp1251").decode("cp1252"),
                      run("list", "--codepage", "1252", out)[1])
        self.assertIn("texts: 8-bit, code page 1251 as the installer records", run("verify", out)[1])
        self.assertIn("TitleText=%s\n" % NORTHERN_LIGHTS[:15], run("settings", out)[1])
        rc, said, _ = run("extract", out, self.path("cp1251-files"))
        self.assertEqual(rc, 0)
        self.assertIn(SAVER + ".scr", said)
        self.assertIn(SAVER + ".scr", os.listdir(self.path("cp1251-files")))
        # Its texts converted to UTF-8, starting from the installer.
        converted = self.path("cp1251-utf8.ins")
        self.assertEqual(run("settings", "--from", out, "--codepage", "utf-8", "-o", converted)[0], 0)
        with open(converted, "rb") as f:
            self.assertEqual(f.read().split(b"\r\n")[1], NORTHERN_LIGHTS[:15].encode())

        # Letters written in UTF-8 and built with the default code page.
        _, _, err = installer("default", "utf-8", (), [self.path(name) for name in PAYLOAD], TitleText=AURORA,
                              ScreenSaverFile="Aurora.scr")
        self.assertIn("line 2 (TitleText) reads as UTF-8 text \"%s\", which code page 1252 shows as" % AURORA, err)
        self.assertIn(": build with --codepage utf-8", err)


def local_time(*fields):
    return time.mktime((*fields, 0, 0, -1))


class HostileInputTest(Workspace):
    """Archives made to hurt the tool: one test each, of the smallest archive
    that shows the fault."""
    MAGIC = b"EC2\0"

    def test_a_volume_that_names_itself_stops_extract_and_verify(self):
        first = (counted(b"Loop") + i32(3) + i32(1) + counted(b"c:\\a.bin") + i32(0) + self.MAGIC
                 + i32(-3) + b"abc" + i32(0) + counted(b"NEXT:DISK002"))
        self.write("a.002", self.MAGIC + i32(-3) + b"def" + i32(0) + counted(b"NEXT:DISK002"))
        first = self.write("a.bin", first)
        rc, _, err = run("extract", "--archive", first, self.path("out"))
        self.assertEqual(rc, 1)
        self.assertIn("would be read again", err)
        self.assertEqual(os.path.getsize(self.path("out/a.bin")), 6)
        rc, _, err = run("verify", "--archive", first)
        self.assertEqual(rc, 1)
        self.assertIn("comes round again", err)

    def test_problems_and_passed_over_lengths_are_counted_not_kept(self):
        broken = i32(6) + b"\x78\x9c\0\0\0\0"
        archive = (counted(b"Many") + i32(0) + i32(1) + i32(-1) * 200000
                   + counted(b"c:\\b.bin") + i32(0) + self.MAGIC + broken * 300 + i32(0) + i32(0))
        path = self.write("many.arc", archive)
        rc, listing, err = run("list", "--archive", path)
        self.assertEqual(rc, 1)
        self.assertIn("(200000 name lengths passed over, the first -1)", listing)
        self.assertIn("and 200 more problems", err)
        rc, _, err = run("verify", "--archive", path)
        self.assertEqual(rc, 1)
        self.assertLessEqual(len(err.splitlines()), 103)
        self.assertIn("more problems", err)

    def test_blocks_continued_after_a_passed_over_length_count_with_their_entry(self):
        first = self.write("gap.arc", counted(b"Gap") + i32(3) + i32(1) + counted(b"c:\\a.bin") + i32(0)
                           + self.MAGIC + i32(-1) + b"a" + i32(0) + i32(-5) + counted(b"NEXT:DISK002"))
        self.write("gap.002", self.MAGIC + i32(-2) + b"bc" + i32(0) + i32(0))
        rc, listing, err = run("list", "--archive", first)
        self.assertEqual(rc, 0, err)
        self.assertRegex(listing, r"\s3\s+2 raw\s+c:\\a\.bin")
        self.assertEqual(run("verify", "--archive", first)[0], 0)

    def test_a_volume_suffix_must_be_digits_and_names_are_shown_escaped(self):
        archive = (counted(b"Odd") + i32(1) + i32(1) + counted(b"c:\\red\x1b[31m.txt") + i32(0) + self.MAGIC
                   + i32(-1) + b"x" + i32(0) + counted(b"NEXT:DISK/.."))
        path = self.write("odd.arc", archive)
        for command in ("list", "verify"):
            rc, said, err = run(command, "--archive", path)
            self.assertEqual(rc, 1, command)
            self.assertIn("Invalid volume marker", err)
            self.assertNotIn("\x1b", said + err)
        self.assertIn("red\\x1B[31m.txt", said + run("list", "--archive", path)[1])

    def test_extract_refuses_a_trailer_that_points_into_the_stub(self):
        _, data = self.build()
        zeros = bytes(self.stub).find(bytes(16))
        if zeros < 0:
            self.stub = self.stub[:100] + bytes(16) + self.stub[116:]
            zeros = 100
        data[:len(self.stub)] = self.stub
        data[-4:] = i32(zeros)
        path = self.write("astray.exe", bytes(data))
        rc, said, err = run("extract", path, self.path("astray"))
        self.assertEqual((rc, said), (1, ""))
        self.assertIn("is not right before its end at offset", err)
        self.assertEqual(os.listdir(self.path("astray")), [])

    def test_a_failed_write_says_why(self):
        out, _ = self.build()
        folder = self.path("blocked")
        os.mkdir(folder)
        with open(os.path.join(folder, "cd.jpg"), "wb") as f:
            f.write(b"mine")
        os.chmod(os.path.join(folder, "cd.jpg"), 0o444)
        rc, _, err = run("extract", out, folder)
        self.assertEqual(rc, 1)
        self.assertIn("Cannot read file (code 1) at cd.jpg: Cannot create", err)
        self.assertIn("read-only", err)


class ExtractTest(Workspace):
    MAGIC = b"EC2\0"

    def setUp(self):
        super().setUp()
        # Odd seconds, which a stamp cannot hold: restored files carry the
        # second before.
        self.times = {}
        for i, (name, path) in enumerate(zip(self.files, self.paths)):
            self.times[name] = local_time(2003, 1, 31, 6, 40 + i, 29 + 2 * i)
            os.utime(path, (self.times[name], self.times[name]))

    def extract(self, *args):
        return run("extract", *args)

    def assert_restored(self, folder, said):
        listed = [line.split() for line in said.splitlines()[:-1]]
        self.assertEqual(sorted(listed), sorted([str(len(data)), name.lower()]
                                                for name, data in self.files.items()))
        self.assertEqual(said.splitlines()[-1],
                         "restored 5 files, %d bytes, into %s" % (17504 + 32768 + 143, folder))
        for name, data in self.files.items():
            path = os.path.join(folder, name.lower())
            with open(path, "rb") as f:
                self.assertEqual(f.read(), data, name)
            self.assertEqual(os.path.getmtime(path), self.times[name] - 1, name)

    def test_installer_and_bare_archive_round_trip(self):
        built = {}
        for extra in ((), ("--solid", "--threads", "1"), ("--solid", "--threads", "2"), ("--store",)):
            with self.subTest(build=extra):
                out, data = self.build(*extra)
                built[extra] = bytes(data)
                folder = self.path(os.path.join("new", "folder" + "".join(extra)))
                rc, said, err = self.extract(out, folder)
                self.assertEqual((rc, err), (0, ""))
                self.assert_restored(folder, said)
                rc, said, err = run("verify", out)
                self.assertEqual(rc, 0, err)
                self.assertEqual("solid (LZMA2" in said, "--solid" in extra, said)
        # The match finder's threads find the same matches as the encoder alone.
        self.assertEqual(built[("--solid", "--threads", "1")], built[("--solid", "--threads", "2")])

        # Files already there are replaced, also by shorter ones.
        folder = self.path("again")
        os.mkdir(folder)
        with open(os.path.join(folder, "setup.ins"), "wb") as f:
            f.write(b"longer than the restored file " * 20)
        rc, said, err = self.extract(out, folder + "/")
        self.assertEqual(rc, 0, err)
        self.assert_restored(folder + "/", said)

        start = layout.parse_installer(bytes(data))[0]
        bare = self.write("bare.arc", bytes(data[start:-4]))
        rc, said, err = self.extract("--archive", bare, self.path("bare"))
        self.assertEqual(rc, 0, err)
        self.assert_restored(self.path("bare"), said)

    def test_damaged_archives(self):
        out, data = self.build("--store")
        # Without a check record the restore meets the damage itself.
        unchecked = layout.without_check_record(bytes(data))
        cd = layout.parse_installer(unchecked)[4][0]
        zlib_length, zlib_at = cd.blocks[1]
        flipped = bytearray(unchecked)
        flipped[zlib_at + zlib_length // 2] ^= 0x10
        bad_magic = bytearray(unchecked)
        bad_magic[cd.offset + 4 + len(cd.name) + 7] = 0x41
        checked_flip = bytearray(data)
        checked_flip[layout.parse_installer(bytes(data))[4][0].blocks[0][1] + 100] ^= 0x10
        # Unchecked, a solid stream's damage is met as a plain archive's
        # is: a stream cut short cuts its entry short, and the decoder's
        # error is a compression error once the files before it are out.
        _, solid = self.build("--solid")
        solid = layout.without_check_record(bytes(solid))
        cut_solid = solid[:(len(self.stub) + len(solid)) // 2] + solid[-4:]
        bad_chunk = bytearray(solid)
        bad_chunk[layout.int32(solid, len(solid) - 4) + 20] = 0x05  # no LZMA2 chunk begins so
        header = counted(b"Setup") + i32(10) + i32(1)
        cut_name = self.stub + header + i32(40) + b"c:\\a" + i32(len(self.stub))
        # The file list is skipped, so its bad magic escapes the restore.
        skipped_magic = (self.stub + header + counted(b"FILE:LIST") + i32(0) + b"EC3\0" + i32(0)
                         + i32(0) + i32(len(self.stub)))
        cases = [
            ("flipped byte in a compressed block", "exe", flipped,
             ["Compression error (code 6) at cd.jpg"]),
            ("solid stream cut short", "exe", cut_solid, ["Cannot read file (code 1) at "]),
            ("solid stream damaged before the first entry", "exe", bad_chunk, ["Compression error (code 6)"]),
            ("bad block magic of a written entry", "exe", bad_magic,
             ["Cannot read file (code 1) at cd.jpg"]),
            ("flipped byte in a raw block", "exe", checked_flip, ["the file is damaged; nothing was restored"]),
            ("archive cut inside a name", "exe", cut_name, ["damaged or unreadable", "verify"]),
            ("bad block magic of a skipped entry", "exe", skipped_magic, ["damaged or unreadable"]),
            ("bare archive cut inside its header", "arc", header[:7],
             ["damaged or unreadable: Cannot read archive"]),
        ]
        for what, kind, damaged, words in cases:
            with self.subTest(what):
                path = self.write("damaged." + kind, bytes(damaged))
                folder = self.path("out-" + what.replace(" ", "-"))
                args = ("--archive",) if kind == "arc" else ()
                rc, said, err = self.extract(*args, path, folder)
                self.assertEqual(rc, 1, err)
                self.assertEqual(said, "")
                for word in words:
                    self.assertIn(word, err)
        # What was written before the error stays; a mismatch writes nothing.
        self.assertEqual(os.path.getsize(self.path("out-flipped-byte-in-a-compressed-block/cd.jpg")),
                         16384 + 1120)
        self.assertEqual(os.listdir(self.path("out-flipped-byte-in-a-raw-block")), [])

    def volume_set(self):
        """A set of three volumes: one.txt continues in the second volume,
        two.txt in the third, three.txt is empty."""
        stamp = 0x2E3F35EE  # 2003-01-31 06:47:28
        magic = self.MAGIC
        first = (counted(b"Vols") + i32(17) + i32(3)
                 + counted(b"c:\\src\\one.txt") + i32(stamp) + magic + i32(-3) + b"abc" + i32(0)
                 + counted(b"NEXT:DISK002"))
        second = (magic + i32(-3) + b"def" + counted(zlib.compress(b"ghi")) + i32(0)
                  + counted(b"c:\\src\\two.txt") + i32(stamp + 1) + magic + i32(-5) + b"12345" + i32(0)
                  + counted(b"NEXT:DISK003"))
        third = (magic + i32(-3) + b"678" + i32(0)
                 + counted(b"c:\\src\\three.txt") + i32(stamp + 2) + magic + i32(0) + i32(0))
        return [self.write(name, data) for name, data in
                (("set.arc", first), ("set.002", second), ("set.003", third))]

    def test_volume_set(self):
        volumes = self.volume_set()
        folder = self.path("whole")
        rc, said, err = self.extract("--archive", volumes[0], folder)
        self.assertEqual((rc, err), (0, ""))
        self.assertEqual(said.split("\n"), ["         9  one.txt", "         8  two.txt",
                                            "         0  three.txt",
                                            "restored 3 files, 17 bytes, into " + folder, ""])
        for name, data, seconds in (("one.txt", b"abcdefghi", 28), ("two.txt", b"12345678", 30),
                                    ("three.txt", b"", 32)):
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                self.assertEqual(f.read(), data)
            self.assertEqual(os.path.getmtime(path), local_time(2003, 1, 31, 6, 47, seconds), name)

        for gone in (1, 2):
            with self.subTest(missing=volumes[gone]):
                os.rename(volumes[gone], volumes[gone] + ".away")
                folder = self.path("partial%d" % gone)
                rc, said, err = self.extract("--archive", volumes[0], folder)
                os.rename(volumes[gone] + ".away", volumes[gone])
                self.assertEqual((rc, said), (1, ""))
                self.assertIn("volume %d of %s is missing: no file %s" % (gone + 1, volumes[0], volumes[gone]),
                              err)
                self.assertIn("was cancelled", err)
                self.assertNotIn("restore failed", err)
                with open(os.path.join(folder, "one.txt"), "rb") as f:
                    self.assertEqual(f.read(), b"abc" if gone == 1 else b"abcdefghi")

        # An installer's archive has no volume files to continue in.
        with open(volumes[0], "rb") as f:
            installer = self.write("split.exe", self.stub + f.read() + i32(len(self.stub)))
        rc, said, err = self.extract(installer, self.path("split"))
        self.assertEqual((rc, said), (1, ""))
        self.assertIn("continues in volume 2", err)

    def test_progress_line_only_on_a_terminal(self):
        out, _ = self.build()
        main, secondary = pty.openpty()
        proc = subprocess.Popen([SETUPPACK, "extract", out, self.path("tty")], stdout=subprocess.PIPE,
                                stderr=secondary)
        os.close(secondary)
        shown = b""
        while True:
            try:
                chunk = os.read(main, 4096)
            except OSError:  # the other side has closed
                break
            if not chunk:
                break
            shown += chunk
        os.close(main)
        said = proc.stdout.read().decode()
        proc.stdout.close()
        self.assertEqual(proc.wait(timeout=60), 0)
        lines = re.findall(rb"\r *(\d+)% \[[# ]+\] (\S+)", shown)
        self.assertEqual(lines[-1], (b"100", b"setup.ins"))
        self.assertIn(b"big.scr", [name for _, name in lines])
        percents = [int(p) for p, _ in lines]
        self.assertEqual(percents, sorted(percents))
        self.assertNotIn("\r", said)
        self.assertTrue(said.endswith("into %s\n" % self.path("tty")), said)
        # Without a terminal, stderr stays empty (the round trip asserts it).


if __name__ == "__main__":
    SETUPPACK = os.path.abspath(sys.argv.pop(1))
    SOURCE_DIR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
