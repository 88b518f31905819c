#!/usr/bin/env python3
"""Draws akkusim's icon, a charged battery ("Akku") on a dark tile, as a PNG.

    make_icon.py SIZE OUTPUT.png

Drawn here rather than kept as a binary file: the same bytes every time, at
any size a desktop asks for.
"""
import struct
import sys
import zlib

BACKGROUND = (32, 48, 80, 255)
OUTLINE = (240, 240, 240, 255)
CHARGE = (80, 200, 90, 255)
CLEAR = (0, 0, 0, 0)


def pixel(size, x, y):
    # Coordinates in 1/64 of the icon, so that every size shows the same.
    u, v = x * 64.0 / size, y * 64.0 / size
    corner = 10.0
    dx = max(corner - u, 0.0, u - (64.0 - corner))
    dy = max(corner - v, 0.0, v - (64.0 - corner))
    if dx * dx + dy * dy > corner * corner:
        return CLEAR
    # The battery lies on its side: body 10..50 x 20..44, the pole 50..55.
    in_body = 10 <= u < 50 and 20 <= v < 44
    in_pole = 50 <= u < 55 and 27 <= v < 37
    inside = 14 <= u < 46 and 24 <= v < 40
    if in_pole or (in_body and not inside):
        return OUTLINE
    # Three of four bars charged, with gaps between them.
    if inside and 16 <= u < 44 and 26 <= v < 38:
        bar = int((u - 16) // 7)
        if bar < 3 and (u - 16) % 7 < 5.5:
            return CHARGE
    return BACKGROUND


def png(size):
    rows = b"".join(
        b"\x00" + b"".join(bytes(pixel(size, x, y)) for x in range(size)) for y in range(size)
    )

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open(sys.argv[2], "wb") as out:
        out.write(png(int(sys.argv[1])))
