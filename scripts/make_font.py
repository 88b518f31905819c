#!/usr/bin/env python3
"""Writes ui/font8x8.cpp: the 256 glyphs of code page 437 in an 8 x 8 cell.

The shapes come from the public-domain VGA8 console font of Debian's
console-setup-linux package, looked up through the font's Unicode table: each
code page 437 byte is mapped to its Unicode character and that glyph is
taken. The few characters the console font lacks are drawn below by hand.
The generated file is committed, so building never needs the package.

Usage: scripts/make_font.py [font.psf.gz] [output.cpp]
"""

import gzip
import os
import struct
import sys

DEFAULT_FONT = "/usr/share/consolefonts/Uni2-VGA8.psf.gz"

# Code page 437: the graphic symbols of 0..31 and 127, then the upper half.
LOW = [0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
       0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
       0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
       0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC]
CP437 = LOW + list(range(32, 127)) + [0x2302] + [
    ord(bytes([b]).decode("cp437")) for b in range(128, 256)]

# Drawn by hand where the console font has no glyph, and for the Greek
# letters of 224..238, whose slots in the VGA8 fonts hold other shapes than
# their Unicode table claims ('#' = set pixel).
HAND = {
    0: ["........"] * 8,
    16: ["#.......", "###.....", "#####...", "#######.",
         "#####...", "###.....", "#.......", "........"],
    17: ["......#.", "....###.", "..#####.", "#######.",
         "..#####.", "....###.", "......#.", "........"],
    158: ["###.....", "#..#..#.", "#..#.###", "###...#.",
          "#.....#.", "#.....#.", "#......#", "........"],
    169: ["........", "........", ".######.", ".##.....",
          ".##.....", "........", "........", "........"],
    224: ["........", "........", ".###.##.", "##.###..",
          "##..#...", "##.###..", ".###.##.", "........"],
    226: ["#######.", "##...##.", "##......", "##......",
          "##......", "##......", "##......", "........"],
    227: ["........", "#######.", ".##.##..", ".##.##..",
          ".##.##..", ".##.##..", ".##.##..", "........"],
    228: ["#######.", "##...##.", ".##.....", "..##....",
          ".##.....", "##...##.", "#######.", "........"],
    229: ["........", "........", ".######.", "##.##...",
          "##.##...", "##.##...", ".###....", "........"],
    231: ["........", ".###.##.", "##.###..", "...##...",
          "...##...", "...##...", "...##...", "........"],
    232: ["######..", "..##....", ".####...", "##..##..",
          "##..##..", ".####...", "..##....", "######.."],
    233: ["..###...", ".##.##..", "##...##.", "#######.",
          "##...##.", ".##.##..", "..###...", "........"],
    234: ["..###...", ".##.##..", "##...##.", "##...##.",
          ".##.##..", ".##.##..", "###.###.", "........"],
    235: ["..###...", ".##.....", "..##....", ".####...",
          "##..##..", "##..##..", ".####...", "........"],
    237: ["......##", ".....##.", ".######.", "##.##.##",
          "##.##.##", ".######.", ".##.....", "##......"],
    238: ["..####..", ".##.....", "##......", "######..",
          "##......", ".##.....", "..####..", "........"],
    236: ["........", "........", ".##.##..", "#..#..#.",
          "#..#..#.", ".##.##..", "........", "........"],
    239: ["........", "..###...", ".##.##..", ".##.##..",
          ".##.##..", ".##.##..", "........", "........"],
    240: ["........", ".######.", "........", ".######.",
          "........", ".######.", "........", "........"],
}


def load_psf(path):
    """Returns (glyph bitmaps, {code point: glyph index}) of an 8 x 8 PSF font."""
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    table = {}
    if data[:2] == b"\x36\x04":  # PSF1
        mode, height = data[2], data[3]
        count = 512 if mode & 1 else 256
        glyphs = [data[4 + i * height:4 + (i + 1) * height] for i in range(count)]
        offset = 4 + count * height
        if mode & 2:
            for index in range(count):
                while offset < len(data):
                    (value,) = struct.unpack_from("<H", data, offset)
                    offset += 2
                    if value == 0xFFFF:
                        break
                    if value != 0xFFFE:
                        table.setdefault(value, index)
        width = 8
    else:  # PSF2
        _, _, header, flags, count, size, height, width = struct.unpack_from("<8I", data)
        glyphs = [data[header + i * size:header + (i + 1) * size] for i in range(count)]
        if flags & 1:
            entries = data[header + count * size:].split(b"\xff")
            for index, entry in enumerate(entries[:count]):
                for ch in entry.split(b"\xfe")[0].decode("utf-8", "replace"):
                    table.setdefault(ord(ch), index)
    if width != 8 or height != 8:
        sys.exit(f"{path}: an 8 x 8 font is needed, not {width} x {height}")
    return glyphs, table


def hand_glyph(rows):
    return bytes(int(row.replace("#", "1").replace(".", "0"), 2) for row in rows)


def main():
    font = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_FONT
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "ui", "font8x8.cpp")
    glyphs, table = load_psf(font)
    result = []
    for code, point in enumerate(CP437):
        if code in HAND:
            result.append(hand_glyph(HAND[code]))
        elif point in table:
            result.append(bytes(glyphs[table[point]]))
        else:
            sys.exit(f"{font}: no glyph for code {code} (U+{point:04X}); draw it by hand")
    lines = [
        "// Generated by scripts/make_font.py from the public-domain VGA8 console font",
        "// of Debian's console-setup-linux package; do not edit by hand.",
        "",
        '#include "ui/font.h"',
        "",
        "const std::array<std::array<uint8_t, 8>, 256> kFont8x8 = {{",
    ]
    for code, glyph in enumerate(result):
        values = ", ".join(f"0x{b:02X}" for b in glyph)
        lines.append(f"    {{{{{values}}}}},  // {code}")
    lines.append("}};")
    with open(output, "w", encoding="ascii") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
