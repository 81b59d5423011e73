"""Makes the unwind table of a linked 32-bit Windows program smaller: the
.eh_frame section, which libgcc's DWARF unwinder registers at start-up and
reads when an exception is thrown.

The table is a list of entries: common information entries (CIEs), which
say how the program's functions are unwound and which personality routine
they use, and one frame description entry (FDE) for each function, which
points back to its CIE. Two things make it larger than it need be.

- The assembler writes a CIE into every .eh_frame section it makes, one for
  each object file and one for each inline function or template instance
  (.eh_frame$X, so that the link can drop it with its function: see
  lean_link.py). GNU ld for ELF merges the copies; GNU ld for PE copies them
  as they are, so the setup program carries hundreds of copies of the same
  two CIEs (one for code without exception handlers, one that names the C++
  personality routine): 12 KB. (GCC for Windows names the routine through a
  pointer of each object's own, so the copies of the second differ in where
  that pointer is, though each pointer holds the same routine.)
- GCC gives every function an FDE, also a function that calls no other
  function of the program. The unwinder reads the FDEs of the functions
  whose calls are under way, from the one that throws out to the one that
  catches. A function that makes no call is never among them; nor is one
  that calls only the system's DLLs, whose frames have no FDEs, so that an
  exception thrown from a callback the DLL calls ends the program where it
  meets the DLL's frame, before it would reach the caller. Their FDEs are
  never read (an exception of the processor is no C++ exception here: it
  never unwinds). 10 KB.

compact_unwind_table rewrites the table of the linked program: each distinct
CIE once at its start, then the FDEs in their order but for those of
functions that call no code of the program's own, each pointing at its CIE's
one copy, with its pc-relative pointers (to its function and to its
exception table) set for the place it moves to. What a function calls,
objdump tells: its reading of the code from the function's first byte to its
last finds no call instruction but those through the import address table
(directly, or through a jump there), and no bytes it cannot read; a function
with an exception table keeps its FDE whatever the code. The entries before
the table's start (those of crt2.o, which comes before crtbegin.o's
__EH_FRAME_BEGIN__ and which libgcc never registers) stay where they are;
the table ends, as before, with a zero terminator, and what followed the
terminator, which nothing reads, is left out. The section keeps its address
and its size in memory (an image's sections follow each other without gaps,
and the loader fills the rest with zeros); its part of the file shrinks, the
sections after it move up in the file, and the image's checksum is computed
anew. The result is read back and compared with the original: every FDE kept
must describe the same function with the same instructions, exception table
and CIE.

Only the forms GCC and GNU as write for i386 are accepted: pointers encoded
pc-relative in four bytes (no absolute pointer, which would need a base
relocation) and the augmentations z, P, L, R and S. Anything else is an
UnwindTableError, and the program is left as it was. The setup program's
lookup of a function's FDE (src/launcher/UnwindTableLookup.cpp) reads the
table in this form alone.
"""
import bisect
import re
import struct
import subprocess

# DW_EH_PE pointer encodings: the format in the low bits, how it applies in
# the next three, indirection in the top bit.
PE_OMIT = 0xFF
PE_FORMATS_OF_FOUR_BYTES = (0x03, 0x0B)  # udata4, sdata4
PE_PCREL = 0x10
PE_INDIRECT = 0x80

IMAGE_SCN_CNT_INITIALIZED_DATA = 0x40
SECTION_HEADER_SIZE = 40
TERMINATOR = b"\0\0\0\0"

# A line of objdump -d --no-show-raw-insn: the address, then the instruction.
INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\t(.*)$")
# A call, near or far, whatever its operand or prefixes.
CALL = re.compile(r"(^|\s)l?call[lw]?(\s|$)")


class UnwindTableError(Exception):
    pass


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def uleb128(data, at):
    """The value of the ULEB128 number at `at`, and the offset after it."""
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def check_encoding(encoding, what):
    if encoding & 0x0F not in PE_FORMATS_OF_FOUR_BYTES or encoding & 0x70 != PE_PCREL:
        raise UnwindTableError("%s encoded as 0x%02x, not pc-relative in four bytes" % (what, encoding))


class Image:
    """The headers of a PE32 image that the rewrite reads and changes."""

    def __init__(self, data):
        self.data = bytearray(data)
        if self.data[:2] != b"MZ":
            raise UnwindTableError("not a Windows program")
        self.pe = u32(self.data, 0x3C)
        if self.data[self.pe:self.pe + 4] != b"PE\0\0":
            raise UnwindTableError("not a PE image")
        self.count = struct.unpack_from("<H", self.data, self.pe + 6)[0]
        optional_size = struct.unpack_from("<H", self.data, self.pe + 20)[0]
        self.optional = self.pe + 24
        if struct.unpack_from("<H", self.data, self.optional)[0] != 0x10B:
            raise UnwindTableError("not a 32-bit image")
        self.image_base = u32(self.data, self.optional + 28)
        self.file_alignment = u32(self.data, self.optional + 36)
        self.sections = self.optional + optional_size
        directories = u32(self.data, self.optional + 92)
        for index, name in ((4, "certificate table"), (6, "debug directory")):
            # The table, and the data of the directory's entries, are found
            # by file offsets, which the rewrite would change.
            if index < directories and u32(self.data, self.optional + 96 + 8 * index + 4):
                raise UnwindTableError("the image has a %s" % name)

    def import_address_table(self):
        """The range of virtual addresses of the import address table."""
        directories = u32(self.data, self.optional + 92)
        if directories <= 12:
            return range(0)
        rva, size = struct.unpack_from("<II", self.data, self.optional + 96 + 8 * 12)
        return range(self.image_base + rva, self.image_base + rva + size)

    def header(self, index):
        return self.sections + SECTION_HEADER_SIZE * index

    def section_at(self, address):
        """The index of the section that holds the virtual address."""
        rva = address - self.image_base
        for index in range(self.count):
            at = self.header(index)
            size, start = struct.unpack_from("<II", self.data, at + 8)
            if start <= rva < start + size:
                return index
        raise UnwindTableError("no section holds address 0x%x" % address)

    def pointer_at(self, address):
        """The four bytes at a virtual address, as the file holds them."""
        section_address, _, raw, raw_size = self.section(self.section_at(address))
        offset = address - section_address
        if offset + 4 > raw_size:
            raise UnwindTableError("no pointer in the file at 0x%x" % address)
        return u32(self.data, raw + offset)

    def section(self, index):
        """(virtual address, virtual size, file offset, size in the file)."""
        at = self.header(index)
        size, rva, raw_size, raw = struct.unpack_from("<IIII", self.data, at + 8)
        return self.image_base + rva, size, raw, raw_size

    def replace_contents(self, index, contents):
        """Puts `contents` (no longer than before) in place of the section's
        part of the file, and moves what follows it up in the file."""
        _, _, raw, raw_size = self.section(index)
        new_size = -(-len(contents) // self.file_alignment) * self.file_alignment
        if new_size > raw_size:
            raise UnwindTableError("the rewritten section is larger than the original")
        moved = raw_size - new_size
        self.data[raw:raw + raw_size] = contents + bytes(new_size - len(contents))
        struct.pack_into("<I", self.data, self.header(index) + 16, new_size)
        for other in range(self.count):
            at = self.header(other)
            other_raw = u32(self.data, at + 20)
            if other != index and other_raw > raw:
                struct.pack_into("<I", self.data, at + 20, other_raw - moved)
        symbols = u32(self.data, self.pe + 12)
        if symbols > raw:
            struct.pack_into("<I", self.data, self.pe + 12, symbols - moved)
        flags = u32(self.data, self.header(index) + 36)
        if flags & IMAGE_SCN_CNT_INITIALIZED_DATA:
            at = self.optional + 8
            struct.pack_into("<I", self.data, at, u32(self.data, at) - moved)

    def set_checksum(self):
        at = self.optional + 64
        struct.pack_into("<I", self.data, at, 0)
        words = self.data + (b"\0" if len(self.data) % 2 else b"")
        total = 0
        for (word,) in struct.iter_unpack("<H", words):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        struct.pack_into("<I", self.data, at, total + len(self.data))


class Cie:
    def __init__(self, table, at, address, pointer_at):
        """The CIE of table[at:], which lies at `address` in memory;
        pointer_at(address) reads the program's memory."""
        length = u32(table, at)
        self.raw = bytes(table[at:at + 4 + length])
        version = table[at + 8]
        if version not in (1, 3):
            raise UnwindTableError("a CIE of version %d" % version)
        end = table.index(b"\0", at + 9)
        augmentation = table[at + 9:end].decode("ascii", errors="replace")
        _, p = uleb128(table, end + 1)  # code alignment
        _, p = uleb128(table, p)  # data alignment (signed, but only skipped)
        p = p + 1 if version == 1 else uleb128(table, p)[1]  # return address register
        self.fde_encoding = 0  # absolute, when there is no R
        self.lsda_encoding = PE_OMIT
        self.has_augmentation_data = augmentation.startswith("z")
        self.personality_at = None  # offset of the personality pointer in raw
        personality = routine = None
        if augmentation and not self.has_augmentation_data:
            raise UnwindTableError("a CIE with augmentation %r" % augmentation)
        if self.has_augmentation_data:
            _, p = uleb128(table, p)
            for letter in augmentation[1:]:
                if letter == "P":
                    encoding = table[p]
                    check_encoding(encoding & ~PE_INDIRECT, "a personality routine")
                    self.personality_at = p + 1 - at
                    personality = (address + self.personality_at + u32(table, p + 1)) & 0xFFFFFFFF
                    routine = pointer_at(personality) if encoding & PE_INDIRECT else personality
                    p += 5
                elif letter == "L":
                    self.lsda_encoding = table[p]
                    check_encoding(self.lsda_encoding, "an exception table")
                    p += 1
                elif letter == "R":
                    self.fde_encoding = table[p]
                    p += 1
                elif letter != "S":
                    raise UnwindTableError("a CIE with augmentation %r" % augmentation)
        check_encoding(self.fde_encoding, "a function's address")
        # Two CIEs are the same when they have the same bytes but for their
        # personality pointer, and name the same personality routine.
        key = bytearray(self.raw)
        if self.personality_at is not None:
            struct.pack_into("<I", key, self.personality_at, routine)
        self.key = bytes(key)
        self.personality = personality

    def placed_at(self, address):
        """The CIE's bytes when it lies at `address`."""
        raw = bytearray(self.raw)
        if self.personality_at is not None:
            pointer = (self.personality - address - self.personality_at) & 0xFFFFFFFF
            struct.pack_into("<I", raw, self.personality_at, pointer)
        return bytes(raw)


class Fde:
    def __init__(self, table, at, address, cie):
        """The FDE of table[at:] at `address` in memory, with its CIE."""
        length = u32(table, at)
        self.raw = bytes(table[at:at + 4 + length])
        self.cie = cie
        self.start = (address + 8 + u32(table, at + 8)) & 0xFFFFFFFF
        self.end = self.start + u32(table, at + 12)
        self.lsda_at = None  # offset of the exception table pointer in raw
        self.lsda = 0
        if cie.lsda_encoding != PE_OMIT:
            if not cie.has_augmentation_data:
                raise UnwindTableError("an exception table without augmentation data")
            _, p = uleb128(table, at + 16)
            self.lsda_at = p - at
            pointer = u32(table, p)
            # Zero stands for no exception table, whatever the encoding.
            self.lsda = (address + self.lsda_at + pointer) & 0xFFFFFFFF if pointer else 0

    def placed_at(self, address, cie_address):
        raw = bytearray(self.raw)
        struct.pack_into("<I", raw, 4, address + 4 - cie_address)
        struct.pack_into("<I", raw, 8, (self.start - address - 8) & 0xFFFFFFFF)
        if self.lsda_at is not None and self.lsda:
            struct.pack_into("<I", raw, self.lsda_at, (self.lsda - address - self.lsda_at) & 0xFFFFFFFF)
        return bytes(raw)

    def meaning(self):
        """What the FDE says, wherever it lies: its CIE, its function, its
        exception table and the rest of its bytes."""
        rest = bytearray(self.raw[12:])
        if self.lsda_at is not None:
            struct.pack_into("<I", rest, self.lsda_at - 12, self.lsda)
        return self.cie.key, self.start, bytes(rest)


def read_table(table, address, pointer_at):
    """The FDEs of the table that starts at table[0], at `address` in memory,
    up to its zero terminator, and the offset after the terminator."""
    cies = {}
    fdes = []
    at = 0
    while True:
        if at + 4 > len(table):
            raise UnwindTableError("the unwind table has no terminator")
        length = u32(table, at)
        if length == 0:
            return fdes, at + 4
        if length == 0xFFFFFFFF or at + 4 + length > len(table) or length < 8:
            raise UnwindTableError("an unwind entry of length 0x%x at 0x%x" % (length, address + at))
        back = u32(table, at + 4)
        if back == 0:
            cies[at] = Cie(table, at, address + at, pointer_at)
        else:
            cie_at = at + 4 - back
            if cie_at not in cies:
                raise UnwindTableError("an FDE at 0x%x without its CIE" % (address + at))
            fdes.append(Fde(table, at, address + at, cies[cie_at]))
        at += 4 + length


class Code:
    """objdump's reading of the program's code: where it finds instructions,
    which of them call code of the program's own (not a DLL's function, which
    it calls through the import address table, directly or through a jump
    there), and where it finds bytes that are no instruction."""

    def __init__(self, objdump, path, imports):
        """`imports`: the range of addresses of the import address table."""
        listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], capture_output=True, text=True,
                                 check=True).stdout
        instructions = {}
        for line in listing.splitlines():
            m = INSTRUCTION.match(line)
            if m:
                instructions[int(m.group(1), 16)] = m.group(2).strip()

        def through_imports(operand):
            m = re.fullmatch(r"\*0x([0-9a-f]+)", operand)
            return bool(m) and int(m.group(1), 16) in imports

        jumps_to_imports = {address for address, text in instructions.items()
                            if text.startswith("jmp ") and through_imports(text[4:].strip())}
        self.starts = set(instructions)
        self.calls = []
        self.unreadable = []
        for address, text in sorted(instructions.items()):
            if CALL.search(text):
                operand = text.split()[-1]
                direct = re.fullmatch(r"0x([0-9a-f]+)", operand)
                if not (through_imports(operand) or (direct and int(direct.group(1), 16) in jumps_to_imports)):
                    self.calls.append(address)
            elif "(bad)" in text:
                self.unreadable.append(address)

    def calls_none_of_its_own(self, start, end):
        """True when the code from `start` to `end` is read from its first
        byte, calls no code of the program's own and holds nothing
        unreadable."""
        return start in self.starts and not any(
            bisect.bisect_left(found, start) < bisect.bisect_left(found, end) for found in (self.calls, self.unreadable))


def shared_table(fdes, address):
    """The bytes of a table at `address` with each distinct CIE once."""
    out = bytearray()
    placed = {}
    for fde in fdes:
        if fde.cie.key not in placed:
            placed[fde.cie.key] = address + len(out)
            out += fde.cie.placed_at(address + len(out))
    for fde in fdes:
        out += fde.placed_at(address + len(out), placed[fde.cie.key])
    return bytes(out + TERMINATOR)


def compact_unwind_table(path, table_start, objdump):
    """Rewrites the program at `path`, whose unwind table starts at virtual
    address `table_start`, with that table compacted (see above); objdump is
    the path of the objdump that reads the program. Returns the number of
    bytes the file shrank by."""
    with open(path, "rb") as f:
        image = Image(f.read())
    index = image.section_at(table_start)
    address, size, raw, raw_size = image.section(index)
    contents = bytes(image.data[raw:raw + min(size, raw_size)])
    before = table_start - address
    fdes, _ = read_table(contents[before:], table_start, image.pointer_at)
    code = Code(objdump, path, image.import_address_table())
    kept = [fde for fde in fdes if fde.lsda or not code.calls_none_of_its_own(fde.start, fde.end)]
    table = shared_table(kept, table_start)
    reread, end = read_table(table, table_start, image.pointer_at)
    if end != len(table) or [f.meaning() for f in reread] != [f.meaning() for f in kept]:
        raise UnwindTableError("the compacted table does not say what the original says")
    old_length = len(image.data)
    image.replace_contents(index, contents[:before] + table)
    image.set_checksum()
    with open(path, "wb") as f:
        f.write(image.data)
    return old_length - len(image.data)
