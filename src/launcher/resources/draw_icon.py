#!/usr/bin/env python3
"""Draws the installer's icon, an aurora over a night sky in a rounded
square, at 16, 32 and 48 pixels, and writes it as a Windows icon file of
PNG images (32-bit colour with alpha), which Windows reads from Vista on.

    draw_icon.py OUT.ico
"""
import math
import struct
import sys
import zlib

SIZES = (48, 32, 16)
SAMPLES = 4  # per pixel and axis, for smooth edges


def clamp(v):
    return max(0.0, min(1.0, v))


def rounded_square(x, y, radius):
    """True inside the unit square with rounded corners."""
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def band(x, y, centre, amplitude, phase, width):
    """How strongly a wavy aurora curtain covers (x, y), 0 to 1."""
    crest = centre + amplitude * math.sin(2 * math.pi * (x * 1.3 + phase))
    d = y - crest
    if d < 0:
        return clamp(1 + d / (width * 0.35))  # a sharp lower edge
    return clamp(1 - d / width) ** 1.5        # a soft glow above


def colour(x, y):
    """The icon's colour at (x, y) of the unit square, y downwards, as RGBA."""
    if not rounded_square(x, y, 0.2):
        return (0.0, 0.0, 0.0, 0.0)
    # Night sky: deep blue at the top, lighter towards the horizon.
    r, g, b = 0.03 + 0.05 * y, 0.05 + 0.12 * y, 0.22 + 0.30 * y
    for centre, amplitude, phase, width, tint in (
            (0.62, 0.08, 0.10, 0.40, (0.20, 0.95, 0.55)),
            (0.48, 0.06, 0.45, 0.30, (0.35, 0.85, 0.95))):
        a = band(x, 1 - y, 1 - centre, amplitude, phase, width) * 0.85
        r, g, b = r + (tint[0] - r) * a, g + (tint[1] - g) * a, b + (tint[2] - b) * a
    # A star at the top left.
    if (x - 0.26) ** 2 + (y - 0.24) ** 2 < 0.004:
        r = g = b = 1.0
    # Dark hills along the bottom.
    if y > 0.80 + 0.06 * math.sin(x * 5.0):
        r, g, b = 0.02, 0.05, 0.08
    return (r, g, b, 1.0)


def image(size):
    """BGRA rows, top row first."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = colour((px + (sx + 0.5) / SAMPLES) / size,
                                        (py + (sy + 0.5) / SAMPLES) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            rgb = [c / acc[3] if acc[3] else 0.0 for c in acc[:3]]
            # Colours in steps of 1/16: bands of equal colour keep the file small.
            row += bytes(min(255, round(c * 15) * 17) for c in (rgb[2], rgb[1], rgb[0])) + bytes((round(alpha * 255),))
        rows.append(bytes(row))
    return rows


def png(size):
    """One image of the icon file as a PNG (32-bit RGBA), the form Windows
    reads from Vista on: a fraction of the bytes of a bitmap. Each row is
    stored as the difference to the row above (filter "up"), which the
    smooth sky turns into runs that deflate well."""
    pixels = [bytes(c for px in range(0, len(row), 4) for c in (row[px + 2], row[px + 1], row[px], row[px + 3]))
              for row in image(size)]
    previous = bytes(size * 4)
    rows = b""
    for row in pixels:
        rows += b"\x02" + bytes((a - b) & 0xFF for a, b in zip(row, previous))
        previous = row

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def main():
    images = [png(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
