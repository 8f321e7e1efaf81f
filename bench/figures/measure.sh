#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the program as a desktop user meets it, under a private Xvfb and sound
# server (the end-to-end tests' set-up):
#   start-up    exec to the window found mapped (xdotool), 5 runs
#   cpu idle    CPU of the window before any game, over 10 s (/proc/PID/stat)
#   cpu game    CPU of a running game with no clicks, over 10 s
#   cpu peer    the same for KBounce, a Qt arcade game, started right after in the
#               same display (skipped when it is not installed)
#   shot        click to the first repaint that shows the shot (the program's own
#               trace with ZARPETA_TRACE set: "press" and "paint" lines with
#               monotonic times and the count of shot pixels between bar and launcher)
#   sound       click to the shot cue's first sample at the sound server: the null
#               sink's monitor is recorded with parec and every piece of it is
#               stamped on arrival (stamp_audio.py) with the clock of the trace's
#               "press"; the cue reached the server by the arrival of the piece
#               that holds its first sample (an upper bound: the server mixes a
#               piece at once, and parec's own delay is in it). latency.py.
#
# Usage: bench/figures/measure.sh [path/to/zarpeta]   (default: build/bin/zarpeta)
# Not a test: it prints figures and checks no goal.

here=$(cd "$(dirname "$0")" && pwd)
set -- "${1:-$here/../../build/bin/zarpeta}"
. "$here/../../tests/shell/e2e/lib.sh"
need_tools python3 pulseaudio parec

ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() {
    # utime and stime, fields 14 and 15 (the name in field 2 holds no blanks here).
    awk '{ print $14 + $15 }' "/proc/$APP_PID/stat"
}

cpu_percent_over() {
    local before after
    before=$(cpu_ticks)
    sleep "$1"
    after=$(cpu_ticks)
    awk -v ticks=$((after - before)) -v hz="$ticks_per_second" -v seconds="$1" \
        'BEGIN { printf "%.2f", 100 * ticks / hz / seconds }'
}

stop_game() {
    kill "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}

start_display

# ---- Sound server -------------------------------------------------------------------
start_sound_server

# ---- Start-up -----------------------------------------------------------------------
for run in 1 2 3 4 5; do
    started=$(date +%s%N)
    "$ZARPETA" >"$WORK/app.out" 2>"$WORK/app.err" &
    APP_PID=$!
    until xdotool search --onlyvisible --class zarpeta >/dev/null 2>&1; do
        sleep 0.005
    done
    echo "start-up run $run: $((($(date +%s%N) - started) / 1000000)) ms"
    stop_game
done

# ---- CPU: idle window, then a running game -------------------------------------------
start_game
echo "cpu idle window: $(cpu_percent_over 10) % of one core over 10 s"
new_game
echo "cpu running game: $(cpu_percent_over 10) % of one core over 10 s"
stop_game

peer=$(PATH="$PATH:/usr/games" command -v kbounce || true)
if [ -n "$peer" ]; then
    # A KDE program wants a session bus of its own.
    dbus-run-session -- "$peer" >"$WORK/peer.out" 2>&1 &
    SOUND_PIDS="$SOUND_PIDS $!"  # stopped with the servers at exit
    peer_shown() { xdotool search --onlyvisible --class kbounce >/dev/null 2>&1; }
    wait_for 30 peer_shown || fail "no KBounce window: $(tail -n 3 "$WORK/peer.out")"
    APP_PID=$(pgrep -n -x kbounce)
    peer_window=$(xdotool search --onlyvisible --class kbounce | tail -n 1)
    xdotool windowfocus --sync "$peer_window" key --window "$peer_window" ctrl+n
    sleep 1 # the game's start
    echo "cpu peer (kbounce, running): $(cpu_percent_over 10) % of one core over 10 s"
    stop_game
else
    echo "cpu peer: skipped, kbounce is not installed"
fi

# ---- Click to shot on screen, click to sound -------------------------------------------
parec -d zarpeta_null.monitor --format=s16le --rate=44100 --channels=1 \
    --latency-msec=5 2>"$WORK/parec.log" |
    python3 "$here/stamp_audio.py" "$WORK/rec.raw" "$WORK/stamps" &
SOUND_PIDS="$SOUND_PIDS $!"  # stopped with the servers at exit
recording() {
    [ -f "$WORK/rec.raw" ] && [ "$(stat -c %s "$WORK/rec.raw")" -gt 8820 ]
}
wait_for 10 recording || fail "nothing is recorded from the null sink"

export ZARPETA_TRACE=1
start_game
new_game
aim_at 300
sleep 0.5
for click in 1 2 3 4 5 6 7 8; do
    xdotool click 1
    sleep 1.5 # the shot's flight and both cues are over well within this
done
stop_game
python3 "$here/latency.py" "$WORK/app.err" "$WORK/rec.raw" "$WORK/stamps"
