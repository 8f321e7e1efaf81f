#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Autor" opens a box titled "Programador" while the game goes on; OK closes it.
. "$(dirname "$0")/lib.sh"
need_tools
start_display
start_game
new_game

find_box() {
    BOX=""
    find_titled Programador || return 1
    BOX=$FOUND
}
box_gone() {
    ! find_box
}

choose 2
wait_for 5 find_box || fail "no window titled Programador"
note "Autor opened Programador"
wait_for 5 bar_moves || fail "the bar stopped while the box is open"
note "the bar moves while the box is open"

xdotool windowfocus --sync "$BOX"
xdotool key Return
wait_for 5 box_gone || fail "Return did not close the box"
note "OK closed the box"
app_running || fail "the program ended"
