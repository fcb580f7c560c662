#!/usr/bin/env python3
"""Draws the sample bar chart that the run command opens and the end-to-end tests digitize.

    scripts/make_sample_chart.py [--out DIR]

Writes bar_chart.png (960 x 720, 8-bit RGB) into samples/. The chart's geometry is exact, so that
its values can be read back to the hundredth:
- the origin (value 0) is the pixel (100, 620); the y axis runs up to row 120, where the value
  is 100, so one unit is 5 pixel rows;
- grid lines every 10 units, labels every 20;
- six bars, 80 pixels wide, whose top rows stand for the values in BARS.

Plain Python 3 and zlib only.
"""

import argparse
import os
import struct
import zlib

WIDTH, HEIGHT = 960, 720
ORIGIN_X, ORIGIN_Y = 100, 620
TOP_Y = 120  # the row of the value 100
RIGHT_X = 900
PIXELS_PER_UNIT = (ORIGIN_Y - TOP_Y) / 100
# (left edge, value): bar k spans the columns left .. left + 79, its top row stands for the value.
BARS = [(140, 20), (270, 45), (400, 70), (530, 35), (660, 90), (790, 60)]
BAR_WIDTH = 80

WHITE = (255, 255, 255)
GRID = (215, 215, 215)
BLACK = (0, 0, 0)
BAR = (46, 96, 196)

# 3 x 5 digits, one string per row.
DIGITS = {
    "0": ["###", "# #", "# #", "# #", "###"],
    "1": [" # ", "## ", " # ", " # ", "###"],
    "2": ["###", "  #", "###", "#  ", "###"],
    "4": ["# #", "# #", "###", "  #", "  #"],
    "6": ["###", "#  ", "###", "# #", "###"],
    "8": ["###", "# #", "###", "# #", "###"],
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "samples"))
    args = parser.parse_args()

    pixels = bytearray(WHITE * (WIDTH * HEIGHT))

    def fill(x0, y0, x1, y1, colour):
        """Fills the columns x0 .. x1 - 1 of the rows y0 .. y1 - 1."""
        row = bytes(colour) * (x1 - x0)
        for y in range(y0, y1):
            start = (y * WIDTH + x0) * 3
            pixels[start:start + len(row)] = row

    def text(x, y, digits, scale=3):
        for k, digit in enumerate(digits):
            for r, line in enumerate(DIGITS[digit]):
                for c, mark in enumerate(line):
                    if mark == "#":
                        left = x + (k * 4 + c) * scale
                        fill(left, y + r * scale, left + scale, y + (r + 1) * scale, BLACK)

    for value in range(10, 101, 10):
        row = round(ORIGIN_Y - value * PIXELS_PER_UNIT)
        fill(ORIGIN_X, row, RIGHT_X + 1, row + 1, GRID)
    for left, value in BARS:
        top = round(ORIGIN_Y - value * PIXELS_PER_UNIT)
        fill(left, top, left + BAR_WIDTH, ORIGIN_Y, BAR)
    # Axes three pixels thick, centred on the origin's row and column.
    fill(ORIGIN_X - 1, ORIGIN_Y - 1, RIGHT_X + 1, ORIGIN_Y + 2, BLACK)
    fill(ORIGIN_X - 1, TOP_Y, ORIGIN_X + 2, ORIGIN_Y + 2, BLACK)
    for value in range(0, 101, 20):
        row = round(ORIGIN_Y - value * PIXELS_PER_UNIT)
        fill(ORIGIN_X - 10, row, ORIGIN_X - 1, row + 1, BLACK)
        label = str(value)
        text(ORIGIN_X - 16 - len(label) * 12, row - 7, label)

    raw = b"".join(b"\x00" + bytes(pixels[y * WIDTH * 3:(y + 1) * WIDTH * 3]) for y in range(HEIGHT))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    os.makedirs(args.out, exist_ok=True)
    with open(os.path.join(args.out, "bar_chart.png"), "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
