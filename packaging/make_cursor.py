#!/usr/bin/env python3
"""Writes HAND-M.CUR, the program's hand pointer: a 32x32 Windows cursor
(an icon file of type 2) of a pointing hand, black outline and white fill,
whose hot spot is the tip of the index finger. Usage: make_cursor.py FILE"""
import struct
import sys

# '#' outline, 'o' fill, anything else transparent.
HAND = """
     ##
    #oo#
    #oo#
    #oo#
    #oo#
    #oo###
    #oo#oo###
    #oo#oo#oo###
 ## #oo#oo#oo#oo#
#oo##oo#oo#oo#oo#
#ooo#ooooooooooo#
 #oo#ooooooooooo#
  #ooooooooooooo#
  #ooooooooooooo#
   #oooooooooooo#
   #ooooooooooo#
    #oooooooooo#
    #oooooooooo#
    ############
"""

SIZE = 32


def hotspot():
    """The tip of the index finger: the first outline pixel of the top row."""
    return HAND.strip("\n").split("\n")[0].index("#"), 0


def pixels():
    rows = HAND.strip("\n").split("\n")
    grid = [[" "] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(rows):
        for x, mark in enumerate(row):
            grid[y][x] = mark
    return grid


def cursor_bytes():
    grid = pixels()
    colour = b""
    mask = b""
    # Bitmap rows go from the bottom up; the AND mask marks transparent pixels.
    for row in reversed(grid):
        bits = 0
        for x, mark in enumerate(row):
            if mark == "#":
                colour += b"\x00\x00\x00\xff"
            elif mark == "o":
                colour += b"\xff\xff\xff\xff"
            else:
                colour += b"\x00\x00\x00\x00"
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, *hotspot(),
                        len(image), len(directory) + 16)
    return directory + entry + image


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(cursor_bytes())
