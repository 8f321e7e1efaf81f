#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# When the world goes away: no display, no usable platform, a display of 256 colours
# or too few descriptors is one line and code 1; the window destroyed by another
# client, and SIGTERM, SIGINT or SIGHUP, end the program with code 0 (a signal ignored
# at start stays ignored); Qt's own texts are Spanish; with no font, or no thread for
# the bar, it goes on and says so; with address space for a few shots only, it plays
# to its end screen; the X server killed in the middle of a game, with a cue playing,
# ends it with one line and code 1.
. "$(dirname "$0")/lib.sh"
need_tools pulseaudio parec prlimit

# start_fails WORDS ENV...: the program, started under env ENV..., fails with one line
# containing WORDS.
start_fails() {
    local code=0
    env "${@:2}" "$ZARPETA" >"$WORK/fail.out" 2>"$WORK/fail.err" || code=$?
    check "${*:2} -> code $code: $(cat "$WORK/fail.err")" \
        [ "$code $(wc -l <"$WORK/fail.err") $(grep -c "^zarpeta: .*$1" "$WORK/fail.err")" = "1 1 1" ]
}
SCREEN_DEPTH=8 start_display
start_fails 'bits de color' XDG_RUNTIME_DIR="$WORK"
stop "$XVFB_PID"
start_display
start_fails pantalla -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
start_fails 'archivos' prlimit --nofile=8
start_fails '":4091"' DISPLAY=:4091
start_fails '"zarpeta-none"' QT_QPA_PLATFORM=zarpeta-none
start_fails wayland QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zarpeta-none XDG_RUNTIME_DIR="$WORK"

start_game
check "Qt's Spanish texts loaded" grep -q '/qtbase_es\.qm$' "/proc/$APP_PID/maps"
xdotool windowclose "$WIN"
expect_exit 0 "window destroyed from outside"

# A stop signal during a game closes the window, as a close request does. A background
# job starts with SIGINT ignored: the wrapper gives each its default back.
for signal in TERM INT HUP; do
    APP_WRAPPER="env --default-signal=$signal" start_game
    new_game
    kill -s "$signal" "$APP_PID"
    expect_exit 0 "SIG$signal during a game"
done
APP_WRAPPER=nohup start_game
ignored=$(awk '/^SigIgn:/ { print $2 }' "/proc/$APP_PID/status")
check "SIGHUP stays ignored under nohup" [ $((0x$ignored & 1)) = 1 ]
kill -s TERM "$APP_PID"
expect_exit 0 "SIGTERM under nohup"

# No font at all: the game starts, says so in one line, and plays.
printf '<fontconfig></fontconfig>\n' >"$WORK/fonts.conf"
APP_WRAPPER="env FONTCONFIG_FILE=$WORK/fonts.conf" start_game
new_game
check "no font: the game plays and says so once" [ "$(grep -c 'tipo de letra' "$WORK/app.err")" = 1 ]
stop_game

# The bar's worker cannot be started (the user's thread limit reached): one line, and
# "Nuevo" enabled again, so choosing it again says so again.
if command -v setpriv >/dev/null; then
    NOBODY="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    APP_WRAPPER=$NOBODY start_game
    $NOBODY prlimit --pid "$APP_PID" --nproc="$(ls "/proc/$APP_PID/task" | wc -l)"
    bar_faults() { [ "$(grep -c "el hilo de la barra" "$WORK/app.err")" = "$1" ]; }
    choose Nuevo
    await 10 "no bar worker: one line" bar_faults 1
    choose Nuevo
    await 10 "no bar worker: Nuevo enabled again, and one line more" bar_faults 2
    stop_game

    # Address space for about 60 more shots' stacks, and a flood of clicks at the top
    # row: the shots that get no stack do not fly, and the game plays on to its end
    # screen (red "Game Over" text over the wall's middle) and goes on after it.
    start_game
    new_game
    prlimit --pid "$APP_PID" --as=$((($(awk '/^VmSize/ { print $2 }' "/proc/$APP_PID/status") + 65536) * 1024))
    aim_at 20
    game_over() {
        screenshot end
        play_region end words 400 100 "$EndX" "$EndY"
        [ "$(convert "$WORK/words.png" -fill black +opaque "#$ColourRed" -fill white -opaque "#$ColourRed" \
            -format '%[fx:int(mean*40000)]' info:)" -gt 500 ]
    }
    await 60 "address space for 60 shots: a flood of clicks plays to Game Over" flood game_over
    xdotool click --repeat 50 --delay 5 1
    choose Nuevo
    note "and on"
    stop_game
fi

start_sound_server
start_game
new_game
aim_at 100
from=$(recorded)
click
wait_for 5 cues_after "$from" || fail "no cue before the display went"
kill "$XVFB_PID"
expect_exit 1 "display lost during a cue"
check "$(tail -n 1 "$WORK/app.err")" eval 'tail -n 1 "$WORK/app.err" | grep -q "^zarpeta: .*pantalla"'
