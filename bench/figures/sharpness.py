#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# How sharp the play area is drawn at each scale, read from the screen's device pixels
# (the end-to-end driver's sharpness()): the widths of the blocks' maroon and white lines,
# the silver seams between blocks, the widths of the blocks' faces across and down, and
# the score's ink columns that repeat their left neighbour (a scaled-up copy repeats one
# in four at 1.25, one in two at 2). Each program given is run at 1, 1.25, 1.5, 2 and 3
# on a 3200 x 1800 screen and fitted to 800 x 600, back to back, with a new game, then
# played to its end screen by a flood of clicks; the screenshots of both are left in
# DIR/NAME-SCALE-WxH-{game,end}.png for a reader to look at.
#
# Usage: bench/figures/sharpness.py DIR path/to/zarpeta [path/to/other/zarpeta...]
# Not a test: it prints figures and checks no goal.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, f"{here}/../../tests/shell/e2e")
OUT, PROGRAMS = sys.argv[1], sys.argv[2:]
sys.argv[1:] = PROGRAMS[:1]
import driver  # noqa: E402  (after the driver's folder and the program's path)
from driver import *  # noqa: E402

RUNS = ((1, 3200, 1800), (1.25, 3200, 1800), (1.5, 3200, 1800), (2, 3200, 1800), (3, 3200, 1800), (1, 800, 600))
os.makedirs(OUT, exist_ok=True)


def save(image, name):  # as a PNG, through ImageMagick: each pixel's bytes B, G, R and an opaque alpha
    (image.astype("<u4") | 0xFF000000).tofile(f"{WORK}/{name}.bgra")
    run("convert", "-size", f"{image.shape[1]}x{image.shape[0]}", "-depth", "8", f"bgra:{WORK}/{name}.bgra",
        f"{OUT}/{name}.png")


def shown(items):
    return " ".join(str(item) for item in sorted(items)) or "none"


for program in PROGRAMS:
    driver.ZARPETA = program
    name = os.path.basename(program)
    for scale, width, height in RUNS:
        stop_game()
        (S.screen_w, S.screen_h) == (width, height) or stop(S.xvfb) or start_display(width, height)
        start_game(game=True, QT_SCALE_FACTOR=str(scale))
        time.sleep(1)  # the bar's ticks settle
        seen, tag = sharpness(), f"{name}-{scale}-{width}x{height}"
        save(client(), f"{tag}-game")
        print(f"{name} at {scale}x on {width}x{height}: window {S.w}x{S.h}; lines maroon {shown(seen.maroon)}, "
              f"white {shown(seen.white)}; seams {seen.seams}; faces across {shown(seen.across)}, "
              f"down {shown(seen.down)}; score ink columns that repeat {seen.repeats} of {seen.ink} "
              f"({100 * seen.repeats // max(seen.ink, 1)} %)", flush=True)
        aim_at(20)  # the top row's shots meet the bar whenever it passes: the flood ends the game
        wait_for(120, lambda: flood() and game_over()) and time.sleep(0.5)
        save(client(), f"{tag}-end")
stop_game()
