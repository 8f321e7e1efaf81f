# SPDX-License-Identifier: MIT
# Under the window manager named second: the window asks for a title bar with no
# buttons yet stays closable and minimisable, and neither resizable nor maximisable;
# its frame is centred on the work area; it minimises and comes back; Alt+F4 ends it
# with code 0. At 1.5x the frame is centred too: the manager counts its frame in device
# pixels, Qt its geometry in logical; its wall is drawn at the device's pixels, every line
# two wide; and _NET_CLOSE_WINDOW (a task bar's close) during the game ends it with code 0.
# Moved by its user, the window stays there when the manager is restarted. On a small
# screen with panels along its top and bottom, the frame lies centred inside the work
# area left between them, the play area shown smaller.
# With "wayland" after the manager's name (mutter), the same in GNOME's Wayland session,
# but for the restart and the panels (a compositor takes its Xwayland with it): the
# program, left to choose, goes through Xwayland, where mutter draws the frame asked
# for, rather than to Wayland, where Qt would draw its own with a maximise button.
from driver import *

WM, WAYLAND = ARGS[0], ARGS[1:] == ["wayland"]
need("wmctrl")
start_display(1920, 1080)
start_wm(WM, WAYLAND)
start_game()

# Functions move, minimise and close; decorations title and border alone.
hints = prop(S.win, "_MOTIF_WM_HINTS")
check(f"no buttons asked for: {hints}", hints == [3, 0x2C, 0xA, 0, 0])
allowed = {S.x.get_atom_name(atom).split("_ACTION_")[1] for atom in prop(S.win, "_NET_WM_ALLOWED_ACTIONS")}
check(f"{WM} allows closing, minimising and moving, neither resizing nor maximising: {allowed}",
      {"CLOSE", "MINIMIZE", "MOVE"} <= allowed and not {"RESIZE", "MAXIMIZE"} & allowed)


def frame_centred():
    # The outer frame, as the manager reports it, centred on the work area within 1 px.
    # With no panel KWin sets no _NET_WORKAREA: the work area is then the screen, as for Qt.
    left, right, top, bottom = window_now() or prop(S.win, "_NET_FRAME_EXTENTS") or (0, 0, 0, None)
    area = (prop(root(), "_NET_WORKAREA") or [0, 0, S.screen_w, S.screen_h])[:4]
    frame = S.frame = (S.x0 - left, S.y0 - top, S.w + left + right, S.h + top + (bottom or 0))  # x, y, width, height
    return bottom is not None and all(abs(2 * (frame[i] - area[i]) + frame[i + 2] - area[i + 2]) <= 2 for i in (0, 1))


def centred(what, test):
    wait_for(10, frame_centred) or fail(f"frame {S.frame} is not centred on {prop(root(), '_NET_WORKAREA')}")
    check(f"{what}: frame {S.frame} centred on the work area; client area {S.w}x{S.h}", test())


centred("1x", lambda: (S.w, S.h) == (F.PlayAreaWidth, F.PlayAreaHeight))

if not WAYLAND:
    # The manager killed and started again frames the window anew where it was.
    moved_to = (S.x0 - 300, S.y0 + 200)
    S.win.configure(x=moved_to[0], y=moved_to[1]) or S.x.sync()
    wait_for(10, lambda: window_now() or (S.x0, S.y0) == moved_to) or fail(f"at {S.x0},{S.y0}, not {moved_to}")
    on_root = lambda: S.win.query_tree().parent == root()
    stop(*S.wm)
    await_(10, f"the window lost its frame when {WM} ended", on_root)
    start_wm(WM)
    await_(30, f"{WM} framed the window again", lambda: not on_root())
    open_menu()  # once the menu opens, the program has seen the new frame's extents
    close_menu()
    # Metacity and mutter leave the window where its frame was, a title bar higher.
    title = window_now() or prop(S.win, "_NET_FRAME_EXTENTS")[2]
    check(f"moved to {moved_to}, and at {S.x0},{S.y0} after {WM} restarted",
          S.x0 == moved_to[0] and moved_to[1] - title <= S.y0 <= moved_to[1])

window_state = lambda state: (prop(S.win, "WM_STATE") or [0])[0] == state
run("xdotool", "windowminimize", str(S.win.id))
await_(10, "minimised", window_state, 3)  # IconicState
run("wmctrl", "-i", "-a", str(S.win.id))
await_(10, "restored", window_state, 1)  # NormalState

# A key that comes before the manager has given the window the focus is lost: again.
for attempt in range(3):
    run("xdotool", "windowactivate", "--sync", str(S.win.id))
    wait_for(5, lambda: run("xdotool", "getactivewindow").strip() == str(S.win.id)) and key("Alt_L+F4")
    if wait_for(5, lambda: not app_running(), may_end=True):
        break
expect_exit(0, "Alt+F4")

start_game(game=True, QT_SCALE_FACTOR="1.5")
centred("1.5x", lambda: (S.w, S.h) == (F.PlayAreaWidth * 3 // 2, F.PlayAreaHeight * 3 // 2))
expect_sharp(f"at 1.5x under {WM}")
expect_exit(0, "_NET_CLOSE_WINDOW during a game at 1.5x", lambda: run("wmctrl", "-i", "-c", str(S.win.id)))

if not WAYLAND:
    stop(*S.wm, S.xvfb)
    start_display(1024, 600)
    # Two panels, as a desktop's task bars: dock windows along the screen's top and
    # bottom edges that reserve their strips from the work area (_NET_WM_STRUT_PARTIAL).
    atom, screen = S.x.intern_atom, S.x.screen()
    for y, strut in ((0, [0, 0, 27, 0, 0, 0, 0, 0, 0, 1023, 0, 0]), (573, [0, 0, 0, 27, 0, 0, 0, 0, 0, 0, 0, 1023])):
        panel = screen.root.create_window(0, y, 1024, 27, 0, screen.root_depth, background_pixel=screen.black_pixel)
        panel.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32, [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        panel.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32, strut)
        panel.map()
    S.x.sync()  # before the manager starts
    start_wm(WM)
    await_(10, f"{WM} leaves 0,27 1024x546 as the work area",
           lambda: prop(root(), "_NET_WORKAREA")[:4] == [0, 27, 1024, 546])
    start_game()
    centred("1024x600 with 27 px panels", lambda: S.w < F.PlayAreaWidth)
