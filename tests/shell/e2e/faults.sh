#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# When the world goes away: no display, no usable platform, a display of 256 colours,
# too few descriptors, threads or address space for a game is one line and code 1; a
# scale factor that gives no visible window, one line and code 2; the window destroyed
# by another client, and SIGTERM, SIGINT or SIGHUP, end the program with code 0 (a
# signal ignored at start stays ignored), also while it waits for a display, a
# compositor or a session bus that never answers, or for an X server stopped in a game;
# Qt's own texts are Spanish; with no font, or no thread for the bar, it goes on and
# says so; with address space for a few shots only, it plays to its end screen, and
# with none left it goes on painting; the X server killed in the middle of a game, with
# a cue playing, ends it with one line and code 1; the window fits the screen exactly,
# also once the screen has shrunk or grown under it.
. "$(dirname "$0")/lib.sh"
need_tools pulseaudio parec prlimit

# start_fails WORDS ENV...: the program, started under env ENV..., fails with one line
# containing WORDS, and code EXIT (1 unless set).
start_fails() {
    local code=0
    env "${@:2}" "$ZARPETA" >"$WORK/fail.out" 2>"$WORK/fail.err" || code=$?
    check "${*:2} -> code $code: $(cat "$WORK/fail.err")" \
        [ "$code $(wc -l <"$WORK/fail.err") $(grep -c "^zarpeta: .*$1" "$WORK/fail.err")" = "${EXIT:-1} 1 1" ]
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
for mb in 90 140 200; do
    start_fails 'espacio de direcciones' prlimit --as=$((mb << 20))
done
NOBODY="setpriv --reuid=nobody --regid=nogroup --clear-groups"  # the thread limit binds users only
start_fails 'hilos.*ulimit -u' $NOBODY prlimit --nproc=1
for factor in 0 -1 nan inf 1e-9 1e9 12; do  # 12x: 1280 x 1024 is 107 x 85 for the window
    EXIT=2 start_fails QT_SCALE_FACTOR QT_SCALE_FACTOR=$factor XDG_RUNTIME_DIR="$WORK"
done

# A stop signal ends the program however long what it waits for takes: a display, the
# Wayland compositor asked whether it draws frames, or a session bus that takes
# connections and never answers (a stopped X server, a stopped bus daemon); then an X
# server stopped in a game.
session_bus "$WORK/stopped.bus"
HELPER_PIDS="$HELPER_PIDS $BUS_PID"
stopped=${BUS#unix:path=} && stopped=${stopped%%,*}
caught() { (($(printf '%d' "0x$(awk '/^SigCgt:/ { print $2 }' "/proc/$APP_PID/status")") & 1 << 14)); }
kill -s STOP "$BUS_PID"
for peer in "DISPLAY=$DISPLAY" "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=$stopped" \
    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 DBUS_SESSION_BUS_ADDRESS=$BUS"; do
    [ "$peer" != "DISPLAY=$DISPLAY" ] || kill -s STOP "$XVFB_PID"
    # shellcheck disable=SC2086  # the row's settings are separate words
    env $peer "$ZARPETA" >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    wait_for 10 caught || fail "$peer: SIGTERM never caught"
    kill -s TERM "$APP_PID"
    expect_exit 0 "SIGTERM while waiting for $peer"
    kill -s CONT "$XVFB_PID"
done
kill -s CONT "$BUS_PID"

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
if command -v setpriv >/dev/null && command -v prlimit >/dev/null; then
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
    # None left at all: no shot flies, and the window goes on painting the bar.
    prlimit --pid "$APP_PID" --as=$(($(awk '/^VmSize/ { print $2 }' "/proc/$APP_PID/status") * 1024))
    check "no address space left: a flood of clicks, and the bar still moves" flood wait_for 10 bar_moves
    stop_game
fi

# A game's frames fill the connection to a stopped X server within a second or two,
# and the user-interface thread blocks writing them; the alarm ends the program.
start_game
new_game
kill -s STOP "$XVFB_PID"
sleep 2
kill -s TERM "$APP_PID"
expect_exit 0 "SIGTERM with the X server stopped in a game"
kill -s CONT "$XVFB_PID"

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

# The window fits the screen exactly, border included: a scale, the screen's size at
# start, then the sizes it is given while the window is up. Meanwhile no thread can be
# started, yet the frame at each new scale, which Qt's painting splits between the
# threads of its pool, is painted.
screen_size() {  # screen_size WxH, through RandR, with a new mode of that size
    /usr/bin/python3 - "$1" <<'EOF'
import sys, Xlib.display, Xlib.ext.randr as randr
d = Xlib.display.Display()
screen, (w, h), name = d.screen(), map(int, sys.argv[1].split("x")), "zarpeta-" + sys.argv[1]
res = randr.get_screen_resources(screen.root)
mode = randr.create_mode(screen.root, dict(id=0, width=w, height=h, dot_clock=0, h_sync_start=0, h_sync_end=0,
    h_total=w, h_skew=0, v_sync_start=0, v_sync_end=0, v_total=h, name_length=len(name), flags=0), name).mode
randr.add_output_mode(d, res.outputs[0], mode)
mm = (w * 254 // 960, h * 254 // 960)  # 96 dots an inch
randr.set_screen_size(screen.root, max(w, screen.width_in_pixels), max(h, screen.height_in_pixels), *mm)
randr.set_crtc_config(d, res.crtcs[0], res.config_timestamp, 0, 0, mode, randr.Rotate_0, res.outputs[:1])
randr.set_screen_size(screen.root, w, h, *mm)
EOF
}
fits() {  # fits W H: the window wholly on a W x H screen, and as wide as it may be there
    window_now
    [ "$WIN_X" -ge 0 ] && [ "$WIN_Y" -ge 0 ] && [ $((WIN_X + WIN_W)) -le "$1" ] && [ $((WIN_Y + WIN_H)) -le "$2" ] &&
        [ "$WIN_W" = $(($1 < PlayAreaWidth * scale ? $1 : PlayAreaWidth * scale)) ]
}
for run in "1 640x480" "2 1280x1024" "1 1280x1024 800x600 1280x1024"; do
    read -r scale screen resized <<<"$run"
    SCREEN_WIDTH=${screen%x*} SCREEN_HEIGHT=${screen#*x} start_display
    APP_WRAPPER="$NOBODY env QT_SCALE_FACTOR=$scale" start_game
    [ -z "$resized" ] || { new_game && $NOBODY prlimit --pid "$APP_PID" --nproc="$(ls "/proc/$APP_PID/task" | wc -l)"; }
    for size in "" $resized; do
        [ -z "$size" ] || screen_size "$size"
        size=${size:-$screen}
        wait_for 10 fits "${size%x*}" "${size#*x}" || fail "${WIN_W}x$WIN_H at $WIN_X,$WIN_Y on $size at ${scale}x"
        PLAY_X=$((WIN_X + PlayAreaBorder)) PLAY_Y=$((WIN_Y + MENU_H + PlayAreaBorder)) && scaled_play
        [ -z "$resized" ] || wait_for 10 bar_moves || fail "the window froze at $size"
        note "${scale}x on $size: ${WIN_W}x$WIN_H at $WIN_X,$WIN_Y"
    done
    stop_game && stop "$XVFB_PID"
done
