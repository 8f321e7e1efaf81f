#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Aiming at a row and clicking destroys that row's right-most block (column 30, x
# 600..619) and the score changes from 0. A shot that meets the moving bar is lost,
# so the click is repeated (a few times at most) until one gets through.
. "$(dirname "$0")/lib.sh"
need_tools
start_display
start_game
new_game

ROW_TOP=150  # row 5 of the wall: y 150..179
AIM=$((ROW_TOP + 15 - 25))  # the shot flies 25 px below the launcher's top

block_gone() {
    screenshot after
    play_region after block 16 26 602 $((ROW_TOP + 2))
    only_colour block "$SILVER"
}

screenshot before
play_region before block_before 16 26 602 $((ROW_TOP + 2))
! only_colour block_before "$SILVER" || fail "the block is not standing before the shot"
play_region before score_before 210 40 759 5

aim_at "$AIM"
hit=no
for attempt in 1 2 3 4 5 6; do
    xdotool click 1
    if wait_for 2 block_gone; then
        hit=yes
        break
    fi
    note "shot $attempt was lost on the bar"
done
[ "$hit" = yes ] || fail "the block at row 5, column 30 was never destroyed"
note "the block turned silver"

play_region after score_after 210 40 759 5
! same_image score_before score_after || fail "the score did not change"
note "the score changed"
app_running || fail "the program ended"
