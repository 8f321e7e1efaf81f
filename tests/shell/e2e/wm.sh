#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# Under the window manager named second: the window asks for a title bar with no
# buttons yet stays closable and minimisable, and neither resizable nor maximisable;
# its frame is centred on the work area; it minimises and comes back; Alt+F4 and
# _NET_CLOSE_WINDOW (a task bar's close) end it with code 0. At 1.5x the frame is
# centred too: the manager counts its frame in device pixels, Qt its geometry in logical.
# Moved by its user, the window stays there when the manager is restarted. On a small
# screen with panels along its top and bottom, the frame lies centred inside the work
# area left between them, the play area shown smaller.
# With "wayland" after the manager's name (mutter), the same in GNOME's Wayland session,
# but for the restart and the panels (a compositor takes its Xwayland with it): the
# program, left to choose, goes through Xwayland, where mutter draws the frame asked
# for, rather than to Wayland, where Qt would draw its own with a maximise button.
SCREEN_WIDTH=1920 SCREEN_HEIGHT=1080
. "$(dirname "$0")/lib.sh"
WM=${2:?usage: $0 path/to/zarpeta WINDOW_MANAGER}
need_tools xprop wmctrl
start_display
start_wm "$WM" ${3:-}
start_game

# Functions move, minimise and close; decorations title and border alone.
check "no buttons asked for: $(xprop -id "$WIN" _MOTIF_WM_HINTS)" \
    eval 'xprop -id "$WIN" _MOTIF_WM_HINTS | grep -q "= 0x3, 0x2c, 0xa, 0x0, 0x0$"'
allowed=$(xprop -id "$WIN" _NET_WM_ALLOWED_ACTIONS)
for action in CLOSE MINIMIZE MOVE; do
    check "$WM allows $action" grep -q "_NET_WM_ACTION_$action" <<<"$allowed"
done
check "$WM allows neither resize nor maximise: $allowed" \
    gone grep -qE '_NET_WM_ACTION_(RESIZE|MAXIMIZE)' <<<"$allowed"

# The outer frame, as the manager reports it, centred on the work area within 1 px.
frame_centred() {
    window_now
    local l r t b ax ay aw ah
    read -r l r t b <<<"$(xprop -id "$WIN" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    # With no panel KWin sets no _NET_WORKAREA: the work area is then the screen, as for Qt.
    read -r ax ay aw ah _ <<<"$(xprop -root _NET_WORKAREA | sed -n 's/.*= //; s/,//gp')"
    [ -n "${ah:-}" ] || read -r ax ay aw ah <<<"0 0 $SCREEN_WIDTH $SCREEN_HEIGHT"
    FRAME="$((WIN_X - l)),$((WIN_Y - t)) $((WIN_W + l + r))x$((WIN_H + t + b))"
    local dx=$((2 * (WIN_X - l - ax) + WIN_W + l + r - aw)) dy=$((2 * (WIN_Y - t - ay) + WIN_H + t + b - ah))
    [ "${b:-x}" != x ] && [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ]
}
centred_at() {
    wait_for 10 frame_centred || fail "frame $FRAME is not centred on $(xprop -root _NET_WORKAREA)"
    check "${QT_SCALE_FACTOR:-1}x: frame $FRAME centred; client area ${WIN_W}x$WIN_H" \
        [ "${WIN_W}x$WIN_H" = "$1" ]
}
centred_at "${PlayAreaWidth}x$PlayAreaHeight"

if [ "${3:-}" != wayland ]; then
    # The manager killed and started again frames the window anew where it was.
    moved_to=$((WIN_X - 300))x$((WIN_Y + 200))
    xdotool windowmove "$WIN" $((WIN_X - 300)) $((WIN_Y + 200))
    placed_at() { window_now && [ "${WIN_X}x$WIN_Y" = "$1" ]; }
    wait_for 10 placed_at "$moved_to" || fail "moved to ${WIN_X}x$WIN_Y, not $moved_to"
    on_root() { xwininfo -tree -id "$WIN" | grep -q 'Parent window id: .* (the root window)'; }
    stop $WM_PIDS
    await 10 "the window lost its frame when $WM ended" on_root
    start_wm "$WM"
    await 30 "$WM framed the window again" gone on_root
    open_menu  # once the menu opens, the program has seen the new frame's extents
    close_menu
    # Metacity and mutter leave the window where its frame was, a title bar higher.
    window_now
    title=$(xprop -id "$WIN" _NET_FRAME_EXTENTS | cut -d, -f3)
    check "moved to $moved_to, and at ${WIN_X}x$WIN_Y after $WM restarted" [ "$WIN_X" = "${moved_to%x*}" -a \
        "$WIN_Y" -le "${moved_to#*x}" -a "$WIN_Y" -ge $((${moved_to#*x} - title)) ]
fi

window_state() { xprop -id "$WIN" WM_STATE | grep -q "window state: $1"; }
xdotool windowminimize "$WIN"
await 10 "minimised" window_state Iconic
wmctrl -i -a "$WIN"
await 10 "restored" window_state Normal

# A key that comes before the manager has given the window the focus is lost: again.
for attempt in 1 2 3; do
    xdotool windowactivate --sync "$WIN" && wait_for 5 eval '[ "$(xdotool getactivewindow)" = "$WIN" ]' &&
        xdotool key alt+F4 || true
    ! APP_MAY_END=yes wait_for 5 gone app_running || break
done
expect_exit 0 "Alt+F4"

start_game
new_game
wmctrl -i -c "$WIN"
expect_exit 0 "_NET_CLOSE_WINDOW during a game"

QT_SCALE_FACTOR=1.5 start_game
QT_SCALE_FACTOR=1.5 centred_at $((PlayAreaWidth * 3 / 2))x$((PlayAreaHeight * 3 / 2))
wmctrl -i -c "$WIN"
expect_exit 0 "_NET_CLOSE_WINDOW at 1.5x"

[ "${3:-}" != wayland ] || exit 0
stop $WM_PIDS "$XVFB_PID" && WM_PIDS=""
SCREEN_WIDTH=1024 SCREEN_HEIGHT=600
start_display
helper panels.log panels 27
start_wm "$WM"
await 10 "$WM leaves 0,27 1024x546 as the work area" \
    eval 'xprop -root _NET_WORKAREA | grep -q "= 0, 27, 1024, 546"'
start_game
wait_for 10 frame_centred || fail "frame $FRAME is not centred on $(xprop -root _NET_WORKAREA)"
check "1024x600 with 27 px panels: frame $FRAME centred on the work area; client area ${WIN_W}x$WIN_H" \
    [ "$WIN_W" -lt "$PlayAreaWidth" ]
