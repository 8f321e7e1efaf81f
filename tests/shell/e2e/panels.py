#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Two panels, as a desktop's task bars: dock windows along the screen's top and
# bottom edges that reserve their strips from the work area (_NET_WM_STRUT_PARTIAL).
#
# Usage: panels.py HEIGHT   (on DISPLAY; prints "ready" once they are mapped, then
# stays until it is ended)
import sys

from Xlib import X, Xatom, display

height = int(sys.argv[1])
server = display.Display()
screen = server.screen()
width, bottom = screen.width_in_pixels, screen.height_in_pixels - height
atom = server.intern_atom
# left, right, top, bottom, then the start and end of each along its edge
for y, strut in ((0, [0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0]),
                 (bottom, [0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1])):
    panel = screen.root.create_window(0, y, width, height, 0, screen.root_depth,
                                      background_pixel=screen.black_pixel)
    panel.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                          [atom("_NET_WM_WINDOW_TYPE_DOCK")])
    panel.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32, strut)
    panel.change_property(atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32, strut[:4])
    panel.map()
server.flush()
print("ready", flush=True)
while True:
    server.next_event()
