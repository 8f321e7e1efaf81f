#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Salir" ends the program with code 0, before and during a game. (Close requests
# from a window manager: wm.sh; the window destroyed from outside: faults.sh.)
. "$(dirname "$0")/lib.sh"
need_tools
start_display

start_game
choose 3
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "Salir before a game: exit code $EXIT_CODE"
note "Salir before a game: exit code 0"

start_game
new_game
xdotool click 1
choose 3
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "Salir during a game: exit code $EXIT_CODE"
note "Salir during a game: exit code 0"
