#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
# With a sound server of its own (the one named second, PulseAudio when none: a null
# sink, recorded from its monitor): aiming at a row and clicking destroys that row's
# right-most block, the score changes, the shot cue sounds within 0.5 s of the click and
# the block hit's low cue after it; the game's stream names its desktop entry, its icon
# and the role "game" for the server's mixers. Then the sound server goes away: shots
# still fly at once, and once it is back a later click is heard within a few seconds,
# with at most one warning line. A shot that meets the moving bar is lost, so clicks
# are repeated until one hits.
. "$(dirname "$0")/lib.sh"
SOUND_SERVER=${2:-pulseaudio}
need_tools python3 parec pactl "$SOUND_SERVER"
start_display
start_sound_server
start_game
expect_sound
new_game

# The score line: from the label's first pass to the launcher, down through the number.
score() {
    look "$1" $((LauncherX - ScoreLabelX)) $((ScoreNumberY - ScoreLabelY + 40)) \
        $((ScoreLabelX - 1)) $((ScoreLabelY - 1))
}
score before
shoot_row 5
score after
check "the block turned silver and the score changed" gone same_image before after
expect_cues

stream=$(pactl list sink-inputs)
for property in 'application.id = "example.zarpeta.zarpeta"' 'application.icon_name = "zarpeta"' \
    'media.role = "game"'; do
    check "the sound stream has $property" grep -qF "$property" <<<"$stream"
done

warnings_before=$(wc -l <"$WORK/app.err")
xdotool click 1
stop $SOUND_PIDS && SOUND_PIDS=""  # in the middle of the shot's cue
shoot_row 4
note "without a sound server a shot still destroys its block"
sleep 4  # the outage outlasts a sound backend's one retry, 3 s after the loss
start_sound_server
click_heard() {
    local from
    from=$(recorded)
    click && wait_for 1 cues_after "$from"
}
await 6 "a click heard within 6 s of the sound server's return" click_heard
check "at most one warning line for one outage" [ $(($(wc -l <"$WORK/app.err") - warnings_before)) -le 1 ]
