#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# When the world goes away: no display, or no usable platform, is one line and code
# 1; the window destroyed by another client ends the program with code 0; the X
# server killed in the middle of a game, with a cue playing, ends it with one line and
# code 1, never a crash.
. "$(dirname "$0")/lib.sh"
need_tools pulseaudio parec
start_display

# start_fails WORDS ENV...: the program, started under env ENV..., fails with one line
# containing WORDS.
start_fails() {
    local words=$1 code=0
    shift
    env "$@" "$ZARPETA" >"$WORK/fail.out" 2>"$WORK/fail.err" || code=$?
    [ "$code" = 1 ] && [ "$(wc -l <"$WORK/fail.err")" = 1 ] && grep -q "^zarpeta: .*$words" "$WORK/fail.err" ||
        fail "$*: code $code, $(cat "$WORK/fail.err")"
    note "$* -> code 1: $(cat "$WORK/fail.err")"
}
start_fails pantalla -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
start_fails '":4091"' DISPLAY=:4091
start_fails '"zarpeta-none"' QT_QPA_PLATFORM=zarpeta-none
start_fails wayland QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zarpeta-none XDG_RUNTIME_DIR="$WORK"

start_game
xdotool windowclose "$WIN"
wait_exit 10
[ "$EXIT_CODE" = 0 ] || fail "window destroyed from outside: exit code $EXIT_CODE"
note "window destroyed from outside: exit code 0"

start_sound_server
start_game
new_game
aim_at 100
from=$(recorded)
sounding() { [ "$(python3 "$(dirname "$0")/cues.py" "$WORK/rec.raw" "$from")" != "shot=none low=none" ]; }
xdotool click 1
wait_for 5 sounding || fail "no cue before the display went"
kill "$XVFB_PID"
wait_exit 10
tail -n 1 "$WORK/app.err" | grep -q '^zarpeta: .*pantalla' || fail "no line about the display"
[ "$EXIT_CODE" = 1 ] || fail "display lost during a cue: exit code $EXIT_CODE"
note "display lost during a cue: code 1, $(tail -n 1 "$WORK/app.err")"
