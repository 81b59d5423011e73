"""An independent reading of installers made by setuppack, for the tests:
the payload trailer, the archive's header, entries and blocks, with offsets,
and each file's data (compressed blocks inflated with Python's zlib)."""
import struct
import zlib


def int32(data, at):
    return struct.unpack_from("<i", data, at)[0]


class Entry:
    def __init__(self, name, stamp, offset):
        self.name = name
        self.stamp = stamp
        self.offset = offset
        self.blocks = []  # (length, offset of the data)

    def data(self, installer):
        out = b""
        for length, at in self.blocks:
            chunk = installer[at:at + abs(length)]
            out += chunk if length < 0 else zlib.decompress(chunk)
        return out


def parse_installer(data):
    """Returns (archive offset, title, total size, file count, entries, end
    marker offset) of an installer without special entries."""
    start = int32(data, len(data) - 4)
    at = start
    title_length = int32(data, at)
    title = data[at + 4:at + 4 + title_length].decode("latin-1")
    at += 4 + title_length
    total, count = int32(data, at), int32(data, at + 4)
    at += 8
    entries = []
    while True:
        name_length = int32(data, at)
        if name_length == 0:
            return start, title, total, count, entries, at
        entry = Entry(data[at + 4:at + 4 + name_length].decode("latin-1"), 0, at)
        at += 4 + name_length
        entry.stamp = struct.unpack_from("<I", data, at)[0]
        assert data[at + 4:at + 8] == b"EC2\0"
        at += 8
        while True:
            length = int32(data, at)
            at += 4
            if length == 0:
                break
            entry.blocks.append((length, at))
            at += abs(length)
        entries.append(entry)


CHECK_MAGIC = b"LMCHECK\x01"


def stub_image(data, machine=0x14C, subsystem=2, magic=0x10B):
    """A program image as a setup stub is one (a 32-bit Windows GUI program
    by default) whose one section holds `data`: the headers of the PE format,
    then the data."""
    headers = bytearray(0x200)
    headers[0:2] = b"MZ"
    struct.pack_into("<I", headers, 0x3C, 0x80)
    headers[0x80:0x84] = b"PE\0\0"
    struct.pack_into("<HH", headers, 0x84, machine, 1)
    struct.pack_into("<H", headers, 0x94, 0xE0)
    optional = 0x98
    struct.pack_into("<H", headers, optional, magic)
    struct.pack_into("<I", headers, optional + 60, 0x200)
    struct.pack_into("<H", headers, optional + 68, subsystem)
    struct.pack_into("<I", headers, optional + (92 if magic == 0x10B else 108), 16)
    struct.pack_into("<II", headers, optional + 0xE0 + 16, len(data), 0x200)
    return bytes(headers) + data


def check_record(data):
    """(count of checked bytes, CRC-32) of the check record just before the
    archive of an installer, or None without one."""
    start = int32(data, len(data) - 4)
    record = data[start - 20:start]
    if start < 20 or record[:8] != CHECK_MAGIC:
        return None
    return struct.unpack_from("<QI", record, 8)


def image_end(data):
    """Where the program image at the start of `data` ends: its headers and
    every section's raw data."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    end = struct.unpack_from("<I", data, pe + 24 + 60)[0]
    for i in range(sections):
        size, at = struct.unpack_from("<II", data, pe + 24 + optional_size + 40 * i + 16)
        end = max(end, at + size)
    return end


def without_check_record(data):
    """The installer as a tool that writes no check record would leave it:
    the archive right behind the program image."""
    start, end = int32(data, len(data) - 4), image_end(data)
    return data[:end] + data[start:-4] + struct.pack("<i", end)


def lzma2_chunks(data, at):
    """The offsets of the LZMA2 chunks of the stream at `at` in `data`, up to
    its end marker."""
    chunks = []
    while data[at] != 0:
        control = data[at]
        chunks.append(at)
        if control in (1, 2):
            at += 3 + struct.unpack_from(">H", data, at + 1)[0] + 1
        else:
            packed = struct.unpack_from(">H", data, at + 3)[0] + 1
            at += (6 if control >= 0xC0 else 5) + packed
    return chunks


def dos_stamp(unix_time, convert=None):
    """The MS-DOS packed local time of a Unix time (or the time `convert`
    makes of it, such as time.gmtime)."""
    import time
    t = (convert or time.localtime)(unix_time)
    return ((t.tm_year - 1980) << 25 | t.tm_mon << 21 | t.tm_mday << 16 |
            t.tm_hour << 11 | t.tm_min << 5 | min(t.tm_sec, 59) // 2)
