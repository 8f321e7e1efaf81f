# SPDX-License-Identifier: MIT
# On Qt's Wayland platform under a sway of the test's own, nested in a private Xvfb
# that only sway talks to (the program has no DISPLAY, and there is no Xwayland): the
# window is a native xdg-shell toplevel whose client area is the play area's size with
# the menu bar at its top; "Funciones" opens and "Nuevo" shows the wall; aiming at a row
# and clicking destroys its right-most block, and the shot cue and the block hit's low
# cue are heard from the null sink; "Salir" ends the program with code 0, and so does the
# compositor's close request. At 2x the wall is drawn at
# the device's pixels, every line two wide, and its text at its size.
from driver import *

start_sway(3200, 1800)  # room for the window at 2x
start_sound_server()
start_game()
check(f"a native xdg-shell window under sway, no DISPLAY: {S.win[0]}", S.win[0] == "xdg_shell")
# The compositor's content box; on screen the menu bar at its top (no title bar drawn by
# Qt above it) and the right border in its last column, sway's background beside it.
check(f"client area {S.w}x{S.h}, its play area {S.menu} px below its top",
      (S.w, S.h) == (F.PlayAreaWidth, F.PlayAreaHeight) and S.menu < 40)
idle, right = grab(), S.x0 + S.w - 1
check(f"the window's right edge at {right}, no decorations beside it",
      (idle[S.y0 + 300, right], idle[S.y0 + 300, right + 1]) == (F.ColourGrey, idle[5, 5]))
new_game()
shoot_row(5)
expect_cues()
expect_exit(0, "Salir during a game", lambda: choose("Salir"))
run("swaymsg", "output X11-1 resolution 3200x1800")
start_game(game=True, QT_SCALE_FACTOR="2")
expect_sharp(f"at 2x under sway, {S.w} px wide")
expect_exit(0, "the compositor's close request", lambda: run("swaymsg", f"[pid={S.app.pid}] kill"))
