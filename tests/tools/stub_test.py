#!/usr/bin/env python3
"""The setup stub as a file: its size budget (a link gives the same bytes
every time, so this is a plain assertion); the resources it carries into
every installer (manifest, version information, icon), read back with
wrestool; the libraries it imports (only the system's known DLLs, which are
never looked for beside the program); its compacted unwind table; and
reproducible output (no link time, no build folder, the same installer from
the same files).

    stub_test.py STUB INSTALLER SETUPPACK PAYLOAD_DIR SOURCE_DIR BUILD_DIR OBJDUMP BUDGET SIZE_REPORT
"""
import bisect
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

STUB = INSTALLER = SETUPPACK = PAYLOAD = SOURCE_DIR = BUILD_DIR = OBJDUMP = SIZE_REPORT = None
BUDGET = 0

# The systems the manifest declares: Vista, 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 14, 16, 24
# Libraries Windows maps from the system folder only (its KnownDLLs, and
# ntdll, which every process has mapped before its own imports).
KNOWN_DLLS = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ntdll.dll", "ole32.dll",
              "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll"}


def resource(path, kind, name=1):
    """The raw data of one resource of a PE file."""
    out = subprocess.run(["wrestool", "-x", "--raw", "-t", str(kind), "-n", str(name), path],
                         capture_output=True, check=True).stdout
    if not out:
        raise AssertionError("%s has no resource of type %d, name %d" % (path, kind, name))
    return out


def version_strings(data):
    """The StringFileInfo values of a version resource: {key: value}."""
    text = data.decode("utf-16-le", errors="replace")
    values = {}
    for key in ("CompanyName", "FileDescription", "FileVersion", "OriginalFilename", "ProductName",
                "ProductVersion"):
        at = text.find(key + "\0")
        if at >= 0:
            rest = text[at + len(key) + 1:].lstrip("\0")
            values[key] = rest.split("\0", 1)[0]
    return values


class SizeTest(unittest.TestCase):

    def test_the_stub_keeps_to_its_budget(self):
        size = os.path.getsize(STUB)
        self.assertLessEqual(size, BUDGET, "the stub is %d bytes over its budget; bench/size shows what each "
                             "library brings, from the link map %s" % (size - BUDGET, os.path.splitext(STUB)[0] + ".map"))

    def test_the_size_report_shows_the_decoder_within_its_share(self):
        # The LZMA2 decoder of solid payloads may cost every download 16 KiB
        # at most.
        report = subprocess.run([SIZE_REPORT, STUB, os.path.splitext(STUB)[0] + ".map"], check=True,
                                capture_output=True, text=True).stdout
        [line] = [line for line in report.splitlines() if line.startswith("liblzma_sdk_decoder.a ")]
        decoder = int(line.split()[1].replace(",", ""))
        self.assertGreater(decoder, 0)
        self.assertLessEqual(decoder, 16 * 1024, line)


class StubResourcesTest(unittest.TestCase):

    def check_manifest(self, path):
        manifest = ET.fromstring(resource(path, RT_MANIFEST))
        levels = [e.get("level") for e in manifest.iter(ASM_V3 + "requestedExecutionLevel")]
        self.assertEqual(levels, ["requireAdministrator"])
        self.assertEqual({e.get("Id") for e in manifest.iter(COMPATIBILITY + "supportedOS")}, SUPPORTED_OS)
        # Aware of each monitor's DPI, version 2 where the system has it;
        # per monitor or the system's DPI where it knows only the older
        # element.
        settings = ASM_V3 + "application/" + ASM_V3 + "windowsSettings/"
        self.assertEqual([e.text for e in manifest.findall(settings + WINDOWS_SETTINGS_2016 + "dpiAwareness")],
                         ["PerMonitorV2, PerMonitor"])
        self.assertEqual([e.text for e in manifest.findall(settings + WINDOWS_SETTINGS_2005 + "dpiAware")],
                         ["true/pm"])
        self.assertNotIn("Common-Controls", resource(path, RT_MANIFEST).decode("utf-8"))

    def test_manifest_version_and_icon_in_the_stub_and_an_installer(self):
        for path in (STUB, INSTALLER):
            with self.subTest(file=os.path.basename(path)):
                self.check_manifest(path)

                values = version_strings(resource(path, RT_VERSION))
                self.assertEqual(values.get("FileDescription"), "Lumora Install Program")
                self.assertEqual(values.get("CompanyName"), "Quillon Computers Ltd")
                self.assertEqual(values.get("OriginalFilename"), "setupstub.exe")
                for key in ("ProductName", "FileVersion", "ProductVersion"):
                    self.assertTrue(values.get(key), key)

                group = resource(path, RT_GROUP_ICON)
                _, kind, count = struct.unpack_from("<HHH", group)
                self.assertEqual(kind, 1)
                sizes = {group[6 + 14 * i] for i in range(count)}
                self.assertEqual(sizes, {16, 32, 48})

    def test_an_installer_with_rewritten_resources_keeps_the_manifest(self):
        files = [os.path.join(PAYLOAD, name) for name in sorted(os.listdir(PAYLOAD))]
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "aurora-setup.exe")
            subprocess.run([SETUPPACK, "build", "--stub", STUB, "-o", out, "--product", "Aurora",
                            "--version", "2.0.0", "--language", "de,ja", *files], check=True, stdout=subprocess.DEVNULL)
            self.assertEqual(version_strings(resource(out, RT_VERSION)).get("ProductName"), "Aurora")
            self.check_manifest(out)


class ImportsTest(unittest.TestCase):

    def imported(self):
        dump = subprocess.run([OBJDUMP, "-p", STUB], capture_output=True, text=True, check=True).stdout
        return {line.split("DLL Name:")[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}

    def test_the_stub_imports_only_known_dlls(self):
        imported = self.imported()
        self.assertIn("kernel32.dll", imported)
        self.assertLessEqual(imported, KNOWN_DLLS)

    def test_com_is_loaded_when_asked_for_not_at_every_start(self):
        # Imported, ole32 and oleaut32 (with rpcrt4 and combase) would be
        # loaded before every first window: milliseconds under Wine, for
        # what only an accessibility client or a known folder needs.
        self.assertFalse(self.imported() & {"ole32.dll", "oleaut32.dll"})


class UnwindTableTest(unittest.TestCase):

    def test_every_function_that_calls_the_program_keeps_its_unwind_entry(self):
        # The link leaves out the unwind entries (FDEs) of functions that call
        # no code of the program's own (scripts/unwind_table.py). Judged here
        # apart from the FDEs the link read: the code is cut into functions
        # by the link map's code sections, and in each function of an object
        # with unwind information, every call that leads into the program
        # (not through the import address table) must lie in an FDE's range.
        # The code the link compiles from the program's own (link-time
        # optimisation, cmake/LeanLink.cmake) is one section of many
        # functions, each with an FDE: there every such call must lie in one.
        sys.path.insert(0, os.path.join(SOURCE_DIR, "scripts"))
        import lean_link
        import unwind_table
        link_map = lean_link.LinkMap(os.path.splitext(STUB)[0] + ".map")
        with open(STUB, "rb") as f:
            image = unwind_table.Image(f.read())
        start = lean_link.unwind_table_start(link_map)
        address, size, raw, raw_size = image.section(image.section_at(start))
        table = bytes(image.data[raw + start - address:raw + min(size, raw_size)])
        fdes = sorted(unwind_table.read_table(table, start, image.pointer_at)[0], key=lambda fde: fde.start)
        fde_starts = [fde.start for fde in fdes]

        unwound = {file for output, _, file, _ in link_map.kept if output == ".eh_frame"}
        code = sorted((at, section, file) for output, section, file, at in link_map.kept if output == ".text")
        code_starts = [at for at, _, _ in code]
        imports = image.import_address_table()
        listing = subprocess.run([OBJDUMP, "-d", "--no-show-raw-insn", STUB], capture_output=True, text=True,
                                 check=True).stdout
        instructions = [(int(at, 16), text.strip()) for at, text in re.findall(r"^\s*([0-9a-f]+):\t(.*)$", listing, re.M)]
        jumps_to_imports = {at for at, text in instructions
                            if re.fullmatch(r"jmp\s+\*0x([0-9a-f]+)", text) and int(text.split("0x")[1], 16) in imports}
        checked, uncovered = 0, []
        for at, text in instructions:
            target = re.fullmatch(r"l?call\s+(\*?)0x([0-9a-f]+)", text)
            if not re.match(r"l?call", text) or (target and int(target.group(2), 16) in
                                                 (imports if target.group(1) else jumps_to_imports)):
                continue
            _, section, file = code[bisect.bisect_right(code_starts, at) - 1]
            linked_code = section == ".text" and file.endswith(".ltrans.o")
            if not (section.startswith(".text$") or linked_code) or file not in unwound:
                continue  # C code, or start-up code before the registered table
            checked += 1
            fde = bisect.bisect_right(fde_starts, at) - 1
            if fde < 0 or not fdes[fde].start <= at < fdes[fde].end:
                uncovered.append("%x %s in %s" % (at, text, section))
        self.assertGreater(checked, 1000)
        self.assertEqual(uncovered, [])


class ReproducibleTest(unittest.TestCase):

    def test_no_link_time_no_build_folder_and_the_same_installer_twice(self):
        with open(STUB, "rb") as f:
            stub = f.read()
        pe = struct.unpack_from("<I", stub, 0x3C)[0]
        self.assertEqual(stub[pe:pe + 4], b"PE\0\0")
        self.assertEqual(struct.unpack_from("<I", stub, pe + 8)[0], 0, "link time in the PE header")
        for folder in (SOURCE_DIR, BUILD_DIR):
            self.assertNotIn(os.path.abspath(folder).encode(), stub)

        files = [os.path.join(PAYLOAD, name) for name in sorted(os.listdir(PAYLOAD))]
        built = []
        with tempfile.TemporaryDirectory() as tmp:
            for name in ("a.exe", "b.exe"):
                out = os.path.join(tmp, name)
                subprocess.run([SETUPPACK, "build", "--stub", STUB, "-o", out, *files], check=True,
                               stdout=subprocess.DEVNULL)
                with open(out, "rb") as f:
                    built.append(f.read())
        self.assertEqual(built[0], built[1])


if __name__ == "__main__":
    STUB, INSTALLER, SETUPPACK, PAYLOAD, SOURCE_DIR, BUILD_DIR, OBJDUMP = sys.argv[1:8]
    BUDGET = int(sys.argv[8])
    SIZE_REPORT = sys.argv[9]
    unittest.main(argv=sys.argv[:1] + sys.argv[10:], verbosity=2)
