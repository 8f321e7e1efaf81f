#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# With a sound server of its own (the one named second, PulseAudio when none: a null
# sink, recorded from its monitor): aiming at a
# row and clicking destroys that row's right-most block (column 30, x 600..619), the
# score changes, the shot cue sounds within 0.5 s of the click and the block hit's low
# cue after it; the game's stream names its desktop entry, its icon and the role "game"
# for the server's mixers. Then the sound server goes away: shots still fly at once, and once it
# is back a later click is heard within a few seconds, with at most one warning line.
# A shot that meets the moving bar is lost, so clicks are repeated until one hits.
. "$(dirname "$0")/lib.sh"
SOUND_SERVER=${2:-pulseaudio}
need_tools python3 parec pactl "$SOUND_SERVER"
start_display
start_sound_server
start_game
expect_sound
new_game

screenshot before
play_region before score_before 210 40 759 5
shoot_row 150
play_region after score_after 210 40 759 5
! same_image score_before score_after || fail "the score did not change"
note "the block turned silver and the score changed"

low_heard() { cues_after "$PRESSED_AT" && read -r shot_ms low_ms <<<"$CUES" && [ "$low_ms" != none ]; }
wait_for 3 low_heard || fail "no low cue after the click (cues at: $CUES)"
[ "$shot_ms" -lt 500 ] && [ "$low_ms" -gt "$shot_ms" ] || fail "cues at $CUES ms after the click"
note "shot cue ${shot_ms} ms after the click, the block hit's low cue at ${low_ms} ms"

stream=$(pactl list sink-inputs)
for property in 'application.id = "example.zarpeta.zarpeta"' 'application.icon_name = "zarpeta"' \
    'media.role = "game"'; do
    grep -qF "$property" <<<"$stream" || fail "the sound stream lacks $property: $stream"
done
note "the sound stream names the game's desktop entry and icon, and the role game"

warnings_before=$(wc -l <"$WORK/app.err")
xdotool click 1
stop $SOUND_PIDS && SOUND_PIDS=""  # in the middle of the shot's cue
shoot_row 120
note "without a sound server a shot still destroys its block"
sleep 4  # the outage outlasts a sound backend's one retry, 3 s after the loss
start_sound_server
back_at=$(now_ms)
heard() {
    local from
    from=$(recorded)
    xdotool click 1 && wait_for 1 cues_after "$from"
}
wait_for 6 heard || fail "no cue within 6 s of the sound server's return"
note "a click heard $(($(now_ms) - back_at)) ms after the sound server came back"
[ $(($(wc -l <"$WORK/app.err") - warnings_before)) -le 1 ] ||
    fail "more than one warning line for one outage: $(tail -n +$((warnings_before + 1)) "$WORK/app.err")"
