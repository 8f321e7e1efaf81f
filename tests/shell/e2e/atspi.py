#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Follows the program over AT-SPI as a screen reader does (Debian's pyatspi).
#
# Usage: atspi.py   (started before the program, with the accessibility bus up)
# Listens first ("listening"), so the program learns of a listener when it starts;
# waits up to 120 s for the application "zarpeta" and prints its window's role and name
# and its play area's ("window frame Zarpeta", "play canvas <name>"), then one line per
# change: "description <text>" for the play area's description, "Nuevo enabled 0|1"
# for the menu item greyed or enabled again.
import time

import pyatspi


def heard(event):
    source = event.source
    if event.type.startswith("object:property-change:accessible-description"):
        print("description", source.description, flush=True)
    elif event.type.startswith("object:state-changed:enabled") and source.name == "Nuevo":
        print("Nuevo enabled", event.detail1, flush=True)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "zarpeta" and app.childCount > 0:
            return app
    return None


# By their whole kinds: Qt 6.4 sends these changes to no listener of one detail alone.
pyatspi.Registry.registerEventListener(heard, "object:property-change", "object:state-changed")
print("listening", flush=True)
deadline = time.monotonic() + 120
while (app := application()) is None and time.monotonic() < deadline:
    time.sleep(0.2)
if app is not None:
    window = app[0]
    play = next(child for child in window if child.getRole() != pyatspi.ROLE_MENU_BAR)
    print("window", window.getRoleName(), window.name, flush=True)
    print("play", play.getRoleName(), play.name, flush=True)
    pyatspi.Registry.start()
