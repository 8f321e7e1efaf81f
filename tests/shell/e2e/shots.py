#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Fires shots at the given rows and watches each fly, from outside the program.
#
# Usage: shots.py PLAY_X PLAY_Y MIN_SEEN AIM...
#
# PLAY_X, PLAY_Y: the play image's top-left on the screen. For each AIM (the launcher's
# row) the pointer moves there, clicks (XTest), and the screen row through the shot's
# face is read about once a millisecond while the shot crosses from the launcher to the
# bar's lane. Prints, per shot, the positions seen and the time from the click to the
# first pixel of the shot (and the click's CLOCK_MONOTONIC time, for the figures'
# sound latency); exits 1 when a shot is seen at fewer than MIN_SEEN positions.
# The geometry and the silver come from the environment, where lib.sh puts the
# program's own.
import os
import sys
import time

from Xlib import X, display
from Xlib.ext import xtest

FLIGHT_SECONDS = 0.6  # the shot reaches the lane after 22 ticks of 1/64 s, 0.34 s
SILVER = bytes.fromhex(os.environ["ColourSilver"])[::-1]  # as the screen stores it: BGR


def mark_left(row, width):
    # The leftmost column of a run of at least six non-silver pixels, or None.
    run = 0
    for column in range(width):
        if row[4 * column : 4 * column + 3] != SILVER:
            run += 1
            if run == 6:
                return column - 5
        else:
            run = 0
    return None


def watch_shot(screen, root, play_x, play_y, aim, geometry):
    # Fires at aim; returns the positions seen and the ms from click to first pixel.
    first, last = geometry["BarLaneRight"] + 2, geometry["ShotStartX"] + 8
    screen_row = play_y + aim + geometry["ShotBelowAim"] + 1
    xtest.fake_input(screen, X.MotionNotify, x=play_x + 800, y=play_y + aim)
    screen.sync()
    time.sleep(0.1)  # the aim reaches the game before the click
    xtest.fake_input(screen, X.ButtonPress, 1)
    xtest.fake_input(screen, X.ButtonRelease, 1)
    screen.sync()
    clicked = time.monotonic()
    seen, first_pixel = set(), None
    print(f"clicked at {time.clock_gettime_ns(time.CLOCK_MONOTONIC)} ns", flush=True)
    while time.monotonic() - clicked < FLIGHT_SECONDS:
        image = root.get_image(play_x + first, screen_row, last - first, 1, X.ZPixmap, 0xFFFFFFFF)
        left = mark_left(image.data, last - first)
        if left is not None:
            first_pixel = first_pixel or time.monotonic() - clicked
            seen.add(first + left + 1)  # the white outline lies one pixel left of x
    return seen, first_pixel


def main():
    play_x, play_y, min_seen = (int(word) for word in sys.argv[1:4])
    geometry = {name: int(os.environ[name])
                for name in ("ShotStartX", "ShotStep", "ShotBelowAim", "BarLaneRight")}
    start, step = geometry["ShotStartX"], geometry["ShotStep"]
    flown = [x for x in range(start, geometry["BarLaneRight"], -step)]
    screen = display.Display()
    root = screen.screen().root
    worst = len(flown)
    for aim in (int(word) for word in sys.argv[4:]):
        seen, first_pixel = watch_shot(screen, root, play_x, play_y, aim, geometry)
        shown = [x for x in flown if x in seen]
        worst = min(worst, len(shown))
        after = "never" if first_pixel is None else f"{1000 * first_pixel:.1f} ms"
        print(f"shot at aim {aim}: seen at {len(shown)} of {len(flown)} positions "
              f"between launcher and lane; click to first pixel {after}")
        time.sleep(0.4)  # the shot's flight ends before the next one
    return 0 if worst >= min_seen else 1


if __name__ == "__main__":
    sys.exit(main())
