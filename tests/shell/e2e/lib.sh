# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# The one driver of the end-to-end scripts (sourced by bash): a private X server, with
# or without a window manager, a sound server of the test's own, the program under
# test, the menu, the mouse, and screenshots read region by region. Every wait polls
# with a deadline. Places, sizes, colours and the menu's items come from tools/facts.
#
# Usage in a script:  . lib.sh; need_tools; start_display; start_game; ...
# The first argument of every script is the zarpeta executable. A script on another
# display server replaces the primitives: screenshot, point_at, click, click_at, geometry,
# find_titled, find_popup and before_menu_opens.
#
# A check says what it found: `check WHAT COMMAND...` runs the command and prints
# "ok: WHAT", or fails with "FAIL: WHAT: not so"; `await SECONDS WHAT COMMAND...` polls
# the command until the deadline. WHAT names the values it was made of, so a failure
# shows them.

set -eu

ZARPETA=${1:?usage: $0 path/to/zarpeta}
HERE=$(dirname "${BASH_SOURCE[0]}")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zarpeta-e2e.XXXXXX")
XVFB_PID="" APP_PID="" WM_PIDS="" SOUND_PIDS="" HELPER_PIDS=""
SCREEN_WIDTH=${SCREEN_WIDTH:-1280} SCREEN_HEIGHT=${SCREEN_HEIGHT:-1024}
PLAY_MILLI=1000  # the play image's screen pixels per thousand of its own (scaled_play)

# The program's facts, as tools/facts prints them beside the program: sizes and places
# (PlayAreaWidth, BarLaneX, ...), colours as RRGGBB (ColourSilver, ColourGrey: the
# border's), the menu's items (FunctionItems), each a variable of its name, exported
# for the helpers (helpers.py).
FACTS=$("$(dirname "$ZARPETA")/zarpeta-facts") || { echo "FAIL: no zarpeta-facts beside $ZARPETA" >&2 && exit 1; }
while IFS='=' read -r name value; do
    declare -grx "$name=$value"
done <<<"$FACTS"

# stop PID...: ends each process and reaps it. One that has not ended 10 s after being
# asked to (a window manager, now and then) is killed outright.
stop() {
    local pid
    for pid in "$@"; do
        kill "$pid" 2>/dev/null || continue
        APP_MAY_END=yes wait_for 10 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
# ended PID: the process is gone, or a child that has ended and waits to be reaped.
ended() { ! grep -qv '^[0-9]* (.*) Z ' "/proc/$1/stat" 2>/dev/null; }
trap 'stop $APP_PID $HELPER_PIDS $WM_PIDS $SOUND_PIDS $XVFB_PID; rm -rf "$WORK"' EXIT
trap 'exit 1' INT TERM HUP

# fail WHAT: ends the test with WHAT and the last lines of the program's standard error
# and of each log (the servers', the helpers').
fail() {
    echo "FAIL: $*" >&2
    [ ! -s "$WORK/app.err" ] || { echo "--- the program's standard error:" && tail -n 20 "$WORK/app.err"; } >&2
    for log in "$WORK"/*.log; do
        [ ! -s "$log" ] || { echo "--- ${log##*/}:" && tail -n 3 "$log"; } >&2
    done
    exit 1
}
note() { echo "ok: $*"; }
check() { "${@:2}" && note "$1" || fail "$1: not so"; }
await() { wait_for "$1" "${@:3}" && note "$2" || fail "$2: not so after $1 s"; }

# need TOOL...: exits with 77 (CTest: skipped) when one of them is missing; need_tools
# adds the tools of every run on X.
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed" && exit 77; }
    done
}
need_tools() { need Xvfb xdotool xwininfo import convert compare "$@"; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_for SECONDS COMMAND...: polls until the command succeeds; false at the deadline.
# While the program under test is meant to run, its early end ends the wait too, so a
# program that could not start is reported at once with its standard error.
wait_for() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        if [ -n "$APP_PID" ] && ! app_running && [ "${APP_MAY_END:-}" != yes ]; then
            fail "the program ended while waiting for: $*"
        fi
        [ "$(now_ms)" -le "$deadline" ] || return 1
        sleep 0.05
    done
}
gone() { ! "$@"; }  # wait_for 5 gone COMMAND...: until the command fails

# spawn LIST LOG COMMAND...: the command in the background, its output added to LOG;
# its pid put first in LIST (a variable's name), which the test's end stops.
spawn() { "${@:3}" >>"$WORK/$2" 2>&1 & printf -v "$1" '%s' "$! ${!1}"; }

# session_bus FILE: a session bus daemon of its own; its address in FILE and BUS, its pid
# in BUS_PID. bus_has NAME: a process owns NAME on the session bus.
session_bus() {
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$1" 4>"$1.pid"
    BUS=$(cat "$1") BUS_PID=$(cat "$1.pid")
}
bus_has() {
    dbus-send --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q true
}

# ---- The X server and the window manager -----------------------------------------

start_display() {
    # Xvfb picks a free display number itself and writes it to descriptor 3 once it
    # accepts clients. Without -noreset it resets whenever its last client leaves, and
    # refuses the clients that connect during the reset. A second server must not be
    # taken for ready by the first one's number.
    rm -f "$WORK/display"
    Xvfb -noreset -displayfd 3 -screen 0 "${SCREEN_WIDTH}x${SCREEN_HEIGHT}x${SCREEN_DEPTH:-24}" -nolisten tcp \
        3>"$WORK/display" 2>"$WORK/xvfb.log" &
    XVFB_PID=$!
    wait_for 30 test -s "$WORK/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$WORK/display")" SCREEN_DISPLAY=":$(head -n 1 "$WORK/display")"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM || true
}

# xdotool with its input (pointer, keys) through the Xvfb, SCREEN_DISPLAY: under a
# nested compositor DISPLAY is its Xwayland, whose synthetic input the compositor
# never sees.
xdotool() {
    case $1 in
        mousemove | click | key) DISPLAY=$SCREEN_DISPLAY command xdotool "$@" ;;
        *) command xdotool "$@" ;;
    esac
}

# start_wm NAME [wayland]: a window manager on the display, once it has taken the screen.
# Its session bus is a daemon of its own, stopped with it: dbus-run-session, when
# killed, leaves its bus daemon behind. Mutter needs telling it is on X11; KWin's
# shortcuts (Alt+F4) are served by kglobalaccel5, started here before it so that the
# bus does not start one that would outlive the test. "mutter wayland" is GNOME's
# Wayland session: mutter a compositor nested in the Xvfb, drawing its output 1:1 into
# it, with an Xwayland; DISPLAY and WAYLAND_DISPLAY then name those two.
start_wm() {
    local command=("$1") helper="" run="$WORK/wm-run"
    case "$1 ${2:-}" in
        "mutter wayland")
            mkdir -m 700 "$run"
            command=(env XDG_RUNTIME_DIR="$run" MUTTER_DEBUG_DUMMY_MODE_SPECS="${SCREEN_WIDTH}x$SCREEN_HEIGHT"
                mutter --wayland --nested --sm-disable) helper=Xwayland
            ;;
        mutter*) command+=(--x11 --sm-disable) ;;
        kwin_x11*) helper=kglobalaccel5 ;;
    esac
    need_tools "$1" dbus-daemon dbus-send $helper  # Xwayland: started by mutter itself
    session_bus "$WORK/wm.bus"
    WM_PIDS=$BUS_PID  # each process is listed at once: a failed start stops what it started
    if [ "$helper" = kglobalaccel5 ]; then
        spawn WM_PIDS helper.log env DBUS_SESSION_BUS_ADDRESS="$BUS" HOME="$WORK" "$helper"
        DBUS_SESSION_BUS_ADDRESS=$BUS wait_for 30 bus_has org.kde.kglobalaccel || fail "no $helper"
    fi
    spawn WM_PIDS wm.log env DBUS_SESSION_BUS_ADDRESS="$BUS" HOME="$WORK" "${command[@]}"  # the manager first
    if [ "$helper" = Xwayland ]; then
        xwayland_ready() {
            XAUTHORITY=$(find "$run" -name '.mutter-Xwaylandauth.*') &&
                DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$WORK/wm.log") &&
                [ -n "$XAUTHORITY" ] && [ -n "$DISPLAY" ] && [ -S "$run/wayland-0" ]
        }
        wait_for 30 xwayland_ready || fail "mutter's Xwayland did not start"
        export DISPLAY XAUTHORITY WAYLAND_DISPLAY="$run/wayland-0" XDG_RUNTIME_DIR="$run"
    fi
    wm_ready() {
        kill -0 "${WM_PIDS%% *}" 2>/dev/null || fail "$1 ended"
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
    }
    wait_for 30 wm_ready "$1" || fail "$1 did not start"
}

# ---- Assistive technology -------------------------------------------------------

# A session bus with the accessibility bus, as on a desktop with a screen reader, and
# the atspi helper following the programs started from now on into atspi.log.
start_atspi() {
    local launcher=/usr/libexec/at-spi-bus-launcher
    need dbus-daemon dbus-send
    [ -x "$launcher" ] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "skipped: at-spi2-core or python3-pyatspi is not installed" && exit 77; }
    session_bus "$WORK/a11y.bus"
    export DBUS_SESSION_BUS_ADDRESS=$BUS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    HELPER_PIDS="$HELPER_PIDS $BUS_PID"
    spawn HELPER_PIDS a11y.log "$launcher" --launch-immediately
    # Asked for before it is there, the bus would start a second launcher of its own.
    wait_for 30 bus_has org.a11y.Bus || fail "no accessibility bus"
    helper atspi.log atspi
}

# helper LOG NAME ARGUMENT...: the helper NAME of helpers.py, running in the background
# until the test ends, once it has said it is ready; its output in LOG.
helper() {
    spawn HELPER_PIDS "$1" /usr/bin/python3 "$HERE/helpers.py" "${@:2}"
    wait_for 60 grep -qx ready "$WORK/$1" || fail "no $2 helper"
}

# heard REGEX: the atspi helper has printed a whole line that matches.
heard() { grep -qE "^$1\$" "$WORK/atspi.log"; }

# ---- The sound server -----------------------------------------------------------

# A sound server of the test's own, PulseAudio or (SOUND_SERVER=pipewire) PipeWire with
# its PulseAudio server and session manager, with one null sink ("zarpeta_null")
# recorded from its monitor into rec.raw (16-bit mono, 44,100 Hz). The program and
# parec reach it through PULSE_SERVER. A second call starts it again on the same socket.
start_sound_server() {
    local dir="$WORK/sound" part from
    mkdir -p "$dir"
    if [ "${SOUND_SERVER:-pulseaudio}" = pipewire ]; then
        export PULSE_SERVER="unix:$dir/pulse/native"
        rm -rf "$dir"/pipewire-0* "$dir/pulse"  # a stale socket would pass for the new server's
        session_bus "$dir/bus"  # the session manager leaves at once without one
        SOUND_PIDS="$SOUND_PIDS $BUS_PID" && export DBUS_SESSION_BUS_ADDRESS=$BUS
        for part in pipewire wireplumber pipewire-pulse; do
            # The session manager and the PulseAudio server need the core's socket.
            wait_for 20 test -S "$dir/pipewire-0" -o "$part" = pipewire || fail "no pipewire socket"
            spawn SOUND_PIDS sound.log env HOME="$dir" XDG_RUNTIME_DIR="$dir" "$part"
        done
    else
        export PULSE_SERVER="unix:$dir/native"
        spawn SOUND_PIDS sound.log env HOME="$dir" XDG_RUNTIME_DIR="$dir" pulseaudio -n --daemonize=no \
            --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
            -L "module-null-sink sink_name=zarpeta_null rate=44100" \
            -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1"
    fi
    wait_for 20 pactl info >/dev/null 2>&1 || fail "the sound server did not start"
    [ "${SOUND_SERVER:-}" != pipewire ] ||
        pactl load-module module-null-sink sink_name=zarpeta_null rate=44100 >/dev/null
    parec -d zarpeta_null.monitor --format=s16le --rate=44100 --channels=1 --latency-msec=10 \
        >>"$WORK/rec.raw" 2>"$WORK/parec.log" & SOUND_PIDS="$! $SOUND_PIDS"
    from=$(recorded)
    recording() { [ "$(recorded)" -gt $((from + 8820)) ]; }
    wait_for 20 recording || fail "nothing is recorded from the null sink"
}

# The bytes recorded so far.
recorded() { stat -c %s "$WORK/rec.raw" 2>/dev/null || echo 0; }

# cues_after BYTES: the shot cue's and the low cue's start ("none" if not heard), in ms
# after the recording stood at BYTES, in CUES; false before any cue.
cues_after() { CUES=$(/usr/bin/python3 "$HERE/helpers.py" cues "$WORK/rec.raw" "$1"); }

# expect_cues: the shot cue within 0.5 s of the click at PRESSED_AT, the block hit's low
# cue after it.
expect_cues() {
    low_heard() { cues_after "$PRESSED_AT" && read -r shot_ms low_ms <<<"$CUES" && [ "$low_ms" != none ]; }
    wait_for 3 low_heard || fail "no low cue after the click (cues at: $CUES)"
    check "shot cue ${shot_ms} ms after the click, the block hit's low cue at ${low_ms} ms" \
        [ "$shot_ms" -lt 500 -a "$low_ms" -gt "$shot_ms" ]
}

# Fails when the program said that it found no sound output.
expect_sound() { ! grep -q 'sin sonido' "$WORK/app.err" || fail "the program found no sound output"; }

# ---- The program ----------------------------------------------------------------

app_running() { kill -0 "$APP_PID" 2>/dev/null; }
stop_game() { stop "$APP_PID" && APP_PID=""; }

# The program's visible windows that are (yes) or are not (no) override-redirect,
# that is menus and popups as against ordinary windows. (xdotool's name search
# ignores case, so the window "Zarpeta" and a popup named "zarpeta" look alike.)
visible_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class zarpeta 2>/dev/null); do
        ! xwininfo -all -id "$id" 2>/dev/null | grep -q "Override Redirect State: $1" || echo "$id"
    done
}

# geometry ID: the window's x, y, width and height on the screen, on one line.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }'
}
# Sets WIN_X, WIN_Y, WIN_W and WIN_H: wherever the window is now.
window_now() { read -r WIN_X WIN_Y WIN_W WIN_H <<<"$(geometry "$WIN")"; }

# The program's ordinary window titled $1, in FOUND; false when there is none.
find_titled() {
    local id
    FOUND=""
    for id in $(visible_windows no); do
        ! xwininfo -id "$id" | grep -q "\"$1\"" || FOUND=$id
    done
    [ -n "$FOUND" ]
}

# Starts the program (under APP_WRAPPER, if set) and waits for its window; sets WIN,
# WIN_X, WIN_Y, WIN_W, WIN_H and MENU_H (the menu bar's height, found as the play
# area's top border row), and PLAY_X, PLAY_Y: the play image's top-left on the screen.
start_game() {
    ${APP_WRAPPER:-} "$ZARPETA" >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    wait_for 30 find_titled Zarpeta || fail "after 30 s, no visible window named Zarpeta"
    WIN=$FOUND
    wait_for 10 find_menu_height || fail "after 10 s, no play-area border under the menu bar"
    window_now  # as drawn, once placed
    PLAY_X=$((WIN_X + PlayAreaBorder)) PLAY_Y=$((WIN_Y + MENU_H + PlayAreaBorder))
    PLAY_VISIBLE_H=$((WIN_H - MENU_H - PlayAreaBorder))
}

# The first row of the border's colour in the window's middle column, wherever the
# window manager has put the window by now.
find_menu_height() {
    window_now
    screenshot probe
    MENU_H=$(convert "$WORK/probe.png" -crop "1x200+$((WIN_X + WIN_W / 2))+$WIN_Y" +repage txt:- |
        grep -i "#$ColourGrey" | head -n 1 | sed 's/^0,\([0-9]*\):.*/\1/')
    [ -n "$MENU_H" ] && [ "$MENU_H" -gt 0 ]
}

# expect_exit CODE WHAT: the program ends within 10 s with that exit code.
expect_exit() {
    APP_MAY_END=yes wait_for 10 gone app_running || fail "$2: still running after 10 s"
    local code=0
    wait "$APP_PID" || code=$?
    APP_PID=""
    check "$2: exit code $code" [ "$code" = "$1" ]
}

# ---- Screenshots ----------------------------------------------------------------

# Compressed lightly: mutter's dithered background takes ImageMagick's default 2 s a shot.
screenshot() { DISPLAY=$SCREEN_DISPLAY import -window root -define png:compression-level=1 "$WORK/$1.png"; }

# pixel SHOT X Y: the screen pixel's colour as RRGGBB.
pixel() { convert "$WORK/$1.png" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# region SHOT NAME W H X Y: crops a screen region into its own file.
region() { convert "$WORK/$1.png" -crop "$3x$4+$5+$6" +repage "$WORK/$2.png"; }

# at_scale N: image pixels N as screen pixels; sizes (at_scale N up) never shrink to 0.
at_scale() { local up=${2:+999}; echo $((($1 * PLAY_MILLI + ${up:-0}) / 1000)); }

# scaled_play: from now on image coordinates follow the window's width, where the
# window had to show the play area smaller to fit the screen.
scaled_play() { PLAY_MILLI=$(((WIN_W - 2 * PlayAreaBorder) * 1000 / ControlImageWidth)); }

# play_region SHOT NAME W H X Y: the same in play-area image coordinates.
play_region() {
    region "$1" "$2" "$(at_scale "$3" up)" "$(at_scale "$4" up)" $((PLAY_X + $(at_scale "$5"))) \
        $((PLAY_Y + $(at_scale "$6")))
}

# look NAME W H X Y: a fresh screenshot's region in play-area image coordinates, as NAME.
look() { screenshot "$1" && play_region "$1" "$1" "${@:2}"; }

# colours NAME: how many colours the cropped region has. only_colour NAME RRGGBB: the
# region is that one colour throughout.
colours() { convert "$WORK/$1.png" -format '%k' info:; }
only_colour() { [ "$(colours "$1")" = 1 ] && [ "$(pixel "$1" 0 0)" = "$2" ]; }

# same_image A B: the two crops are identical pixel for pixel.
same_image() { [ "$(compare -metric AE "$WORK/$1.png" "$WORK/$2.png" null: 2>&1 || true)" = 0 ]; }

# ---- Mouse and menu -------------------------------------------------------------

point_at() { xdotool mousemove "$1" "$2"; }
click() { xdotool click 1; }
click_at() { point_at "$1" "$2" && click; }

# aim_at Y: the mouse over the play area at image row Y (x 800, right of the wall).
aim_at() { point_at $((PLAY_X + $(at_scale 800))) $((PLAY_Y + $(at_scale "$1"))); }

# The open menu's popup: sets POPUP_X, POPUP_Y, POPUP_W and POPUP_H.
find_popup() {
    local popup
    popup=$(visible_windows yes | head -n 1) && [ -n "$popup" ] &&
        read -r POPUP_X POPUP_Y POPUP_W POPUP_H <<<"$(geometry "$popup")" && [ -n "$POPUP_H" ]
}

# The popup found twice at one place and size: one still being placed or drawn would
# take a click elsewhere.
popup_settled() {
    local before="$POPUP_X $POPUP_Y $POPUP_W $POPUP_H"
    find_popup && [ "$POPUP_X $POPUP_Y $POPUP_W $POPUP_H" = "$before" ]
}

# Just before the menu is clicked open: nothing where the popup is a window of its own.
before_menu_opens() { :; }

# Opens "Funciones" and waits for its popup to settle (find_popup's figures). A click
# that comes while the window is still settling can be lost: after a while, once more.
open_menu() {
    local attempt
    for attempt in 1 2 3; do
        window_now
        before_menu_opens
        click_at $((WIN_X + 30)) $((WIN_Y + MENU_H / 2))
        POPUP_X="" POPUP_Y="" POPUP_W="" POPUP_H=""
        ! wait_for 8 popup_settled || return 0
    done
    fail "the menu Funciones did not open"
}

# Escape closes the open menu.
close_menu() {
    xdotool key Escape
    wait_for 5 gone find_popup || fail "Escape did not close the menu"
}

# item_row NAME: the open menu's item of that name (Nuevo, Autor, Salir): ROW_Y, the top
# of its row on the screen, and ROW_H, its height.
item_row() {
    local items=" $FunctionItems " all before
    [[ $items = *" $1 "* ]] || fail "no menu item $1 among: $FunctionItems"
    read -ra all <<<"$items" && read -ra before <<<"${items%%" $1 "*}"
    ROW_H=$((POPUP_H / ${#all[@]})) ROW_Y=$((POPUP_Y + POPUP_H * ${#before[@]} / ${#all[@]}))
}

# choose NAME: opens the menu and clicks the item of that name through its row's middle
# (Salir may end the program before its popup is seen gone).
choose() {
    open_menu
    item_row "$1"
    click_at $((POPUP_X + 20)) $((ROW_Y + ROW_H / 2))
    APP_MAY_END=yes wait_for 10 gone find_popup || fail "the menu stayed open after choosing $1"
}

# ---- The game on screen ---------------------------------------------------------

# flood COMMAND...: twenty quick clicks, then the command.
flood() { xdotool click --repeat 20 --delay 5 1 && "$@"; }

# The first block of the wall (row 1, column 1) is not silver once a game is shown.
wall_shown() {
    look wall 1 1 $((CellWidth * 3 / 2)) $((CellHeight * 3 / 2)) && ! only_colour wall "$ColourSilver"
}

# The bar's lane between two screenshots.
bar_moves() {
    look lane1 "$BarLayerWidth" $((PLAY_VISIBLE_H - 1)) "$BarLaneX" 0 && sleep 0.1
    look lane2 "$BarLayerWidth" $((PLAY_VISIBLE_H - 1)) "$BarLaneX" 0 && ! same_image lane1 lane2
}

new_game() {
    choose Nuevo
    wait_for 20 wall_shown || fail "no wall after Nuevo"
}

# shoot_row ROW: fires at the wall's right-most block in ROW (1 the top) until it turns
# silver; PRESSED_AT is where the recording stood at the last click. A shot that meets
# the bar is lost, and the bar sweeps 320 px a second, so a click first waits a little
# for a screenshot with the lane clear for 150 px either side of the shot, and clicks
# anyway when none comes: on a loaded machine a screenshot can take longer than the bar
# stays away. Six tries meet the bar at most six times, which leaves the game running
# (it ends at the ninth).
shoot_row() {
    local top=$(($1 * CellHeight)) attempt from
    local shot_y=$((top + CellHeight / 2))
    from=$((shot_y > 150 ? shot_y - 150 : 0))
    lane_clear() {
        look lane 1 $((shot_y + 151 - from)) $((BarLaneX + BarWidth / 2)) "$from" &&
            only_colour lane "$ColourSilver"
    }
    block_gone() {
        look block $((CellWidth - 4)) $((CellHeight - 4)) $((BlockLayerWidth - CellWidth + 2)) $((top + 2)) &&
            only_colour block "$ColourSilver"
    }
    aim_at $((shot_y - ShotBelowAim))
    for attempt in 1 2 3 4 5 6; do
        wait_for 3 lane_clear || true
        PRESSED_AT=$(recorded)
        click
        ! wait_for 5 block_gone || return 0
    done
    fail "the right-most block of row $1 was never destroyed"
}
