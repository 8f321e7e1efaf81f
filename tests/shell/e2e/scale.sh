#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# At scale factors 1, 1.25, 1.5, 2 and 3 every device pixel of the play area's
# border is grey and every one inside it silver (the border helper): no seams, no black.
# Where the window does not fit the screen, at 2x on 1920 x 1200 and at 1x on
# 800 x 600, it fits, showing the play area smaller and whole, painted the same way;
# a click at a block's row, scaled, destroys that block.
. "$(dirname "$0")/lib.sh"
need_tools python3
border_painted() {
    screenshot shot
    convert "$WORK/shot.png" -crop "${WIN_W}x$WIN_H+$WIN_X+$WIN_Y" +repage "$WORK/client.ppm"
    widths=$(/usr/bin/python3 "$HERE/helpers.py" border "$WORK/client.ppm" "$scale")
}
# scale@screen: the first screen holds the window at every scale, the others do not.
for run in 1@3200x1800 1.25@3200x1800 1.5@3200x1800 2@3200x1800 3@3200x1800 2@1920x1200 1@800x600; do
    scale=${run%@*} screen=${run#*@}
    stop_game
    if [ "$screen" != "${SCREEN_WIDTH}x$SCREEN_HEIGHT" ]; then
        stop "$XVFB_PID"
        SCREEN_WIDTH=${screen%x*} SCREEN_HEIGHT=${screen#*x}
        start_display
    fi
    export QT_SCALE_FACTOR=$scale
    start_game
    if [ "$screen" = 3200x1800 ]; then
        check "${WIN_W} px wide at ${scale}x" \
            [ "$WIN_W" = "$(python3 -c "print(round($PlayAreaWidth * $scale))")" ]
    else
        check "${WIN_W}x$WIN_H at $WIN_X,$WIN_Y fits $screen" [ "$WIN_X" -ge 0 -a "$WIN_Y" -ge 0 -a \
            $((WIN_X + WIN_W)) -le "$SCREEN_WIDTH" -a $((WIN_Y + WIN_H)) -le "$SCREEN_HEIGHT" -a \
            "$WIN_W" -ge $((SCREEN_WIDTH * 9 / 10)) ]
    fi
    wait_for 10 border_painted || fail "at ${scale}x on $screen: $widths"
    note "${scale}x on $screen: border $widths device pixels, silver inside"
done
scaled_play
new_game
shoot_row 5
note "at 800x600 a shot aimed at the scaled row destroyed its block"
