#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the program as a desktop user meets it, under a private Xvfb and sound
# server (the end-to-end tests' set-up):
#   start-up    exec to the window found mapped (xdotool), 5 runs
#   threads     per thread (user-interface, Qt's X event reader, the bar worker, ...):
#               CPU % and wake-ups a second of a running game with no input, over
#               10 s (threads.py), then the same for KBounce, a Qt arcade game,
#               started right after in the same display (skipped when it is not
#               installed), then ours again; and our CPU as a share of KBounce's,
#               with our wake-ups a second in all threads
#   shots       seven shots fired at different rows and watched from outside: the
#               positions at which each is seen between the launcher and the bar's
#               lane, and the time from the click to its first pixel on screen
#               (the shots helper of tests/shell/e2e/helpers.py)
#   sound       click to the shot cue's first sample at the sound server: the null
#               sink's monitor is recorded with parec and every piece of it is
#               stamped on arrival (stamp_audio.py) with the clock of the clicks;
#               the cue reached the server by the arrival of the piece that holds
#               its first sample (an upper bound: the server mixes a piece at once,
#               and parec's own delay is in it). latency.py.
#
# Usage: bench/figures/measure.sh [path/to/zarpeta]   (default: build/bin/zarpeta)
# Not a test: it prints figures and checks no goal.

here=$(cd "$(dirname "$0")" && pwd)
set -- "${1:-$here/../../build/bin/zarpeta}"
. "$here/../../tests/shell/e2e/lib.sh"
need_tools python3 pulseaudio parec

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

# ---- Per thread: a running game, then KBounce, then the game again ----------------
running_game() {
    start_game
    new_game
    python3 "$here/threads.py" "zarpeta, running game" "$APP_PID" 10 "$WORK/totals"
    stop_game
}
running_game

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
    python3 "$here/threads.py" "kbounce, running game" "$APP_PID" 10 "$WORK/totals"
    stop_game
    running_game
    awk '/zarpeta/ { ours += $1; wakes += $2; runs++ } /kbounce/ { peer = $1 }
         END { printf "zarpeta against kbounce: %.2f of its CPU, %.0f wake-ups/s in all threads\n",
                      ours / runs / peer, wakes / runs }' "$WORK/totals"
else
    echo "threads of the peer: skipped, kbounce is not installed"
fi

# ---- Shots on screen, click to sound ---------------------------------------------------
parec -d zarpeta_null.monitor --format=s16le --rate=44100 --channels=1 \
    --latency-msec=5 2>"$WORK/parec.log" |
    python3 "$here/stamp_audio.py" "$WORK/stamped.raw" "$WORK/stamps" &
SOUND_PIDS="$SOUND_PIDS $!"  # stopped with the servers at exit
recording() {
    [ -f "$WORK/stamped.raw" ] && [ "$(stat -c %s "$WORK/stamped.raw")" -gt 8820 ]
}
wait_for 10 recording || fail "nothing is recorded from the null sink"

start_game
new_game
/usr/bin/python3 "$here/../../tests/shell/e2e/helpers.py" shots "$PLAY_X" "$PLAY_Y" 0 \
    95 155 215 275 335 395 455 | tee "$WORK/shots.out"
stop_game
python3 "$here/latency.py" "$WORK/shots.out" "$WORK/stamped.raw" "$WORK/stamps"
