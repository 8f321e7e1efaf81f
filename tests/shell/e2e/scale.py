# SPDX-License-Identifier: MIT
# At scale factors 1, 1.25, 1.5, 2 and 3 every device pixel of the play area's border is
# grey and every one inside it silver: no seams, no black. Where the window does not
# fit the screen, at 2x on 1920 x 1200 and at 1x on 800 x 600, it fits, showing the
# play area smaller and whole, painted the same way; a click at a block's row, scaled,
# destroys that block; at every scale the wall and the score are drawn at the device's
# pixels. A new Xft/DPI, or a move to a screen of another scale, takes the running game
# to its new scale.
from driver import *


def border_painted(scale):
    # Under the menu bar the border is grey on the top, left and right, as many device
    # pixels thick as SCALE, one fewer or more where a logical edge falls inside a device
    # pixel; every pixel inside is silver down to the window's bottom edge.
    shot = client()
    shot = shot[(shot[:, S.w // 2] == F.ColourGrey).argmax():]  # from the top border down
    grey = shot == F.ColourGrey  # the widths below are 0 where all is grey
    side = {"top": grey[:, S.w // 2].argmin(), "left": grey[-1].argmin(), "right": grey[-1, ::-1].argmin()}
    painted = np.full(shot.shape, F.ColourSilver)
    painted[:side["top"]] = painted[:, :side["left"]] = painted[:, S.w - side["right"]:] = F.ColourGrey
    bad = np.flatnonzero((shot != painted).any(1))
    S.why = f"border widths {side}" + (f"; play area's device row {bad[0]} is not as it should be" if len(bad) else "")
    return not len(bad) and all(abs(n - scale) < 1 for n in side.values())


# The first screen holds the window at every scale, the others do not.
for scale, width, height in ((1, 3200, 1800), (1.25, 3200, 1800), (1.5, 3200, 1800), (2, 3200, 1800),
                             (3, 3200, 1800), (2, 1920, 1200), (1, 800, 600)):
    (S.screen_w, S.screen_h) == (width, height) or stop(S.app, S.xvfb) or start_display(width, height)
    start_game(QT_SCALE_FACTOR=str(scale))
    fits = S.w == round(F.PlayAreaWidth * scale) if width == 3200 else on_screen() and S.w >= width * 9 // 10
    check(f"{S.w}x{S.h} at {S.x0},{S.y0} at {scale}x on {width}x{height}", fits)
    wait_for(10, border_painted, scale) or fail(f"at {scale}x on {width}x{height}: {S.why}")
    note(f"{scale}x on {width}x{height}: {S.why}, silver inside")
    new_game()
    expect_sharp(f"{scale}x on {width}x{height}")
    shoot_row(2 + int(scale * 4) % 7)  # aimed at that row's device pixels

# Live: a new Xft/DPI from the desktop's settings, 96 to 144 dots an inch, makes the
# running game 1.5x, its frame drawn whole at the new size, with no restart.
stop(S.app, S.xvfb) or start_display(3200, 1800)
set_dpi(96)
start_game(game=True)
check(f"Xft/DPI 96: the window {S.w} px wide", S.w == 1000)
set_dpi(144)
await_(20, "Xft/DPI 144: the window 1500 px wide", lambda: window_now() or S.w == 1500)
expect_sharp("Xft/DPI 144")

# Moved to a screen of twice the scale (two monitors side by side), the window fits and
# stays on it, and its frame is drawn whole at the new screen's pixels.
stop(S.app, S.xvfb) or start_display(3200, 1800)
need("xrandr")
run("xrandr", "--setmonitor", "left", "1600/423x1800/476+0+0", "screen")
run("xrandr", "--setmonitor", "right", "1600/423x1800/476+1600+0", "none")
start_game(game=True, QT_SCREEN_SCALE_FACTORS="left=1;right=2")
run("xdotool", "windowmove", str(S.win.id), "1700", "100")
await_(20, "moved to the 2x screen: fitted to it, on it", lambda: window_now() or S.w == 1600 and S.x0 >= 1600)
expect_sharp("on the 2x screen")
