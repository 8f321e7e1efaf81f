#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Measures the program as a desktop user meets it, under a private Xvfb and sound server
# (the end-to-end tests' driver):
#   start-up    exec to the window found mapped, 5 runs
#   threads     at each scale (QT_SCALE_FACTOR, for both programs): per thread
#               (user-interface, Qt's X event reader, the bar worker, ...) CPU % and
#               wake-ups a second of a running game with no input, over 10 s
#               (threads.py), then the same for KBounce, a Qt arcade game, started right
#               after in the same display (skipped when it is not installed), then ours
#               again; and our CPU as a share of KBounce's, with our wake-ups a second in
#               all threads
#   shots       seven shots fired at different rows and watched from outside: the
#               positions at which each is seen between the launcher and the bar's
#               lane, and the time from the click to its first pixel on screen
#   sound       click to the shot cue's first sample at the sound server: the null
#               sink's monitor is recorded with parec and every piece of it is stamped
#               on arrival (stamp_audio.py) with the clock of the clicks; the cue reached
#               the server by the arrival of the piece that holds its first sample (an
#               upper bound: the server mixes a piece at once, and parec's own delay is
#               in it). latency.py.
#
# Usage: bench/figures/measure.py [path/to/zarpeta [SCALE...]]
# (default: build/bin/zarpeta, scales 1 and 2). The screen holds the window at 3x.
# Not a test: it prints figures and checks no goal.
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, f"{here}/../../tests/shell/e2e")
sys.argv[1:] = sys.argv[1:] or [f"{here}/../../build/bin/zarpeta"]
from driver import *  # noqa: E402  (after the driver's folder and the program's path)

SCALES = ARGS or ["1", "2"]
start_display(3200, 1800)
start_sound_server()

for number in range(1, 6):
    started = time.monotonic()
    start_game(window=False)
    while not windows(False):
        time.sleep(0.005)
    print(f"start-up run {number}: {(time.monotonic() - started) * 1000:.0f} ms", flush=True)
    stop_game()


def threads(label, pid):
    subprocess.run([sys.executable, f"{here}/threads.py", label, str(pid), "10", f"{WORK}/totals"])


def running_game(scale):
    start_game(game=True, QT_SCALE_FACTOR=scale)
    threads(f"zarpeta at {scale}x, running game", S.app.pid)
    stop_game()


peer = shutil.which("kbounce") or shutil.which("kbounce", path="/usr/games")
for scale in SCALES:
    running_game(scale)
    if not peer:
        print("threads of the peer: skipped, kbounce is not installed")
        continue
    # A KDE program wants a session bus of its own.
    session = spawn("peer.log", "dbus-run-session", "--", peer, env=env(QT_SCALE_FACTOR=scale))
    shown = lambda: run("xdotool", "search", "--onlyvisible", "--class", "kbounce").split()
    wait_for(30, shown) or fail("no KBounce window")
    kbounce = int(run("pgrep", "-n", "-x", "kbounce"))
    run("xdotool", "windowfocus", "--sync", shown()[-1], "key", "--window", shown()[-1], "ctrl+n")
    time.sleep(1)  # the game's start
    threads(f"kbounce at {scale}x, running game", kbounce)
    os.kill(kbounce, signal.SIGTERM)
    stop(session)
    running_game(scale)
    rows = [line.split(maxsplit=2) for line in open(f"{WORK}/totals") if f" at {scale}x," in line]
    ours = [(float(cpu), float(wakes)) for cpu, wakes, label in rows if label.startswith("zarpeta")]
    theirs = next(float(cpu) for cpu, _, label in rows if label.startswith("kbounce"))
    print(f"zarpeta against kbounce at {scale}x: {sum(cpu for cpu, _ in ours) / len(ours) / theirs:.2f} of its "
          f"CPU, {sum(wakes for _, wakes in ours) / len(ours):.0f} wake-ups/s in all threads", flush=True)

# Shots on screen, and click to sound: every piece of the recording stamped on arrival.
recording = spawn("parec.log", "parec", "-d", "zarpeta_null.monitor", "--format=s16le", "--rate=44100",
                  "--channels=1", "--latency-msec=5", stdout=subprocess.PIPE)
spawn("stamp.log", sys.executable, f"{here}/stamp_audio.py", f"{WORK}/stamped.raw", f"{WORK}/stamps",
      stdin=recording.stdout)
stamped = lambda: os.path.exists(f"{WORK}/stamped.raw") and os.path.getsize(f"{WORK}/stamped.raw") > 8820
wait_for(10, stamped) or fail("nothing is recorded from the null sink")
start_game(game=True)
watch_shots([95, 155, 215, 275, 335, 395, 455], open(f"{WORK}/shots.out", "w"))
print(open(f"{WORK}/shots.out").read(), end="", flush=True)
stop_game()
subprocess.run([sys.executable, f"{here}/latency.py", f"{WORK}/shots.out", f"{WORK}/stamped.raw", f"{WORK}/stamps"])
