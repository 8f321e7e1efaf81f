#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# On Qt's Wayland platform under a headless sway of the test's own, with no X server (no
# DISPLAY, no Xwayland): the window is a native xdg-shell toplevel whose client area is
# the play area's size with the menu bar at its top; "Funciones" opens and "Nuevo" shows
# the wall; aiming at a row and clicking destroys its right-most block, and the shot cue
# and the block hit's low cue are heard from the null sink; "Salir" ends the program
# with code 0, and so does the compositor's close request. sway drives the pointer
# (`seat - cursor`) once a virtual pointer gives its seat a pointer; grim takes the
# screenshots.
. "$(dirname "$0")/lib.sh"
need sway swaymsg grim convert compare python3 parec pactl pulseaudio
unset DISPLAY QT_QPA_PLATFORM

# ---- The compositor ---------------------------------------------------------------

# sway on the headless backend, drawing with pixman, its sockets in a runtime folder of
# its own; it refuses to run as root, so under root it runs as nobody. Everything else
# reaches it by the socket's full path and keeps a private runtime folder of its own.
start_compositor() {
    local run="$WORK/sway" as=() socket
    mkdir -m 700 "$run" "$WORK/runtime"
    printf '%s\n' 'xwayland disable' 'default_border none' 'default_floating_border none' \
        "output HEADLESS-1 resolution ${SCREEN_WIDTH}x$SCREEN_HEIGHT position 0 0 scale 1" \
        'for_window [app_id=".*"] floating enable' >"$WORK/sway.conf"
    if [ "$(id -u)" = 0 ]; then
        chmod 711 "$WORK" && chmod 644 "$WORK/sway.conf" && chown 65534:65534 "$run"
        as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    spawn WM_PIDS sway.log env -i PATH="$PATH" HOME="$run" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as[@]}" sway -c "$WORK/sway.conf"
    sway_ready() {
        SWAYSOCK=$(find "$run" -name 'sway-ipc.*.sock' -type s) socket=$(find "$run" -name 'wayland-*' -type s)
        [ -n "$SWAYSOCK" ] && [ -n "$socket" ] && SWAYSOCK=$SWAYSOCK swaymsg -t get_outputs >/dev/null 2>&1
    }
    wait_for 30 sway_ready || fail "sway did not start"
    export SWAYSOCK WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR="$WORK/runtime"

    # A headless seat has no pointer, so no client is sent pointer events: a virtual
    # pointer, held for the whole run, gives it one.
    helper pointer.log pointer
    wait_for 10 eval 'swaymsg -t get_inputs | grep -q "\"type\": \"pointer\""' || fail "no pointer on the seat"
}

# ---- The program, the screen and the pointer ------------------------------------

screenshot() { grim -l 0 "$WORK/$1.png"; }

# The program's toplevel titled $1 in the compositor's tree, as its shell (xdg_shell
# when native) and the x, y, width and height of its content, in FOUND; geometry gives
# the last four, looked up afresh.
find_titled() {
    FOUND=$(swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n): return [n] + [m for c in n.get("nodes", []) + n.get("floating_nodes", []) for m in walk(c)]
for n in walk(json.load(sys.stdin)):
    if n.get("pid") == int(sys.argv[1]) and n["name"] == sys.argv[2]:
        r, w = n["rect"], n["window_rect"]
        print(n["shell"], r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"])' "$APP_PID" "$1")
    [ -n "$FOUND" ]
}
geometry() { find_titled Zarpeta && echo "${FOUND#* }"; }

point_at() { swaymsg "seat - cursor set $1 $2" >/dev/null; }
click() { swaymsg 'seat - cursor press button1; seat - cursor release button1' >/dev/null; }
# The compositor draws the pointer into the screenshots: a click on the menu parks it
# away from the menu and the wall.
click_at() { point_at "$1" "$2" && click && aim_at 300; }

# A popup is no toplevel: the open menu is found on screen, as the box of what changed
# under the menu bar since the screenshot "closed", taken just before the click, from
# the bar down.
before_menu_opens() { screenshot closed; }
find_popup() {
    app_running && screenshot open || return 1
    local box top
    box=$(convert "$WORK/closed.png" "$WORK/open.png" -crop "400x200+$WIN_X+$((WIN_Y + MENU_H))" \
        +repage -compose difference -composite -threshold 0 -bordercolor black -border 1 \
        -format %@ info: 2>/dev/null)
    read -r POPUP_W POPUP_H POPUP_X top <<<"${box//[x+]/ }"
    POPUP_X=$((WIN_X + POPUP_X - 1)) POPUP_Y=$((WIN_Y + MENU_H + top - 1))
    [ "$top" -le 3 ] && [ "$POPUP_H" -gt 40 ] && [ "$POPUP_W" -gt 60 ]  # more than the pointer
}

# ---- The run ----------------------------------------------------------------------

start_compositor
start_sound_server
start_game
expect_sound
check "a native xdg-shell window under sway, no DISPLAY: ${WIN%% *}" [ "${WIN%% *}" = xdg_shell ]

# The compositor's content box; on screen the menu bar at its top (no title bar drawn
# by Qt above it) and the right border in its last column, sway's background beside it.
check "client area ${WIN_W}x$WIN_H, its play area $MENU_H px below its top" \
    [ "${WIN_W}x$WIN_H" = "${PlayAreaWidth}x$PlayAreaHeight" -a "$MENU_H" -lt 40 ]
screenshot idle
right=$((WIN_X + WIN_W - 1))
edge="$(pixel idle $right $((WIN_Y + 300)))$(pixel idle $((right + 1)) $((WIN_Y + 300)))"
check "the window's right edge at $right, no decorations beside it" [ "$edge" = "$ColourGrey$(pixel idle 5 5)" ]

new_game
note "menu Funciones opened; Nuevo shows the wall"
shoot_row 5
note "aiming and a click destroyed the block"
expect_cues

choose Salir
expect_exit 0 "Salir during a game"
start_game
swaymsg "[pid=$APP_PID] kill" >/dev/null
expect_exit 0 "the compositor's close request"
