# SPDX-License-Identifier: MIT
# When the world goes away: no display, no usable platform, a display of 256 colours,
# too few descriptors, threads or address space for a game is one line and code 1; a
# scale factor that gives no visible window, one line and code 2; the window destroyed
# by another client, and SIGTERM, SIGINT or SIGHUP, end the program with code 0 (a
# signal ignored at start stays ignored), also while it waits for a display, a
# compositor or a session bus that never answers, or for an X server stopped in a game;
# Qt's own texts are Spanish; with no font, or no thread for the bar, it goes on and
# says so; with address space for a few shots only, it plays to its end screen, and
# with none left it goes on painting; the X server killed in the middle of a game, with
# a cue playing, ends it with one line and code 1; the window goes on fitting a screen
# that shrinks or grows under it.
from driver import *

need("pulseaudio", "parec", "prlimit", "xrandr")
NOBODY = "setpriv --reuid=nobody --regid=nogroup --clear-groups"  # the thread limit binds users only
# What the one line says, the exit code, and what the program is started under (env's arguments).
START_FAILS = [
    ("pantalla", 1, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"),
    ("archivos", 1, "prlimit --nofile=8"),
    ('":4091"', 1, "DISPLAY=:4091"),
    ('"zarpeta-none"', 1, "QT_QPA_PLATFORM=zarpeta-none"),
    ("wayland", 1, f"QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zarpeta-none XDG_RUNTIME_DIR={WORK}"),
    *[("espacio de direcciones", 1, f"prlimit --as={mb << 20}") for mb in (90, 140, 200)],
    ("hilos.*ulimit -u", 1, f"{NOBODY} prlimit --nproc=1"),
    # 12x: 1280 x 1024 is 107 x 85 for the window
    *[("QT_SCALE_FACTOR", 2, f"QT_SCALE_FACTOR={factor} XDG_RUNTIME_DIR={WORK}")
      for factor in ("0", "-1", "nan", "inf", "1e-9", "1e9", "12")],
]


def start_fails(words, code, under):
    ended = subprocess.run(["env", *under.split(), ZARPETA], capture_output=True, text=True)
    check(f"{under} -> code {ended.returncode}: {ended.stderr.strip()}",
          ended.returncode == code and re.fullmatch(f"zarpeta: .*{words}.*\n", ended.stderr))


def status(field):
    return re.search(rf"^{field}:\s*(\S+)", open(f"/proc/{S.app.pid}/status").read(), re.M)[1]


start_display(depth=8)  # left running, unused, once the next display is up
start_fails("bits de color", 1, f"XDG_RUNTIME_DIR={WORK}")
start_display()
for row in START_FAILS:
    start_fails(*row)

# A stop signal ends the program however long what it waits for takes: a display, the
# Wayland compositor asked whether it draws frames, or a session bus that takes
# connections and never answers (a stopped X server, a stopped bus daemon); then an X
# server stopped in a game.
bus, address = session_bus()
stopped = address.split("unix:path=")[1].split(",")[0]
bus.send_signal(signal.SIGSTOP)
for peer in (f"DISPLAY={os.environ['DISPLAY']}", f"XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY={stopped}",
             f"QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 DBUS_SESSION_BUS_ADDRESS={address}"):
    peer.startswith("DISPLAY=") and S.xvfb.send_signal(signal.SIGSTOP)
    start_game(window=False, **dict(setting.split("=", 1) for setting in peer.split()))
    wait_for(10, lambda: int(status("SigCgt"), 16) & 1 << 14) or fail(f"{peer}: SIGTERM never caught")
    expect_exit(0, f"SIGTERM while waiting for {peer}", signal.SIGTERM)
    S.xvfb.send_signal(signal.SIGCONT)

start_game()
check("Qt's Spanish texts loaded", any(line.endswith("/qtbase_es.qm\n") for line in open(f"/proc/{S.app.pid}/maps")))
expect_exit(0, "window destroyed from outside", lambda: S.win.destroy() or S.x.sync())

# A stop signal during a game closes the window, as a close request does, also where
# the program was started with the signal ignored and given its default back.
for name in ("TERM", "INT", "HUP"):
    start_game("env", f"--default-signal={name}", game=True)
    expect_exit(0, f"SIG{name} during a game", getattr(signal, f"SIG{name}"))
start_game("nohup")
check("SIGHUP stays ignored under nohup", int(status("SigIgn"), 16) & 1)
expect_exit(0, "SIGTERM under nohup", signal.SIGTERM)

# No font at all: the game starts, says so in one line, and plays.
open(f"{WORK}/fonts.conf", "w").write("<fontconfig></fontconfig>\n")
start_game(game=True, FONTCONFIG_FILE=f"{WORK}/fonts.conf")
check("no font: the game plays and says so once", said("tipo de letra") == 1)

# The bar's worker cannot be started (the user's thread limit reached): one line, and
# "Nuevo" enabled again, so choosing it again says so again.
limit = lambda option, *under: run(*under, "prlimit", "--pid", str(S.app.pid), option)
threads = lambda: f"--nproc={len(os.listdir(f'/proc/{S.app.pid}/task'))}"
start_game(*NOBODY.split())
limit(threads(), *NOBODY.split())
choose("Nuevo")
await_(10, "no bar worker: one line", lambda: said("el hilo de la barra") == 1)
choose("Nuevo")
await_(10, "no bar worker: Nuevo enabled again, and one line more", lambda: said("el hilo de la barra") == 2)

# Address space for about 60 more shots' stacks, and a flood of clicks at the top row:
# the shots that get no stack do not fly, and the game plays on to its end screen (red
# "Game Over" text over the wall's middle) and goes on after it.
start_game(game=True)
limit(f"--as={(int(status('VmSize')) + 65536) * 1024}")
aim_at(20)
await_(60, "address space for 60 shots: a flood of clicks plays to Game Over", lambda: flood() and game_over())
click(50, 0.005)
new_game()  # and on
# None left at all: no shot flies, and the window goes on painting the bar.
limit(f"--as={int(status('VmSize')) * 1024}")
check("no address space left: a flood of clicks, and the bar still moves", flood() and wait_for(10, bar_moves))

# A game's frames fill the connection to a stopped X server within a second or two,
# and the user-interface thread blocks writing them; the alarm ends the program.
start_game(game=True)
S.xvfb.send_signal(signal.SIGSTOP)
time.sleep(2)
expect_exit(0, "SIGTERM with the X server stopped in a game", signal.SIGTERM)
S.xvfb.send_signal(signal.SIGCONT)

start_sound_server()
start_game(game=True)
aim_at(100)
click_heard(5) or fail("no cue before the display went")
expect_exit(1, "display lost during a cue", S.xvfb.terminate)
last = open(f"{WORK}/app.err").read().splitlines()[-1]
check(last, re.match("zarpeta: .*pantalla", last))


# The window goes on fitting the screen, border included, when the screen shrinks and
# grows again under it (scale.py fits it at start). Meanwhile no thread can be started,
# yet the frame at each new scale, which Qt's painting splits between the threads of its
# pool, is painted.
start_display()
start_game(*NOBODY.split(), game=True)
limit(threads(), *NOBODY.split())
for w, h in ((800, 600), (1280, 1024)):
    mode = f"zarpeta-{w}x{h}"  # a new mode of that size on Xvfb's one output, at 96 dots an inch
    run("xrandr", "--newmode", mode, "0", *[str(w)] * 4, *[str(h)] * 4)
    run("xrandr", "--addmode", "screen", mode)
    run("xrandr", "--output", "screen", "--mode", mode, "--fb", f"{w}x{h}", "--dpi", "96")
    S.screen_w, S.screen_h, widest = w, h, min(w, F.PlayAreaWidth)
    # The window wholly on the screen, and at least nine tenths as wide as it may be
    # there: the play area is drawn at an exact scale, which seldom fills the room.
    wait_for(10, lambda: window_now() or on_screen() and widest * 9 // 10 <= S.w <= widest) or \
        fail(f"{S.w}x{S.h} at {S.x0},{S.y0} on {w}x{h}")
    wait_for(10, bar_moves) or fail(f"the window froze at {w}x{h}")
    note(f"on {w}x{h}: {S.w}x{S.h} at {S.x0},{S.y0}")
