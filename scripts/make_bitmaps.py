#!/usr/bin/env python3
"""Draws the module's bitmaps 1 to 4 as 16-colour BMP files.

The pictures of the system information outline: 1 (16 x 16) the computer
that stands for the installation, 2 a closed folder (a folded heading),
3 an open folder (an opened heading) and 4 a page (a row under a heading),
all 18 x 18.  Writes frame/res/bitmaps/bitmap1.bmp .. bitmap4.bmp beside
this script's repository; the output is the same on every run.

Usage: python3 scripts/make_bitmaps.py
"""

import pathlib
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

# Picture characters and their palette indexes; "." is the white ground.
INK = {
    ".": 15,
    "k": 0,
    "g": 8,
    "s": 7,
    "n": 4,
    "b": 12,
    "c": 14,
    "t": 6,
    "y": 11,
    "o": 3,
    "r": 9,
    "e": 2,
}

COMPUTER = [
    "................",
    "..kkkkkkkkkkkk..",
    "..ksssssssssgk..",
    "..ksnnnnnnnngk..",
    "..ksnbbbbbbngk..",
    "..ksnbccbbbngk..",
    "..ksnbcbbbbngk..",
    "..ksnbbbbbbngk..",
    "..ksnnnnnnnngk..",
    "..ksssssssssgk..",
    "..kgggggggggek..",
    "..kkkkkkkkkkkk..",
    "......kggk......",
    "....kkkkkkkk....",
    "...ksssssssgk...",
    "...kkkkkkkkkk...",
]

CLOSED_FOLDER = [
    "..................",
    "..................",
    "..................",
    "...kkkkk..........",
    "..kyyyyyk.........",
    ".kkkkkkkkkkkkkkk..",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".kyyyyyyyyyyyyyok.",
    ".koooooooooooooook",
    "..kkkkkkkkkkkkkkkk",
    "..................",
    "..................",
]

OPEN_FOLDER = [
    "..................",
    "..................",
    "..................",
    "...kkkkk..........",
    "..kyyyyyk.........",
    ".kyyyyyyykkkkkk...",
    ".kyy.........yk...",
    ".kyy.kkkkkkkkkkkkk",
    ".kyykyyyyyyyyyyyok",
    ".kyykyyyyyyyyyyok.",
    ".kykyyyyyyyyyyyok.",
    ".kykyyyyyyyyyyok..",
    ".kkyyyyyyyyyyyok..",
    ".kkyyyyyyyyyyok...",
    ".koooooooooooook..",
    ".kkkkkkkkkkkkkk...",
    "..................",
    "..................",
]

PAGE = [
    "..................",
    "...kkkkkkkkk......",
    "...k.......kk.....",
    "...k.......ksk....",
    "...k.......kkkk...",
    "...k..........k...",
    "...k.nnnnnnn..k...",
    "...k..........k...",
    "...k.nnnnnnnn.k...",
    "...k..........k...",
    "...k.nnnnnn...k...",
    "...k..........k...",
    "...k.nnnnnnnn.k...",
    "...k..........k...",
    "...k.nnnnn....k...",
    "...k..........k...",
    "...kkkkkkkkkkkk...",
    "..................",
]

PICTURES = {1: COMPUTER, 2: CLOSED_FOLDER, 3: OPEN_FOLDER, 4: PAGE}


def bmp4(rows):
    """The bytes of a 16-colour bottom-up BMP file of the picture."""
    height = len(rows)
    width = len(rows[0])
    assert all(len(r) == width for r in rows), "ragged picture"
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            index = INK[ch]
            if x % 2 == 0:
                line[x // 2] |= index << 4
            else:
                line[x // 2] |= index
        pixels += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0
    )
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + bytes(pixels)


def main():
    out = pathlib.Path(__file__).resolve().parent.parent / "frame" / "res" / "bitmaps"
    out.mkdir(parents=True, exist_ok=True)
    for number, rows in PICTURES.items():
        (out / f"bitmap{number}.bmp").write_bytes(bmp4(rows))


if __name__ == "__main__":
    main()
