#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks the play area's border and inside in a screenshot of the idle window.

Usage: border.py WINDOW.ppm SCALE   (the window's client area alone, as binary PPM)
Under the menu bar the border is grey (808080), round(SCALE) device pixels thick, or
one less or more where a logical edge falls inside a device pixel, on the top, left and
right; everything inside is silver (C0C0C0) down to the window's bottom edge.
"""
import sys

GREY, SILVER = (0x80, 0x80, 0x80), (0xC0, 0xC0, 0xC0)


def main():
    with open(sys.argv[1], "rb") as image:
        _, size, _, pixels = image.read().split(b"\n", 3)
    width, height = map(int, size.split())
    scale = float(sys.argv[2])
    at = lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])
    top = next((y for y in range(height) if at(width // 2, y) == GREY), None)
    if top is None:
        sys.exit("no grey border row under the menu bar")
    thick = lambda line: next(i for i, p in enumerate(line) if p != GREY)
    widths = {"top": thick([at(width // 2, y) for y in range(top, height)]),
              "left": thick([at(x, height - 2) for x in range(width)]),
              "right": thick([at(x, height - 2) for x in reversed(range(width))])}
    for side, pixels_wide in widths.items():
        if abs(pixels_wide - scale) >= 1:
            sys.exit(f"the {side} border is {pixels_wide} device pixels at {scale}x")
    for y in range(top, height):
        row = [at(x, y) for x in range(width)]
        border = y < top + widths["top"]
        inside = row[widths["left"]:width - widths["right"]]
        if any(p != (GREY if border else SILVER) for p in inside):
            sys.exit(f"device row {y - top} of the play area is not {'grey' if border else 'silver'}")
        if any(p != GREY for p in row[:widths["left"]] + row[width - widths["right"]:]):
            sys.exit(f"device row {y - top} of the play area has a gap in its side borders")
    print(" ".join(f"{side}={n}" for side, n in widths.items()))


if __name__ == "__main__":
    main()
