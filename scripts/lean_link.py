#!/usr/bin/env python3
"""Links a Windows program with GNU ld so that --gc-sections also drops the
inline functions nothing calls, compacts its unwind table (see
unwind_table.py), and writes the link map.

Usage (as a CMake linker launcher): lean_link.py MAP LINK-COMMAND...

GNU ld for PE keeps every unwind-table section (KEEP(*(.eh_frame*)) in its
default script), and each unwind entry points at its function, so no function
that has an entry can be collected. GCC gives the entry of an inline function
or template instance X (a COMDAT section .text$X) a section .eh_frame$X of its
own. This script links with the default script changed to keep .eh_frame$X
only for the X whose .text$X the link keeps, and links again until that set
stops growing (an entry can lead to more code: its exception table and the
personality routine). The ordinary .eh_frame sections stay kept, and all of
them stay in input order, so that crtend.o's terminator still closes the
table that crtbegin.o registers. The result is checked before it replaces
the output: every kept .text$X has its .eh_frame$X, and the table ends with
crtend.o's terminator. Passes write to a scratch file, so a failure leaves the
output as it was. The map describes the link before the unwind table was
rewritten: the .eh_frame section of the program is smaller than it says.
"""
import os
import re
import subprocess
import sys

from unwind_table import UnwindTableError, compact_unwind_table

KEEP_ALL_UNWIND = "KEEP(*(.eh_frame*))"
MAX_PASSES = 8
# Names that may appear in a linker script's input section list as they are.
PLAIN_NAME = re.compile(r"^[A-Za-z0-9_.$]+$")


class LinkError(Exception):
    pass


def tool(command, name):
    """The path of the binutils program `name` that the compiler driver uses."""
    return subprocess.run([command[0], "-print-prog-name=" + name], capture_output=True, text=True,
                          check=True).stdout.strip()


def default_script(command):
    """The linker script GNU ld uses for this link (printed by --verbose)."""
    ld = tool(command, "ld")
    verbose = subprocess.run([ld, "--verbose"], capture_output=True, text=True, check=True).stdout
    parts = verbose.split("==================================================")
    if len(parts) < 3 or KEEP_ALL_UNWIND not in parts[1]:
        raise LinkError("%s --verbose printed no default script with %s" % (ld, KEEP_ALL_UNWIND))
    return parts[1]


def pruning_script(base, live):
    names = [".eh_frame"] + [".eh_frame$" + name for name in sorted(live)]
    return base.replace(KEEP_ALL_UNWIND, "KEEP(*(%s))\n    *(.eh_frame$*)" % " ".join(names))


class LinkMap:
    """The input sections of a GNU ld map: those kept, in output order with
    their output section and file, and the names of those discarded."""

    def __init__(self, path):
        with open(path, errors="replace") as f:
            lines = f.read().split("\n")
        try:
            memory_map = lines.index("Linker script and memory map")
        except ValueError:
            raise LinkError("%s is not a GNU ld map" % path)
        self.kept = []  # (output section, input section, file, address)
        self.discarded = set()
        output = None
        pending = None
        for number, line in enumerate(lines):
            in_map = number > memory_map
            head = re.match(r"^(\.\S+)\s", line)
            if in_map and head:
                output = head.group(1)
                pending = None
                continue
            m = re.match(r"^ (\.\S+)(?:\s+0x([0-9a-f]+)\s+0x[0-9a-f]+\s+(\S.*))?$", line)
            if m:
                if m.group(2) is None:
                    pending = m.group(1)
                    continue
                self._add(in_map, output, m.group(1), m.group(3), m.group(2))
                pending = None
                continue
            m = re.match(r"^\s+0x([0-9a-f]+)\s+0x[0-9a-f]+\s+(\S.*)$", line)
            if m and pending:
                self._add(in_map, output, pending, m.group(2), m.group(1))
            pending = None

    def _add(self, in_map, output, section, file, address):
        if in_map:
            self.kept.append((output, section, file, int(address, 16)))
        else:
            self.discarded.add(section)

    def names(self, prefix, kept=True):
        found = {s for _, s, _, _ in self.kept} if kept else set(self.discarded)
        return {s[len(prefix):] for s in found if s.startswith(prefix)}


def check(link_map):
    for _, section, _, _ in link_map.kept:
        if section.startswith(".eh_frame") and section != ".eh_frame" and not section.startswith(".eh_frame$"):
            raise LinkError("unwind section %s is named in a way this script does not know" % section)
    with_unwind = link_map.names(".eh_frame$") | link_map.names(".eh_frame$", kept=False)
    missing = (link_map.names(".text$") & with_unwind) - link_map.names(".eh_frame$")
    if missing:
        raise LinkError("code kept without its unwind entry: %s" % ", ".join(sorted(missing)[:5]))
    table = [file for output, _, file, _ in link_map.kept if output == ".eh_frame"]
    if not table or os.path.basename(table[-1]) != "crtend.o":
        raise LinkError("the unwind table does not end with crtend.o's terminator")


def unwind_table_start(link_map):
    """Where the unwind table that libgcc registers begins: crtbegin.o's
    __EH_FRAME_BEGIN__, at the start of its .eh_frame section."""
    for output, section, file, address in link_map.kept:
        if output == ".eh_frame" and section == ".eh_frame" and os.path.basename(file) == "crtbegin.o":
            return address
    raise LinkError("crtbegin.o has no part in the unwind table")


class LeanLink:
    """One link of LINK-COMMAND, its output and map written only at the end."""

    def __init__(self, command, map_path):
        if "-o" not in command[:-1]:
            raise LinkError("the link command names no output (-o FILE)")
        self.command = list(command)
        self.out_index = command.index("-o") + 1
        self.output = command[self.out_index]
        self.map_path = map_path
        self.scratch = self.output + ".pass"
        self.script_path = map_path + ".ld"
        self.pass_map = map_path + ".pass"

    def run(self):
        try:
            self._settle(default_script(self.command))
        finally:
            for leftover in (self.scratch, self.script_path, self.pass_map):
                if os.path.exists(leftover):
                    os.remove(leftover)

    def _settle(self, base):
        live = set()
        for _ in range(MAX_PASSES):
            link_map = self._link(pruning_script(base, live))
            with_unwind = link_map.names(".eh_frame$") | link_map.names(".eh_frame$", kept=False)
            reached = link_map.names(".text$") & with_unwind
            if reached <= live:
                check(link_map)
                try:
                    compact_unwind_table(self.scratch, unwind_table_start(link_map), tool(self.command, "objdump"))
                except UnwindTableError as e:
                    raise LinkError("the unwind table: %s" % e)
                os.replace(self.scratch, self.output)
                os.replace(self.pass_map, self.map_path)
                return
            odd = sorted(name for name in reached if not PLAIN_NAME.match(name))
            if odd:
                raise LinkError("cannot name section .eh_frame$%s in a linker script" % odd[0])
            live |= reached
        raise LinkError("the set of kept code did not settle in %d passes" % MAX_PASSES)

    def _link(self, script):
        with open(self.script_path, "w") as f:
            f.write(script)
        args = list(self.command)
        args[self.out_index] = self.scratch
        args += ["-Wl,-T," + self.script_path, "-Wl,-Map=" + self.pass_map]
        result = subprocess.run(args)
        if result.returncode != 0:
            raise LinkError("the link failed (exit code %d)" % result.returncode)
        return LinkMap(self.pass_map)


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    LeanLink(argv[2:], argv[1]).run()
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (LinkError, subprocess.CalledProcessError, OSError) as e:
        print("lean_link.py: %s" % e, file=sys.stderr)
        sys.exit(1)
