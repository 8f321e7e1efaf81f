#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# With a sound server of its own (a null sink, recorded from its monitor), a click
# sounds the shot cue within 0.5 s, and the shot's block hit sounds the low cue after
# it. Shots lost on the moving bar are repeated, as in shot.sh.
. "$(dirname "$0")/lib.sh"
need_tools python3 pulseaudio parec
start_display

start_sound_server

parec -d zarpeta_null.monitor --format=s16le --rate=44100 --channels=1 \
    --latency-msec=10 >"$WORK/rec.raw" 2>"$WORK/parec.log" &
EXTRA_PIDS="$EXTRA_PIDS $!"
recording() {
    [ "$(stat -c %s "$WORK/rec.raw")" -gt 8820 ]
}
wait_for 10 recording || fail "nothing is recorded from the null sink"

start_game
grep -q 'without sound' "$WORK/app.err" && fail "the program found no sound output"
new_game

ROW_TOP=150
aim_at $((ROW_TOP + 15 - 25))
block_gone() {
    screenshot after
    play_region after block 16 26 602 $((ROW_TOP + 2))
    only_colour block "$SILVER"
}
hit=no
for attempt in 1 2 3 4 5 6; do
    pressed_at=$(stat -c %s "$WORK/rec.raw")
    xdotool click 1
    if wait_for 2 block_gone; then
        hit=yes
        break
    fi
done
[ "$hit" = yes ] || fail "no shot reached the block"
sleep 0.6  # the block hit's cue lasts about half a second

result=$(python3 "$(dirname "$0")/cues.py" "$WORK/rec.raw" "$pressed_at") ||
    fail "no cue recorded after the click ($result)"
shot_ms=$(echo "$result" | sed 's/.*shot=\([0-9.]*\).*/\1/')
low_ms=$(echo "$result" | sed 's/.*low=\([0-9a-z]*\).*/\1/')
[ "${shot_ms%.*}" -lt 500 ] || fail "the shot's cue came ${shot_ms} ms after the click"
note "shot cue ${shot_ms} ms after the click"
[ "$low_ms" != none ] || fail "no low cue after the shot's cue"
[ "$low_ms" -gt "${shot_ms%.*}" ] || fail "the low cue came before the shot's"
note "block hit's low cue ${low_ms} ms after the click"
