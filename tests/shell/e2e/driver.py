# SPDX-License-Identifier: MIT
# The one driver of the end-to-end scripts, imported by each under Debian's own
# interpreter (for python3-xlib, python3-numpy and pyatspi): a private X server, with or
# without a window manager or a nested sway; a sound server of the test's own; the
# program under test, its menu, the mouse and the keys; screenshots read pixel by pixel.
# Every wait polls with a deadline. Places, sizes, colours and the menu's items are the
# program's own facts, as zarpeta-facts prints them beside it: F.PlayAreaWidth,
# F.ColourSilver (0xRRGGBB, as a screenshot's pixels), F.FunctionItems, ...
#
# A check says what it found: check(WHAT, VALUE) prints "ok: WHAT" or fails with
# "FAIL: WHAT: not so"; await_(SECONDS, WHAT, TEST, ARGS...) polls TEST until the
# deadline. WHAT names the values it was made of, so a failure shows them, with the
# program's standard error and the tail of every log. The first argument of every
# script is the zarpeta executable, the rest are the script's own (ARGS).
#
# Sections: processes and checks; the X server and the window manager; sway; the sound
# server; the program and its window; screenshots; mouse, keys and menu; the game.
import atexit, contextlib, itertools, json, os, re, shutil, signal, subprocess, sys, tempfile, time
from types import SimpleNamespace


def skip(why): sys.exit(print("skipped:", why) or 77)  # CTest: skipped


try:
    import numpy as np
    from Xlib import X, Xatom, display, error, ext  # Xatom for the scripts
    from Xlib.ext import xtest
except ImportError:
    skip("python3-xlib or python3-numpy is not installed")
# XTest alone of the extensions: python3-xlib 0.33 fails to load one whose events a
# second server (an Xwayland) numbers otherwise.
ext.__extensions__ = [("XTEST", "xtest")]
ZARPETA, ARGS, WORK, PROCS = sys.argv[1], sys.argv[2:], tempfile.mkdtemp(prefix="zarpeta-e2e."), []
# The run's state: the program (app) and its window; the servers; the X connections, x
# for windows and properties (root() its root window) and screen (the Xvfb) for input
# and screenshots; whether the program runs under sway.
S = SimpleNamespace(app=None, xvfb=None, wm=[], sound=[], sway=False, settings=None, menu=0, screen_w=0, screen_h=0)
F = SimpleNamespace(**{name: int(value, 16) if name.startswith("Colour") else int(value) if value.isdigit()
                       else value for name, value in (line.split("=", 1) for line in subprocess.check_output(
                           [f"{os.path.dirname(ZARPETA)}/zarpeta-facts"], text=True).splitlines())})
atexit.register(lambda: stop(*reversed(PROCS)) or shutil.rmtree(WORK, ignore_errors=True))
[signal.signal(number, lambda *_: sys.exit(1)) for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)]


def fail(what):  # with the program's standard error and the tail of every log
    print("FAIL:", what, file=sys.stderr, flush=True)
    subprocess.run("tail -v -n 20 app.err; tail -v -n 3 *.log", shell=True, cwd=WORK, stdout=sys.stderr,
                   stderr=subprocess.DEVNULL)
    sys.exit(1)


def note(what): print("ok:", what, flush=True)
def check(what, value): note(what) if value else fail(f"{what}: not so")
def await_(seconds, what, *test): note(what) if wait_for(seconds, *test) else fail(f"{what}: not so after {seconds} s")
def need(*tools): [shutil.which(tool) or skip(f"{tool} is not installed") for tool in tools]
def run(*command, **options): return subprocess.run(command, **{"capture_output": True, "text": True, **options}).stdout
def env(**values): return {**os.environ, **values}
def said(words): return sum(words in line for line in open(f"{WORK}/app.err"))  # lines of standard error


def passes(test, *args):
    with contextlib.suppress(error.XError, OSError):  # a window or a process gone meanwhile, a region off the screen
        return test(*args)
    return False


def wait_for(seconds, test, *args, may_end=False):
    # Polls until TEST passes and returns what it gave; false at the deadline. While the
    # program under test is meant to run, its early end ends the wait, so one that could
    # not start is reported at once with its standard error.
    deadline = time.monotonic() + seconds
    while not (found := passes(test, *args)) and time.monotonic() < deadline:
        if S.app and S.app.poll() is not None and not may_end:
            fail(f"the program ended while waiting for: {getattr(test, '__name__', test)}")
        time.sleep(0.05)
    return found


def spawn(log, *command, stdout=None, **options):
    # The command in the background, its output (or its errors, given STDOUT) added to
    # WORK/LOG; stopped at the end, the last started first.
    output = open(f"{WORK}/{log}", "ab")
    PROCS.append(subprocess.Popen(command, stdout=stdout or output, stderr=output, **options))
    return PROCS[-1]


def stop(*processes):
    # Ends each process; one that has not ended 10 s after being asked to (a window
    # manager, now and then) is killed outright.
    for process in (process for process in processes if process and process.poll() is None):
        process.terminate()
        process.send_signal(signal.SIGCONT)
        wait_for(10, lambda: process.poll() is not None, may_end=True) or process.kill() or process.wait()


def session_bus():  # a session bus daemon of its own, and its address
    need("dbus-daemon", "dbus-send")
    bus = spawn("bus.log", "dbus-daemon", "--session", "--nofork", "--print-address", stdout=subprocess.PIPE, text=True)
    return bus, bus.stdout.readline().strip()


def bus_has(address, name):
    return "true" in run("dbus-send", f"--bus={address}", "--print-reply", "--dest=org.freedesktop.DBus",
                         "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", f"string:{name}")


# ---- The X server and the window manager -----------------------------------------


def start_display(width=1280, height=1024, depth=24):
    # Xvfb picks a free display number itself and writes it, its line in one piece, once it
    # accepts clients (nothing if it ends first); the pipe stays open, as one closed early
    # ends the server. Without -noreset it resets whenever its last client leaves, and
    # refuses the clients that connect during the reset.
    need("Xvfb", "xdotool")
    S.xvfb = spawn("xvfb.log", "Xvfb", "-noreset", "-displayfd", "1", "-screen", "0", f"{width}x{height}x{depth}",
                   "-nolisten", "tcp", stdout=subprocess.PIPE, text=True)
    os.environ["DISPLAY"] = f":{S.xvfb.stdout.readline().strip() or fail('Xvfb did not start')}"
    [os.environ.pop(name, None) for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")]
    S.x = S.screen = display.Display()
    S.screen_w, S.screen_h, S.settings = width, height, None  # no settings daemon on a new display yet


def set_dpi(dpi):
    # Xft/DPI as a desktop's settings daemon gives it (XSETTINGS): xsettingsd, which reads
    # its file again on SIGHUP; once it owns the screen's settings selection.
    need("xsettingsd")
    open(f"{WORK}/xsettings", "w").write(f"Xft/DPI {dpi * 1024}\n")
    if S.settings:
        return S.settings.send_signal(signal.SIGHUP)
    S.settings = spawn("xsettingsd.log", "xsettingsd", "-c", f"{WORK}/xsettings")
    owner = lambda: S.x.get_selection_owner(S.x.intern_atom("_XSETTINGS_S0")) != X.NONE
    wait_for(10, owner, may_end=True) or fail("xsettingsd took no settings selection")


def root(): return S.x.screen().root


def prop(window, name):  # the property's values as a list, empty if it has none
    return list(value.value) if (value := window.get_full_property(S.x.intern_atom(name), X.AnyPropertyType)) else []


def start_wm(name, wayland=False):
    # A window manager on the display, once it has taken the screen; its session bus is
    # a daemon of its own, stopped with it. Mutter needs telling it is on X11; KWin's
    # shortcuts (Alt+F4) are served by kglobalaccel5, started here before it so that the
    # bus does not start one that would outlive the test. With WAYLAND, GNOME's Wayland
    # session: mutter a compositor nested in the Xvfb, drawing its output 1:1 into it,
    # with an Xwayland, which S.x and DISPLAY then name, as mutter tells a command it runs
    # once it is ready.
    home, helper = f"{WORK}/wm-run", ["kglobalaccel5"] if name == "kwin_x11" else []
    command = {"mutter": ["mutter", "--x11", "--sm-disable"]}.get(name, [name])
    if wayland:
        os.makedirs(home, mode=0o700)
        command = ["env", f"XDG_RUNTIME_DIR={home}", f"MUTTER_DEBUG_DUMMY_MODE_SPECS={S.screen_w}x{S.screen_h}",
                   "mutter", "--wayland", "--nested", "--sm-disable", "--", "sh", "-c",
                   f'echo "$DISPLAY $XAUTHORITY $WAYLAND_DISPLAY" > {WORK}/session; exec tail --pid=$PPID -f /dev/null']
    need(name, *helper)
    bus, address = session_bus()
    options = {"env": env(DBUS_SESSION_BUS_ADDRESS=address, HOME=WORK)}
    S.wm = [spawn("helper.log", *helper, **options), bus] if helper else [bus]
    helper and not wait_for(30, bus_has, address, "org.kde.kglobalaccel") and fail("no kglobalaccel5")
    S.wm.insert(0, spawn("wm.log", *command, **options))
    if wayland:
        session = wait_for(30, lambda: open(f"{WORK}/session").read().split()) or fail("mutter did not start")
        number, auth, socket = session
        os.environ.update(DISPLAY=number, XAUTHORITY=auth, WAYLAND_DISPLAY=f"{home}/{socket}", XDG_RUNTIME_DIR=home)
        S.x = display.Display()
    wait_for(30, lambda: (S.wm[0].poll() is None or fail(f"{name} ended")) and
             prop(root(), "_NET_SUPPORTING_WM_CHECK")) or fail(f"{name} did not start")


# ---- sway -------------------------------------------------------------------------


def start_sway(width, height):
    # sway nested in a private Xvfb of WIDTH x HEIGHT (wlroots' X11 backend, drawing with
    # pixman): its output is a window at the screen's top-left, its pointer and keyboard
    # the Xvfb's, so that screenshots and XTest reach it as on X. It refuses to run as
    # root, so under root it runs as nobody. Everything else reaches it by its sockets' full
    # paths, with no DISPLAY, and keeps a private runtime folder; the windows are the
    # compositor's tree.
    need("sway", "swaymsg")
    start_display(width, height)
    home, runtime, nobody = f"{WORK}/sway", f"{WORK}/runtime", []
    [os.mkdir(folder, 0o700) for folder in (home, runtime)]
    open(f"{home}/sway.conf", "w").write("xwayland disable\ndefault_border none\ndefault_floating_border none\n"
                                         'for_window [app_id=".*"] floating enable\n')
    if os.getuid() == 0:
        os.chmod(WORK, 0o711)
        os.chown(home, 65534, 65534)
        nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
    os.environ["SWAYSOCK"] = f"{home}/ipc"
    spawn("sway.log", "env", "-i", f"PATH={os.environ['PATH']}", f"HOME={home}", f"XDG_RUNTIME_DIR={home}",
          f"SWAYSOCK={home}/ipc", f"DISPLAY={os.environ.pop('DISPLAY')}", "WLR_BACKENDS=x11", "WLR_RENDERER=pixman",
          *nobody, "sway", "-c", f"{home}/sway.conf")
    wait_for(30, run, "swaymsg", "-t", "get_outputs") or fail("sway did not start")  # printed once it answers
    os.environ["WAYLAND_DISPLAY"] = next(f"{home}/{n}" for n in os.listdir(home) if re.fullmatch(r"wayland-\d+", n))
    os.environ["XDG_RUNTIME_DIR"], S.sway = runtime, True


def sway_window(title):
    # The program's toplevel titled TITLE in sway's tree: its shell (xdg_shell when
    # native), and the x, y, width and height of its content (all of it: no borders).
    walk = lambda node: [node] + [n for c in node.get("nodes", []) + node.get("floating_nodes", []) for n in walk(c)]
    return next(((node["shell"], *map(node["rect"].get, ("x", "y", "width", "height")))
                 for node in walk(json.loads(run("swaymsg", "-t", "get_tree") or "{}"))
                 if node.get("pid") == S.app.pid and node["name"] == title), None)


# ---- The sound server -----------------------------------------------------------


def start_sound_server(server="pulseaudio"):
    # A sound server of the test's own, PulseAudio or PipeWire with its PulseAudio server
    # and session manager, with one null sink ("zarpeta_null") recorded from its monitor
    # into rec.raw (16-bit mono, 44,100 Hz). The program and parec reach it through
    # PULSE_SERVER. A second call starts it again on the same socket.
    home = f"{WORK}/sound"
    part = lambda *command: spawn("sound.log", *command, env=env(HOME=home, XDG_RUNTIME_DIR=home))
    need("parec", "pactl", server)
    os.makedirs(home, exist_ok=True)
    # Either server's socket is its runtime folder's pulse/native; a stopped one's is removed first.
    os.environ["PULSE_SERVER"] = f"unix:{home}/pulse/native"
    run("rm", "-rf", f"{home}/pulse", *[f"{home}/{name}" for name in os.listdir(home) if "pipewire-0" in name])
    if server == "pipewire":
        bus, os.environ["DBUS_SESSION_BUS_ADDRESS"] = session_bus()  # else the session manager leaves
        started = [bus, part("pipewire")]
        # The session manager and the PulseAudio server need the core's socket.
        wait_for(20, os.path.exists, f"{home}/pipewire-0") or fail("no pipewire socket")
        started += [part("wireplumber"), part("pipewire-pulse")]
    else:
        started = [part("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                        "--log-target=stderr", "-L", "module-native-protocol-unix auth-anonymous=1")]
    wait_for(20, run, "pactl", "info") or fail("the sound server did not start")  # nothing printed until it answers
    run("pactl", "load-module", "module-null-sink", "sink_name=zarpeta_null", "rate=44100")
    start = recorded()
    started.append(spawn("parec.log", "parec", "-d", "zarpeta_null.monitor", "--format=s16le", "--rate=44100",
                         "--channels=1", "--latency-msec=10", stdout=open(f"{WORK}/rec.raw", "ab")))
    S.sound = started[::-1]
    wait_for(20, lambda: recorded() > start + 8820) or fail("nothing is recorded from the null sink")


# The bytes recorded so far.
def recorded(): return os.path.getsize(f"{WORK}/rec.raw") if os.path.exists(f"{WORK}/rec.raw") else 0


def cues(start_byte):
    # The cues in the recording from START_BYTE, where it stood when the mouse was
    # pressed: in ms after that point, the start of the first loud sound and of the first
    # loud low sound after it that fills most of 120 ms (a block hit: the bar's knock and
    # the falling end of the shot's own sweep are far shorter), or None; None when nothing
    # loud follows.
    samples = np.fromfile(f"{WORK}/rec.raw", "<i2", offset=start_byte // 2 * 2).astype(float)
    parts = samples[:len(samples) // 441 * 441].reshape(-1, 441)  # 10 ms windows at 44,100 Hz
    loud = np.sqrt((parts ** 2).mean(1)) > 3000
    if not loud.any():
        return None
    # Low: loud, with zero crossings at 300 Hz or fewer.
    low = loud & (np.diff(parts < 0, axis=1).sum(1) * 50 <= 300)
    hit = next((i for i in range(loud.argmax() + 1, len(low)) if low[i] and low[i:i + 12].sum() >= 8), None)
    return np.flatnonzero(abs(samples) > 1500)[0] * 1000 // 44100, hit and hit * 10


def expect_cues():
    # The shot cue within 0.5 s of the click at S.pressed_at, the block hit's low cue after
    # it, from a program that found its sound output.
    said("sin sonido") and fail("the program found no sound output")
    heard = lambda: (found := cues(S.pressed_at)) and found[1] and found
    shot, low = wait_for(3, heard) or fail(f"no low cue after the click (cues at: {cues(S.pressed_at)})")
    check(f"shot cue {shot} ms after the click, the block hit's low cue at {low} ms", shot < 500 and low > shot)


def click_heard(seconds):  # a click, and a cue in the recording within SECONDS of it
    start = recorded()
    return click() and wait_for(seconds, cues, start)


# ---- The program and its window -------------------------------------------------


def start_game(*wrapper, game=False, window=True, **environment):
    # Stops the program started before, if it still runs, and starts it as S.app, under
    # WRAPPER, with ENVIRONMENT added, and (unless not WINDOW) waits for its window, then
    # with GAME chooses Nuevo: S.win, its place and size (window_now); S.menu, the menu
    # bar's height (found as the play area's top border row).
    stop_game()
    open(f"{WORK}/app.err", "w").close()  # each run's own
    S.app = spawn("app.err", *wrapper, ZARPETA, stdout=open(f"{WORK}/app.out", "w"), env=env(**environment))
    if window:
        S.win = wait_for(30, find_titled, "Zarpeta") or fail("after 30 s, no visible window named Zarpeta")
        S.menu = wait_for(10, menu_height) or fail("after 10 s, no play-area border under the menu bar")
        window_now()
        game and new_game()


def menu_height():
    # The first row of the border's colour in the window's middle column, wherever the
    # window manager has put the window by now; 0 while there is none.
    return int((window_now() or grab(S.x0 + S.w // 2, S.y0, 1, min(200, S.h)) == F.ColourGrey).argmax())


def app_running(): return S.app.poll() is None
def on_screen(): return S.x0 >= 0 and S.y0 >= 0 and S.x0 + S.w <= S.screen_w and S.y0 + S.h <= S.screen_h
def stop_game(): S.app = stop(S.app)  # None once stopped


def expect_exit(code, what, act=None):
    # After ACT (a signal to send the program, or a step), the program ends within 10 s
    # with that exit code.
    act and (act() if callable(act) else S.app.send_signal(act))
    wait_for(10, lambda: not app_running(), may_end=True) or fail(f"{what}: still running after 10 s")
    ended, S.app = S.app.returncode, None
    check(f"{what}: exit code {ended}", ended == code)


def windows(override):
    # The program's visible windows that are (True) or are not override-redirect, that
    # is menus and popups as against ordinary windows.
    ids = run("xdotool", "search", "--onlyvisible", "--class", "zarpeta").split()
    found = [S.x.create_resource_object("window", int(id)) for id in ids]
    return [window for window in found if getattr(passes(window.get_attributes), "override_redirect", -1) == override]


def geometry(window):  # the window's x, y, width and height on the screen
    where, size = root().translate_coords(window, 0, 0), window.get_geometry()
    return where.x, where.y, size.width, size.height


def window_now():
    # The window's place and size now, S.x0, S.y0, S.w, S.h; so the play image's top-left
    # on the screen, S.play_x, S.play_y, and its rows shown, S.play_h; and the scale of
    # image coordinates: the window's, at a scale factor or made smaller to fit the screen.
    S.x0, S.y0, S.w, S.h = sway_window("Zarpeta")[1:] if S.sway else geometry(S.win)
    S.milli = S.w * 1000 // F.PlayAreaWidth
    border = at_scale(F.PlayAreaBorder, True)
    S.play_x, S.play_y, S.play_h = S.x0 + border, S.y0 + S.menu + border, (S.h - S.menu - border) * 1000 // S.milli


def find_titled(title):  # the program's ordinary window titled TITLE
    return sway_window(title) if S.sway else next(
        (window for window in windows(False) if passes(window.get_wm_name) == title), None)


# ---- Screenshots ----------------------------------------------------------------


def grab(x=0, y=0, w=None, h=None):
    # A screen region of the Xvfb (under a nested compositor too) as an array of rows of
    # pixels, each 0xRRGGBB as the facts' colours; in strips, since a large reply is read
    # piece by piece, each appended to all before it.
    w, h = w or S.screen_w - x, h or S.screen_h - y
    rows = max(1, 65536 // w)
    strips = [S.screen.screen().root.get_image(x, top, w, min(rows, y + h - top), X.ZPixmap, 0xFFFFFFFF).data
              for top in range(y, y + h, rows)]
    return np.frombuffer(b"".join(strips), "<u4").reshape(h, w) & 0xFFFFFF


def client(): return grab(S.x0, S.y0, S.w, S.h)  # a fresh screenshot of the window's client area


# Image pixels N as screen pixels (sizes, UP, never shrink to 0), and a fresh screenshot of
# a region in play-area image coordinates.
def at_scale(n, up=False): return (n * S.milli + 999 * up) // 1000
def look(w, h, x, y): return grab(S.play_x + at_scale(x), S.play_y + at_scale(y), at_scale(w, True), at_scale(h, True))


# ---- Mouse, keys and menu -------------------------------------------------------


def point_at(x, y): xtest.fake_input(S.screen, X.MotionNotify, x=x, y=y) or S.screen.sync()
def click_at(x, y): point_at(x, y) or click()
def flood(): return click(20, 0.005)  # twenty quick clicks


def click(times=1, delay=0.0):
    for _ in range(times):
        [xtest.fake_input(S.screen, kind, 1) for kind in (X.ButtonPress, X.ButtonRelease)]
        S.screen.sync() or time.sleep(delay)
    return True


def key(*strokes, focus=None):
    # Types the strokes one after the other on the Xvfb, each a key or keys held together
    # ("F10", "Alt_L+F4"), into the window FOCUS if given, else wherever the focus is.
    focus = ["windowfocus", "--sync", str(focus.id)] if focus else []
    run("xdotool", *focus, "key", *strokes, env=env(DISPLAY=S.screen.get_display_name()))


# The mouse over the play area at image row Y (x 800, right of the wall).
def aim_at(y): point_at(S.play_x + at_scale(800), S.play_y + at_scale(y))


def find_popup():
    # The open menu's popup: its x, y, width and height in S.popup. On sway a popup is no
    # toplevel: it is found on screen, as the box of what changed under the menu bar since
    # the screenshot taken just before the click (more than the pointer).
    S.popup = None if S.sway else next(map(geometry, windows(True)), None)
    ys, xs = np.nonzero(grab(S.x0, S.y0 + S.menu, 400, 200) != S.closed) if S.sway and app_running() else ((), ())
    if len(ys) and ys.min() <= 2 and np.ptp(ys) >= 40 and np.ptp(xs) >= 60:
        S.popup = (S.x0 + xs.min(), S.y0 + S.menu + ys.min(), np.ptp(xs) + 1, np.ptp(ys) + 1)
    return S.popup


def open_menu():
    # Opens "Funciones" and waits for its popup to settle. A click that comes while the
    # window is still settling can be lost: after a while, once more.
    for _ in range(3):
        S.closed, S.popup = window_now() or S.sway and grab(S.x0, S.y0 + S.menu, 400, 200), None
        click_at(S.x0 + 30, S.y0 + S.menu // 2)
        # Found twice at one place and size (the one seen before, then now): one still
        # being placed would take a click elsewhere.
        if wait_for(8, lambda: S.popup == find_popup() and S.popup):
            return
    fail(f"the menu Funciones did not open (the popup last seen: {S.popup})")


def close_menu():
    key("Escape")
    wait_for(5, lambda: not find_popup()) or fail("Escape did not close the menu")


def item_rows(name):  # the screen rows of the open menu's item NAME: its first, and the first after it
    items, (_, top, _, height) = F.FunctionItems.split(), S.popup
    return [top + height * (items.index(name) + edge) // len(items) for edge in (0, 1)]


def choose(name):
    # Opens the menu and clicks the item through its row's middle (Salir may end the
    # program before its popup is seen gone).
    open_menu()
    click_at(S.popup[0] + 20, sum(item_rows(name)) // 2)
    wait_for(10, lambda: not find_popup(), may_end=True) or fail(f"the menu stayed open after choosing {name}")


# ---- The game on screen ---------------------------------------------------------


def sharpness():
    # How the play area is drawn, from a fresh screenshot in device pixels: the widths of
    # the blocks' maroon and white lines across and down the wall, the silver seams
    # between two blocks, the widths of the blocks' faces across and down; and the score
    # line's ink columns, with those that repeat their left neighbour as a scaled-up copy's do.
    wall, text = look(598, 508, 20, 40), look(220, 60, 755, 0)  # the wall from its first faces
    lines, seams, faces = {F.ColourMaroon: set(), F.ColourWhite: set()}, 0, (set(), set())
    # Every third row of the wall across, and every third column down, as runs of one colour.
    for down, pixels in [(0, row) for row in wall[::3]] + [(1, column) for column in wall.T[::3]]:
        runs = [(colour, len(list(run))) for colour, run in itertools.groupby(pixels.tolist())]
        for (before, _), (colour, width), (after, _) in zip(runs, runs[1:], runs[2:]):
            colour in lines and width < at_scale(F.CellWidth) // 2 and lines[colour].add(width)
            seams += colour == F.ColourSilver and before in lines and after in lines and width < at_scale(F.CellWidth)
            (before, after) == (F.ColourWhite, F.ColourMaroon) and colour not in lines and faces[down].add(width)
    ink = (text != F.ColourSilver).any(0)
    return SimpleNamespace(maroon=lines[F.ColourMaroon], white=lines[F.ColourWhite], seams=seams, across=faces[0],
                           down=faces[1], ink=ink.sum(), repeats=(ink[1:] & (text[:, 1:] == text[:, :-1]).all(0)).sum())


def expect_sharp(what):
    # The play area drawn at the device's pixels, once its frame at the window's scale is
    # shown (under a menu bar maybe of a new height): every line of the wall one width,
    # the scale's rounded, no seam between blocks, faces within a pixel of each other,
    # and fewer than a tenth of the score's columns repeating their left neighbour (a
    # copy of the 1x text scaled up repeats one in four at 1.25, one in two at 2).
    even = lambda faces: faces and max(faces) - min(faces) <= 1
    sharp = lambda seen: seen.maroon == seen.white == {max(1, (S.milli + 500) // 1000)} and not seen.seams and \
        seen.repeats * 10 < seen.ink and even(seen.across) and even(seen.down) and seen
    seen = wait_for(10, lambda: setattr(S, "menu", menu_height()) or window_now() or sharp(sharpness())) or sharpness()
    check(f"{what}, drawn at its device pixels: {vars(seen)}", sharp(seen))


# The end screen's red "Game Over": more than 1/80 of the words' box red.
def game_over(): return (look(400, 100, F.EndX, F.EndY) == F.ColourRed).mean() * 80 > 1


def bar_moves():  # the bar's lane differs between two screenshots 0.1 s apart (the left one taken first)
    lane = lambda: look(F.BarLayerWidth, S.play_h - 1, F.BarLaneX, 0)
    return (lane() != (time.sleep(0.1) or lane())).any()


def wall_shown():
    # The top row's right-most block is not silver once a game is shown. (The first
    # block lies under the menu, whose pixels stay on the screen until the game has
    # painted over them.)
    return (look(1, 1, F.BlockLayerWidth - F.CellWidth // 2, F.CellHeight * 3 // 2) != F.ColourSilver).any()


def new_game():
    choose("Nuevo")
    await_(20, "Nuevo shows the wall", wall_shown)


def shoot_row(row):
    # Fires at the wall's right-most block in ROW (1 the top), once it stands, until it
    # turns silver; S.pressed_at is where the recording stood at the last click. A shot
    # that meets the bar is lost, and the bar sweeps 320 px a second, so a click first
    # waits a little for the lane to be clear for 150 px either side of the shot, and
    # clicks anyway when it is not: on a loaded machine a screenshot can take longer than
    # the bar stays away. Six tries meet the bar at most six times, which leaves the game
    # running (it ends at the ninth).
    top, shot_y = row * F.CellHeight, row * F.CellHeight + F.CellHeight // 2
    start = max(shot_y - 150, 0)
    lane_clear = lambda: (look(1, shot_y + 151 - start, F.BarLaneX + F.BarWidth // 2, start) == F.ColourSilver).all()
    block_gone = lambda: (look(F.CellWidth - 4, F.CellHeight - 4, F.BlockLayerWidth - F.CellWidth + 2,
                               top + 2) == F.ColourSilver).all()
    wait_for(5, lambda: not block_gone()) or fail(f"no block at the end of row {row} to shoot at")
    aim_at(shot_y - F.ShotBelowAim)
    for _ in range(6):
        wait_for(3, lane_clear)
        S.pressed_at = recorded()
        if click() and wait_for(5, block_gone):
            return note(f"a shot destroyed the right-most block of row {row}")
    fail(f"the right-most block of row {row} was never destroyed")


def watch_shots(aims, out=sys.stdout):
    # Fires a shot at each aim (the launcher's row) and watches it fly: the screen row
    # through the shot's face is read about once a millisecond while the shot crosses
    # from the launcher to the bar's lane. Writes to OUT, per shot, the click's
    # CLOCK_MONOTONIC time (for the figures' sound latency), the positions seen and the
    # time from the click to its first pixel; returns the fewest positions a shot was seen at.
    first, flown, counts = F.BarLaneRight + 2, set(range(F.ShotStartX, F.BarLaneRight, -F.ShotStep)), []
    for aim in aims:
        aim_at(aim)
        time.sleep(0.1)  # the aim reaches the game before the click
        clicked, seen = click() and time.monotonic(), {}  # each place the shot was seen at, and when first
        print(f"clicked at {time.clock_gettime_ns(time.CLOCK_MONOTONIC)} ns", file=out, flush=True)
        while time.monotonic() - clicked < 0.6:  # the lane is reached after 22 ticks, 0.34 s
            row = grab(S.play_x + first, S.play_y + aim + F.ShotBelowAim + 1, F.ShotStartX + 8 - first, 1)
            # The mark: the first six pixels in a row that are not silver, its white outline
            # one pixel left of the shot's x.
            marked = (row != F.ColourSilver).tobytes().find(b"\1" * 6)
            marked < 0 or seen.setdefault(first + marked + 1, time.monotonic() - clicked)
        counts.append(len(seen.keys() & flown))
        print(f"shot at aim {aim}: seen at {counts[-1]} of {len(flown)} positions between launcher and lane; "
              f"click to first pixel {1000 * min(seen.values(), default=float('nan')):.1f} ms", file=out, flush=True)
        time.sleep(0.4)  # the shot's flight ends before the next one
    return min(counts)
