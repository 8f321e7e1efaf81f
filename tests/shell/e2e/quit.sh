#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Salir" ends the program with code 0, during a game too; so do a close request
# from outside (WM_DELETE_WINDOW) and the window destroyed by another client; with no
# display the program says so in one line and fails.
. "$(dirname "$0")/lib.sh"
need_tools python3
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

start_game
new_game
python3 "$(dirname "$0")/close_request.py" "$WIN"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "close request: exit code $EXIT_CODE"
note "close request during a game: exit code 0"

start_game
xdotool windowclose "$WIN"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "window destroyed from outside: exit code $EXIT_CODE"
note "window destroyed from outside: exit code 0"

# No display: one line on standard error, a non-zero code, no window.
check_no_display() {
    local code=0
    "$@" "$ZARPETA" >"$WORK/nodisplay.out" 2>"$WORK/nodisplay.err" || code=$?
    [ "$code" != 0 ] || fail "$*: exit code 0"
    [ "$(wc -l <"$WORK/nodisplay.err")" = 1 ] || fail "$*: $(cat "$WORK/nodisplay.err")"
    grep -q '^zarpeta: ' "$WORK/nodisplay.err" || fail "$*: $(cat "$WORK/nodisplay.err")"
    note "$* -> code $code: $(cat "$WORK/nodisplay.err")"
}
check_no_display env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
check_no_display env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4091
