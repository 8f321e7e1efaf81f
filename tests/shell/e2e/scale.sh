#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# At scale factors 1, 1.25, 1.5, 2 and 3 every device pixel of the play area's
# border is grey and every one inside it silver (border.py): no seams, no black.
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
