#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Checks the play area's border and inside in a screenshot of the idle window.
#
# Usage: border.py WINDOW.ppm SCALE   (the window's client area alone, as binary PPM)
# Under the menu bar the border is grey (ColourGrey) on the top, left and right, as many
# device pixels thick as SCALE, one fewer or more where a logical edge falls inside a
# device pixel; every pixel inside is silver (ColourSilver) down to the window's bottom
# edge. Prints the three widths. The colours come from the environment, where lib.sh
# puts the program's own.
import os
import sys

GREY, SILVER = (bytes.fromhex(os.environ[name]) for name in ("ColourGrey", "ColourSilver"))


with open(sys.argv[1], "rb") as image:
    _, size, _, pixels = image.read().split(b"\n", 3)
width, height = map(int, size.split())
rows = [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]
middle = [row[3 * (width // 2):3 * (width // 2) + 3] for row in rows]
top = next((y for y, pixel in enumerate(middle) if pixel == GREY), None)
if top is None:
    sys.exit("no grey border row under the menu bar")
last = [rows[-1][3 * x:3 * x + 3] for x in range(width)]
run = lambda line: next((i for i, p in enumerate(line) if p != GREY), len(line))
sides = {"top": run(middle[top:]), "left": run(last), "right": run(last[::-1])}
if any(abs(n - float(sys.argv[2])) >= 1 for n in sides.values()):
    sys.exit(f"border widths {sides} at {sys.argv[2]}x")
inner = width - sides["left"] - sides["right"]
for y, row in enumerate(rows[top:]):
    inside = GREY if y < sides["top"] else SILVER
    if row != GREY * sides["left"] + inside * inner + GREY * sides["right"]:
        sys.exit(f"device row {y} of the play area is not painted as it should be")
print(" ".join(f"{side}={n}" for side, n in sides.items()))
