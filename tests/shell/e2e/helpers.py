#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The end-to-end tests' helpers that speak a protocol or read pixels, one a function,
# run as: helpers.py NAME ARGUMENT...  (Debian's own interpreter, for python3-xlib and
# pyatspi). The ones that stay running print "ready" once they are; lib.sh's `helper`
# starts those. Sizes, places and colours come from the environment, where lib.sh
# puts the program's own facts.
import os
import socket
import struct
import sys
import time

FACTS = os.environ


def atspi():
    # Follows the program over AT-SPI as a screen reader does. Listens first, so the
    # program learns of a listener when it starts; waits up to 120 s for the
    # application "zarpeta" and prints its window's role and name and its play area's
    # ("window frame Zarpeta", "play canvas <name>"), then one line per change:
    # "description <text>" for the play area's description, "Nuevo enabled 0|1" for
    # the menu item greyed or enabled again.
    import pyatspi

    def heard(event):
        if event.type.startswith("object:property-change:accessible-description"):
            print("description", event.source.description, flush=True)
        elif event.type.startswith("object:state-changed:enabled") and event.source.name == "Nuevo":
            print("Nuevo enabled", event.detail1, flush=True)

    def application():
        found = [app for app in pyatspi.Registry.getDesktop(0)
                 if app is not None and app.name == "zarpeta" and app.childCount > 0]
        return found[0] if found else None

    # By their whole kinds: Qt 6.4 sends these changes to no listener of one detail alone.
    pyatspi.Registry.registerEventListener(heard, "object:property-change", "object:state-changed")
    print("ready", flush=True)
    deadline = time.monotonic() + 120
    while (app := application()) is None and time.monotonic() < deadline:
        time.sleep(0.2)
    if app is not None:
        window = app[0]
        play = next(child for child in window if child.getRole() != pyatspi.ROLE_MENU_BAR)
        print("window", window.getRoleName(), window.name, flush=True)
        print("play", play.getRoleName(), play.name, flush=True)
        pyatspi.Registry.start()


def border(ppm, scale):
    # Checks the idle window's client area, a binary PPM: under the menu bar the border
    # is grey on the top, left and right, as many device pixels thick as SCALE, one
    # fewer or more where a logical edge falls inside a device pixel; every pixel inside
    # is silver down to the window's bottom edge. Prints the three widths.
    grey, silver = (bytes.fromhex(FACTS[name]) for name in ("ColourGrey", "ColourSilver"))
    with open(ppm, "rb") as image:
        _, size, _, pixels = image.read().split(b"\n", 3)
    width, height = map(int, size.split())
    rows = [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]
    middle = [row[3 * (width // 2):3 * (width // 2) + 3] for row in rows]
    top = next((y for y, pixel in enumerate(middle) if pixel == grey), None)
    if top is None:
        sys.exit("no grey border row under the menu bar")
    last = [rows[-1][3 * x:3 * x + 3] for x in range(width)]
    run = lambda line: next((i for i, p in enumerate(line) if p != grey), len(line))
    sides = {"top": run(middle[top:]), "left": run(last), "right": run(last[::-1])}
    if any(abs(n - float(scale)) >= 1 for n in sides.values()):
        sys.exit(f"border widths {sides} at {scale}x")
    inner = width - sides["left"] - sides["right"]
    for y, row in enumerate(rows[top:]):
        inside = grey if y < sides["top"] else silver
        if row != grey * sides["left"] + inside * inner + grey * sides["right"]:
            sys.exit(f"device row {y} of the play area is not painted as it should be")
    print(" ".join(f"{side}={n}" for side, n in sides.items()))


def cues(recording, start_byte):
    # Finds the cues in a recording of the null sink (signed 16-bit little-endian mono
    # at 44,100 Hz) from START_BYTE, where it stood when the mouse was pressed. Prints,
    # in ms after that point, the start of the first loud sound and of the first loud
    # low sound after it that fills most of 120 ms (a block hit: the bar's knock and the
    # falling end of the shot's own sweep are far shorter), or "none". Exits 1 when
    # nothing loud follows the press.
    rate, window = 44100, 441  # 10 ms windows
    loud, onset_level, low_hz, low_span, low_needed = 3000, 1500, 300, 12, 8
    with open(recording, "rb") as raw:
        raw.seek(int(start_byte) // 2 * 2)
        data = raw.read()
    samples = struct.unpack(f"<{len(data) // 2}h", data[:len(data) // 2 * 2])
    measured = []  # per window: RMS, and zero crossings as Hz
    for start in range(0, len(samples) - window + 1, window):
        part = samples[start:start + window]
        crossings = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0))
        measured.append(((sum(s * s for s in part) / window) ** 0.5, crossings * 50))
    first = next((i for i, (rms, _) in enumerate(measured) if rms > loud), None)
    if first is None:
        sys.exit("none none")
    onset = next(i for i, s in enumerate(samples) if abs(s) > onset_level)
    low_and_loud = [rms > loud and hertz <= low_hz for rms, hertz in measured]
    low = next((i for i in range(first + 1, len(measured))
                if low_and_loud[i] and sum(low_and_loud[i:i + low_span]) >= low_needed), None)
    print(onset * 1000 // rate, "none" if low is None else low * 10)


def panels(height):
    # Two panels, as a desktop's task bars: dock windows along the screen's top and
    # bottom edges that reserve their strips from the work area (_NET_WM_STRUT_PARTIAL).
    from Xlib import Xatom, display
    height, server = int(height), display.Display()
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


def shots(play_x, play_y, min_seen, *aims):
    # Fires a shot at each aim (the launcher's row) and watches it fly, from outside:
    # the pointer moves there and clicks (XTest), and the screen row through the shot's
    # face is read about once a millisecond while the shot crosses from the launcher to
    # the bar's lane. Prints, per shot, the positions seen and the time from the click
    # to its first pixel (and the click's CLOCK_MONOTONIC time, for the figures' sound
    # latency); exits 1 when a shot is seen at fewer than MIN_SEEN positions.
    from Xlib import X, display
    from Xlib.ext import xtest
    play_x, play_y, start = int(play_x), int(play_y), int(FACTS["ShotStartX"])
    first, last = int(FACTS["BarLaneRight"]) + 2, start + 8
    flown = range(start, int(FACTS["BarLaneRight"]), -int(FACTS["ShotStep"]))
    silver = bytes.fromhex(FACTS["ColourSilver"])[::-1]  # as the screen stores it: BGR
    screen = display.Display()
    worst = len(flown)
    for aim in map(int, aims):
        screen_row = play_y + aim + int(FACTS["ShotBelowAim"]) + 1
        xtest.fake_input(screen, X.MotionNotify, x=play_x + 800, y=play_y + aim)
        screen.sync()
        time.sleep(0.1)  # the aim reaches the game before the click
        xtest.fake_input(screen, X.ButtonPress, 1)
        xtest.fake_input(screen, X.ButtonRelease, 1)
        screen.sync()
        clicked, seen, first_pixel = time.monotonic(), set(), None
        print(f"clicked at {time.clock_gettime_ns(time.CLOCK_MONOTONIC)} ns", flush=True)
        while time.monotonic() - clicked < 0.6:  # the lane is reached after 22 ticks, 0.34 s
            row = screen.screen().root.get_image(play_x + first, screen_row, last - first, 1,
                                                 X.ZPixmap, 0xFFFFFFFF).data
            # The mark: the first run of six pixels that are not silver.
            marked = bytes(row[i:i + 3] != silver for i in range(0, len(row), 4)).find(b"\1" * 6)
            if marked >= 0:
                first_pixel = first_pixel or time.monotonic() - clicked
                seen.add(first + marked + 1)  # the white outline lies one pixel left of x
        worst = min(worst, len(seen.intersection(flown)))
        after = "never" if first_pixel is None else f"{1000 * first_pixel:.1f} ms"
        print(f"shot at aim {aim}: seen at {len(seen.intersection(flown))} of {len(flown)} "
              f"positions between launcher and lane; click to first pixel {after}")
        time.sleep(0.4)  # the shot's flight ends before the next one
    sys.exit(0 if worst >= int(min_seen) else 1)


def startup():
    # Prints the first startup notification message sent to the root window (in pieces
    # of 20 bytes, the first one marked as such): "remove: ID=..." once a launched
    # program has ended its launcher's notification.
    from Xlib import X, display
    d = display.Display()
    d.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
    begin, more = d.intern_atom("_NET_STARTUP_INFO_BEGIN"), d.intern_atom("_NET_STARTUP_INFO")
    d.sync()
    print("ready", flush=True)
    message = b""
    while b"\0" not in message:
        event = d.next_event()
        if event.type == X.ClientMessage and event.client_type in (begin, more):
            message = (b"" if event.client_type == begin else message) + event.data[1]
    print(message.split(b"\0")[0].decode(), flush=True)


def pointer():
    # Gives a headless compositor's seat a pointer: a virtual pointer (the Wayland wire
    # protocol by hand) on WAYLAND_DISPLAY, held until the helper is ended.
    link = socket.socket(socket.AF_UNIX)
    link.connect(os.environ["WAYLAND_DISPLAY"])
    send = lambda target, opcode, args: link.sendall(
        struct.pack("<II", target, 8 + len(args) << 16 | opcode) + args)
    send(1, 1, struct.pack("<I", 2))  # wl_display.get_registry: object 2
    send(1, 0, struct.pack("<I", 3))  # wl_display.sync: object 3, done after every global
    data, target, globals_ = b"", 0, {}
    while target != 3:
        while len(data) < 8 or len(data) < struct.unpack_from("<I", data, 4)[0] >> 16:
            data += link.recv(4096) or sys.exit("the compositor went away")
        target, size = struct.unpack_from("<II", data)
        if target == 2:  # wl_registry.global: name, interface, version
            name, length = struct.unpack_from("<II", data, 8)
            globals_[data[16:15 + length]] = name
        data = data[size >> 16:]
    interface = b"zwlr_virtual_pointer_manager_v1\0"  # 32 bytes, no padding
    send(2, 0, struct.pack("<II", globals_[interface[:-1]], 32) + interface + struct.pack("<II", 1, 4))
    send(4, 0, struct.pack("<II", 0, 5))  # create_virtual_pointer on the default seat: object 5
    print("ready", flush=True)
    while link.recv(4096):
        pass


globals()[sys.argv[1]](*sys.argv[2:])
