#!/usr/bin/env python3
"""Writes the Font page's three tree icons (16 x 16, 32-bit with an AND mask) into
resources/icons/: 125 the root (a printer), 126 a font group (a letter "A" on a page),
127 a size entry (a small ruler mark). Run it again after changing a picture below."""
import os
import struct
import sys

# One character per pixel, top row first; "." is transparent.
PALETTE = {
    "k": (0x20, 0x20, 0x20),
    "g": (0x80, 0x80, 0x80),
    "l": (0xC8, 0xC8, 0xC8),
    "w": (0xFF, 0xFF, 0xFF),
    "b": (0x1E, 0x5A, 0xC8),
    "r": (0xC0, 0x30, 0x30),
}

PRINTER = [
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwggggwk....",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    ".kllllllllllllk.",
    ".kllllllllllbbk.",
    ".kllllllllllllk.",
    ".kggggggggggggk.",
    ".kgkkkkkkkkkkgk.",
    ".kgkwwwwwwwwkgk.",
    "..kkwggggggwkk..",
    "....wwwwwwww....",
    "....kkkkkkkk....",
    "................",
]

FONT_GROUP = [
    "..kkkkkkkkkk....",
    "..kwwwwwwwwkk...",
    "..kwwwwwwwwkwk..",
    "..kwwwwbbwwkkkk.",
    "..kwwwwbbwwwwwk.",
    "..kwwwbwwbwwwwk.",
    "..kwwwbwwbwwwwk.",
    "..kwwbwwwwbwwwk.",
    "..kwwbbbbbbwwwk.",
    "..kwbwwwwwwbwwk.",
    "..kwbwwwwwwbwwk.",
    "..kbbwwwwwwbbwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kkkkkkkkkkkkk.",
    "................",
]

SIZE_ENTRY = [
    "................",
    "................",
    "................",
    "......rr........",
    ".....rrrr.......",
    "....rr..rr......",
    "....rr..rr......",
    "....rrrrrr......",
    "....rr..rr......",
    "....rr..rr......",
    "................",
    "kkkkkkkkkkkkkkk.",
    "k.k.k.k.k.k.k.k.",
    "k...k...k...k.k.",
    "kkkkkkkkkkkkkkk.",
    "................",
]


def icon_bytes(rows):
    size = 16
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        bits = 0
        for x, ch in enumerate(row):
            if ch == ".":
                pixels += bytes((0, 0, 0, 0))
                bits |= 0x8000 >> x
            else:
                r, g, b = PALETTE[ch]
                pixels += bytes((b, g, r, 0xFF))
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons")
    if len(sys.argv) > 1:
        folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, rows in (("font_root.ico", PRINTER), ("font_group.ico", FONT_GROUP), ("font_size.ico", SIZE_ENTRY)):
        assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
        with open(os.path.join(folder, name), "wb") as f:
            f.write(icon_bytes(rows))


if __name__ == "__main__":
    main()
