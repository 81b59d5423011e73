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


CHECK_MAGIC = b"LMCHECK"
# The record's kind, its magic's last byte: the installer's texts 8-bit or UTF-8.
KIND_8BIT, KIND_UTF8 = 1, 2


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


RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24
IMAGE_BASE = 0x400000


def resource_section(resources, rva):
    """A resource section at `rva` holding `resources`, a list of (type,
    name, language, data), all numbered: the tree as a linker writes it."""
    tree = {}
    for kind, name, language, data in sorted(resources):
        tree.setdefault(kind, {}).setdefault(name, []).append((language, data))

    def directory(count):
        return struct.pack("<IIHHHH", 0, 0, 0, 0, 0, count)

    leaves_at = (16 + 8 * len(tree) + sum(16 + 8 * len(names) for names in tree.values())
                 + sum(16 + 8 * len(languages) for names in tree.values() for languages in names.values()))
    data_at = leaves_at + 16 * len(resources)
    out, leaves, blobs = bytearray(directory(len(tree))), bytearray(), bytearray()
    following = 16 + 8 * len(tree)
    for kind, names in tree.items():
        out += struct.pack("<II", kind, 0x80000000 | following)
        following += 16 + 8 * len(names)
    for names in tree.values():
        out += directory(len(names))
        for name, languages in names.items():
            out += struct.pack("<II", name, 0x80000000 | following)
            following += 16 + 8 * len(languages)
    for names in tree.values():
        for languages in names.values():
            out += directory(len(languages))
            for language, data in languages:
                out += struct.pack("<II", language, leaves_at + len(leaves))
                leaves += struct.pack("<IIII", rva + data_at + len(blobs), len(data), 0, 0)
                blobs += data + bytes(-len(data) % 4)
    return bytes(out + leaves + blobs)


def version_resource(texts, numbers=(1, 0, 0, 0)):
    """A VS_VERSIONINFO of the fixed information and one table of `texts`
    (a dict), in US English."""
    def node(key, value=b"", kind=0, children=b"", value_length=None):
        head = struct.pack("<HH", 0, len(value) if value_length is None else value_length)
        head += struct.pack("<H", kind) + (key + "\0").encode("utf-16-le")
        body = head + bytes(-len(head) % 4) + value
        body += bytes(-len(body) % 4) + children
        return struct.pack("<H", len(body)) + body[2:] + bytes(-len(body) % 4)

    fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3],
                        numbers[0] << 16 | numbers[1], numbers[2] << 16 | numbers[3], 0x3F, 0, 0x40004, 1, 0, 0, 0)
    strings = b"".join(node(k, (v + "\0").encode("utf-16-le"), 1, value_length=len(v) + 1) for k, v in texts.items())
    return node("VS_VERSION_INFO", fixed, 0,
                node("StringFileInfo", kind=1, children=node("040904B0", kind=1, children=strings))
                + node("VarFileInfo", kind=1, children=node("Translation", struct.pack("<HH", 0x409, 1200))))


def version_texts(data):
    """The texts of a version resource: {key: value}, read from its first
    table of texts."""
    def nodes(at, end):
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", data, at)
            key_end = data.index(b"\0\0", at + 6)
            while (key_end - at) % 2:
                key_end = data.index(b"\0\0", key_end + 1)
            key = data[at + 6:key_end].decode("utf-16-le")
            value_at = key_end + 2 + (-(key_end + 2) % 4)
            size = value_length * 2 if kind == 1 else value_length
            yield key, data[value_at:value_at + size], value_at + size + (-(value_at + size) % 4), at + length
            at += length + (-length % 4)

    [(_, fixed, children, end)] = list(nodes(0, len(data)))[:1]
    texts = {}
    for key, _, inner, inner_end in nodes(children, end):
        if key == "StringFileInfo":
            for _, _, table_at, table_end in list(nodes(inner, inner_end))[:1]:
                for name, value, _, _ in nodes(table_at, table_end):
                    texts[name] = value.decode("utf-16-le").rstrip("\0")
    return texts


def fixed_versions(data):
    """(file version, product version) of a version resource's fixed
    information, each as four numbers."""
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, at + 8)
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
    return split(file_ms, file_ls), split(product_ms, product_ls)


def pe_checksum(data):
    """The checksum of a program file as Windows computes it, with the
    checksum field taken as zero; and the field's value."""
    at = struct.unpack_from("<I", data, 0x3C)[0] + 24 + 64
    words = bytearray(data)
    words[at:at + 4] = bytes(4)
    words += bytes(len(words) % 2)
    total = 0
    for (word,) in struct.iter_unpack("<H", words):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data), struct.unpack_from("<I", data, at)[0]


def program_image(resources=None, relocations=True, constant=b""):
    """A 32-bit Windows GUI program as a linker lays one out, with its
    checksum set: code (holding the bytes `constant`), then, when given, a
    resource section of `resources` (see resource_section), then base
    relocations, one of which relocates an address in the code."""
    section_rva, raw_at = 0x1000, 0x400
    code = bytearray(0x200)
    struct.pack_into("<I", code, 0x10, IMAGE_BASE + 0x1020)
    code[0x40:0x40 + len(constant)] = constant
    sections = [(b".text", bytes(code), 0x60000020)]
    directories = {}
    rva = section_rva + 0x1000
    if resources is not None:
        data = resource_section(resources, rva)
        directories[2] = (rva, len(data))
        sections.append((b".rsrc", data, 0x40000040))
        rva += -(-len(data) // 0x1000) * 0x1000
    if relocations:
        data = struct.pack("<IIHH", 0x1000, 12, 0x3000 | 0x10, 0)
        directories[5] = (rva, len(data))
        sections.append((b".reloc", data, 0x42000040))
    headers = bytearray(raw_at)
    headers[0:2] = b"MZ"
    struct.pack_into("<I", headers, 0x3C, 0x80)
    headers[0x80:0x84] = b"PE\0\0"
    struct.pack_into("<HH", headers, 0x84, 0x14C, len(sections))
    struct.pack_into("<HH", headers, 0x94, 0xE0, 0x102)
    optional = 0x98
    struct.pack_into("<HxxIII", headers, optional, 0x10B, 0x200, 0x200 * (len(sections) - 1), 0)
    struct.pack_into("<IIII", headers, optional + 16, section_rva, section_rva, section_rva, IMAGE_BASE)
    struct.pack_into("<II", headers, optional + 32, 0x1000, 0x200)
    struct.pack_into("<H", headers, optional + 48, 4)
    struct.pack_into("<H", headers, optional + 68, 2)
    struct.pack_into("<I", headers, optional + 92, 16)
    for index, (at, size) in directories.items():
        struct.pack_into("<II", headers, optional + 96 + 8 * index, at, size)
    body = bytearray()
    address = section_rva
    for i, (name, data, characteristics) in enumerate(sections):
        raw = data + bytes(-len(data) % 0x200)
        struct.pack_into("<8sIIII12xI", headers, optional + 0xE0 + 40 * i, name, len(data), address,
                         len(raw), raw_at + len(body), characteristics)
        body += raw
        address += -(-len(data) // 0x1000) * 0x1000
    struct.pack_into("<II", headers, optional + 56, address, raw_at)
    image = bytearray(headers + body)
    struct.pack_into("<I", image, optional + 64, pe_checksum(image)[0])
    return bytes(image)


def image_layout(data):
    """(sections, directories, size of the image) of a program: each section
    as (name, virtual size, address, raw size, raw offset), each directory
    as (address, size)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                   for i in range(struct.unpack_from("<I", data, optional + 92)[0])]
    sections = [(data[at:at + 8].rstrip(b"\0").decode(),) + struct.unpack_from("<IIII", data, at + 8)
                for at in range(optional + optional_size, optional + optional_size + 40 * count, 40)]
    return sections, directories, struct.unpack_from("<I", data, optional + 56)[0]


def resource_data_entry(data, kind, name):
    """The file offset of the data entry (address, size) of the resource
    numbered `name` of the type `kind`, in its first language."""
    sections, directories, _ = image_layout(data)

    def offset(rva):
        return next(raw_at + rva - address for _, size, address, raw_size, raw_at in sections
                    if address <= rva < address + max(size, raw_size))
    root = at = offset(directories[2][0])
    for wanted in (kind, name, None):
        count = sum(struct.unpack_from("<HH", data, at + 12))
        entries = [struct.unpack_from("<II", data, at + 16 + 8 * i) for i in range(count)]
        # The high bit marks a directory; the last level names the data entry.
        at = root + (next(child for number, child in entries if wanted in (None, number)) & 0x7FFFFFFF)
    return at


def check_record(data, kind=KIND_8BIT):
    """(count of checked bytes, CRC-32) of the check record of `kind` just
    before the archive of an installer, or None without one."""
    start = int32(data, len(data) - 4)
    record = data[start - 20:start]
    if start < 20 or record[:8] != CHECK_MAGIC + bytes([kind]):
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
