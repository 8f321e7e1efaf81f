# SPDX-License-Identifier: MIT
# With a sound server of its own (the one named second, PulseAudio when none: a null
# sink, recorded from its monitor): aiming at a row and clicking destroys that row's
# right-most block, the score changes, the shot cue sounds within 0.5 s of the click and
# the block hit's low cue after it; the game's stream names its desktop entry, its icon
# and the role "game" for the server's mixers. Then the sound server goes away: shots
# still fly at once, and once it is back a later click is heard within a few seconds,
# with at most one warning line. A shot that meets the moving bar is lost, so clicks
# are repeated until one hits.
from driver import *

SERVER = (ARGS or ["pulseaudio"])[0]
start_display()
start_sound_server(SERVER)
start_game(game=True)

# The score line: from the label's first pass to the launcher, down through the number.
score = lambda: look(F.LauncherX - F.ScoreLabelX, F.ScoreNumberY - F.ScoreLabelY + 40, F.ScoreLabelX - 1,
                     F.ScoreLabelY - 1).tobytes()
before = score()
shoot_row(5)
# The score is painted in a frame of its own, a tick or so after the block's.
await_(5, "the block turned silver and the score changed", lambda: score() != before)
expect_cues()

stream = run("pactl", "list", "sink-inputs")
named = ['application.id = "example.zarpeta.zarpeta"', 'application.icon_name = "zarpeta"', 'media.role = "game"']
check(f"the sound stream has {named}", all(property in stream for property in named))

warnings = len(open(f"{WORK}/app.err").readlines())
click()
stop(*S.sound)  # in the middle of the shot's cue
shoot_row(4)  # without a sound server
time.sleep(4)  # the outage outlasts a sound backend's one retry, 3 s after the loss
start_sound_server(SERVER)
await_(6, "a click heard within 6 s of the sound server's return", click_heard, 1)
check("at most one warning line for one outage", len(open(f"{WORK}/app.err").readlines()) - warnings <= 1)
