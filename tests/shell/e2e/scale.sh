#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# At scale factors 1, 1.25, 1.5, 2 and 3 every device pixel of the play area's
# border is grey and every one inside it silver (border.py): no seams, no black.
# Where the window does not fit the screen, at 2x on 1920 x 1200 and at 1x on
# 800 x 600, it fits, showing the play area smaller and whole, painted the same way;
# a click at a block's row, scaled, destroys that block.
SCREEN_WIDTH=3200 SCREEN_HEIGHT=1800
. "$(dirname "$0")/lib.sh"
need_tools python3
start_display
border_painted() {
    screenshot shot
    region shot client "$WIN_W" "$WIN_H" "$WIN_X" "$WIN_Y"
    convert "$WORK/client.png" "$WORK/client.ppm"
    widths=$(python3 "$(dirname "$0")/border.py" "$WORK/client.ppm" "$scale")
}
for scale in 1 1.25 1.5 2 3; do
    export QT_SCALE_FACTOR=$scale
    start_game
    [ "$WIN_W" = "$(python3 -c "print(round(1000 * $scale))")" ] || fail "${WIN_W} px wide at ${scale}x"
    wait_for 10 border_painted || fail "at ${scale}x: $widths"
    note "${scale}x: ${WIN_W}x$WIN_H, border $widths device pixels, silver inside"
    stop "$APP_PID" && APP_PID=""
done

# another_screen W H: a new X server of that size, the program not yet started.
another_screen() {
    stop $APP_PID "$XVFB_PID" && APP_PID=""
    SCREEN_WIDTH=$1 SCREEN_HEIGHT=$2
    start_display
}
another_screen 1920 1200
for scale in 2 1; do
    [ "$scale" = 2 ] || another_screen 800 600
    export QT_SCALE_FACTOR=$scale
    start_game
    [ "$WIN_X" -ge 0 ] && [ "$WIN_Y" -ge 0 ] && [ $((WIN_X + WIN_W)) -le "$SCREEN_WIDTH" ] &&
        [ $((WIN_Y + WIN_H)) -le "$SCREEN_HEIGHT" ] && [ "$WIN_W" -ge $((SCREEN_WIDTH * 9 / 10)) ] ||
        fail "${WIN_W}x$WIN_H at $WIN_X,$WIN_Y does not fit ${SCREEN_WIDTH}x$SCREEN_HEIGHT"
    wait_for 10 border_painted || fail "at ${scale}x on ${SCREEN_WIDTH}x$SCREEN_HEIGHT: $widths"
    note "${scale}x on ${SCREEN_WIDTH}x$SCREEN_HEIGHT: ${WIN_W}x$WIN_H at $WIN_X,$WIN_Y, border $widths"
done
scaled_play
new_game
shoot_row 150
note "at 800x600 a shot aimed at the scaled row destroyed its block"
