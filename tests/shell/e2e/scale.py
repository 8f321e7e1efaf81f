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
    shot, grey = client(), F.ColourGrey
    middle, bottom = [shot.px(S.w // 2, y) for y in range(S.h)], [shot.px(x, S.h - 1) for x in range(S.w)]
    top = next((y for y, pixel in enumerate(middle) if pixel == grey), S.h)
    grey_for = lambda pixels: next((i for i, pixel in enumerate(pixels) if pixel != grey), len(pixels))
    side = {"top": grey_for(middle[top:]), "left": grey_for(bottom), "right": grey_for(bottom[::-1])}
    inner = lambda y: (grey if y - top < side["top"] else F.ColourSilver) * (S.w - side["left"] - side["right"])
    bad = next((y - top for y in range(top, S.h) if shot.row(y) != grey * side["left"] + inner(y) +
                grey * side["right"]), None)
    S.why = f"border widths {side}" + ("" if bad is None else f"; play area's device row {bad} is not as it should be")
    return top < S.h and bad is None and all(abs(n - scale) < 1 for n in side.values())


# The first screen holds the window at every scale, the others do not.
for scale, width, height in ((1, 3200, 1800), (1.25, 3200, 1800), (1.5, 3200, 1800), (2, 3200, 1800),
                             (3, 3200, 1800), (2, 1920, 1200), (1, 800, 600)):
    (S.screen_w, S.screen_h) == (width, height) or stop(S.app, S.xvfb) or start_display(width, height)
    start_game(QT_SCALE_FACTOR=str(scale))
    if width == 3200:
        check(f"{S.w} px wide at {scale}x", S.w == round(F.PlayAreaWidth * scale))
    else:
        check(f"{S.w}x{S.h} at {S.x0},{S.y0} fits {width}x{height}", on_screen() and S.w >= width * 9 // 10)
    wait_for(10, border_painted, scale) or fail(f"at {scale}x on {width}x{height}: {S.why}")
    note(f"{scale}x on {width}x{height}: {S.why}, silver inside")
    # Drawn at the device's pixels: every line one width, the scale's rounded, no seam
    # between blocks, faces within a pixel of each other, and text drawn at its size,
    # not a copy of the 1x text with a column in two or in four repeated.
    new_game()
    seen, line = sharpness(), max(1, int(S.milli / 1000 + 0.5))
    check(f"maroon lines {seen.maroon} and white {seen.white} wide, {seen.seams} seams, faces {seen.across} across "
          f"and {seen.down} down, {seen.repeats} of {seen.ink} score columns repeat",
          seen.maroon == seen.white == {line} and not seen.seams and seen.repeats * 10 < seen.ink and
          all(faces and max(faces) - min(faces) <= 1 for faces in (seen.across, seen.down)))
    shoot_row(2 + int(scale * 4) % 7)  # aimed at that row's device pixels

# Live: a new Xft/DPI from the desktop's settings, 96 to 144 dots an inch, makes the
# running game 1.5x, its frame drawn whole at the new size, with no restart.
stop(S.app, S.xvfb) or start_display(3200, 1800)
set_dpi(96)
start_game(game=True)
check(f"Xft/DPI 96: the window {S.w} px wide", S.w == 1000)
set_dpi(144)
await_(20, "Xft/DPI 144: the window 1500 px wide", lambda: window_now() or S.w == 1500)
wait_for(10, lambda: window_now() or sharpness().maroon == {2})
seen = sharpness()
check(f"and its lines {seen.maroon} and {seen.white} device pixels wide", seen.maroon == seen.white == {2})

# Moved to a screen of twice the scale (two monitors side by side), the window fits and
# stays on it, and its frame is drawn whole at the new screen's pixels.
stop(S.app, S.xvfb) or start_display(3200, 1800)
need("xrandr")
run("xrandr", "--setmonitor", "left", "1600/423x1800/476+0+0", "screen")
run("xrandr", "--setmonitor", "right", "1600/423x1800/476+1600+0", "none")
start_game(game=True, QT_SCREEN_SCALE_FACTORS="left=1;right=2")
run("xdotool", "windowmove", str(S.win.id), "1700", "100")
await_(20, "moved to the 2x screen: fitted to it, on it", lambda: window_now() or S.w == 1600 and S.x0 >= 1600)
S.menu = wait_for(10, menu_height) or fail("no play-area border under the menu bar")
wait_for(10, lambda: window_now() or sharpness().maroon == {2})
seen = sharpness()
check(f"its lines {seen.maroon} and {seen.white} wide, {seen.repeats} of {seen.ink} score columns repeated",
      seen.maroon == seen.white == {2} and seen.repeats * 10 < seen.ink)
