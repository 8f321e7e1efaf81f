# SPDX-License-Identifier: MIT
# With no window manager: started by a launcher, the window ends the launcher's startup
# notification once it is shown; it opens centred with a client area of the play area's
# size, the play area is silver inside its border, the menu opens, "Nuevo" shows the
# wall and a moving bar, shots seen flying at most of their places between the launcher
# and the bar's lane (read from the screen), and "Nuevo" is grey while the game runs;
# "Autor" opens a box titled "Programador" while the game goes on, and Return closes it;
# "Salir" ends the program with code 0, during a game, before one and after its end.
# Over AT-SPI the window is a frame named Zarpeta and the play area a named canvas whose
# description follows the score and the end, told as they change, as is "Nuevo" greyed
# and enabled.
import importlib.util
from driver import *

start_display()
# The end of a startup notification: a "remove:" message for the launcher's id, sent to
# the root window in pieces of 20 bytes, the first one marked as such.
listener, message = display.Display(), [b""]
listener.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
begin, more = listener.intern_atom("_NET_STARTUP_INFO_BEGIN"), listener.intern_atom("_NET_STARTUP_INFO")
start_game(DESKTOP_STARTUP_ID="zarpeta-e2e_TIME1")


def startup_ended():
    while listener.pending_events():
        event = listener.next_event()
        if event.type == X.ClientMessage and event.client_type in (begin, more):
            message[0] = (b"" if event.client_type == begin else message[0]) + event.data[1]
    return message[0].split(b"\0")[0] == b"remove: ID=zarpeta-e2e_TIME1"


await_(10, "the window ended its launcher's startup notification", startup_ended)
centre = ((S.screen_w - S.w) // 2, (S.screen_h - S.h) // 2)
check(f"client area {S.w}x{S.h} at {S.x0},{S.y0}, centred at {centre}; menu bar {S.menu} px",
      (S.w, S.h, S.x0, S.y0) == (F.PlayAreaWidth, F.PlayAreaHeight, *centre))
check("the window has its icon", prop(S.win, "_NET_WM_ICON"))
idle = grab()
check("silver inside a grey border", idle.crop(S.play_x, S.play_y, F.ControlImageWidth, S.play_h - 1).only(
    F.ColourSilver) and idle.px(S.x0 + S.w - 1, S.y0 + S.menu + 100) == F.ColourGrey)
# The menu bar carries its one title near its left end and nothing on the right.
check("one title in the menu bar", idle.crop(S.x0, S.y0, 100, S.menu).colours() > 1 and
      idle.crop(S.x0 + S.w - 150, S.y0 + 1, 100, S.menu - 2).colours() == 1)


def items():
    # Opens the menu and returns its Nuevo and Autor, the pointer parked on the menu bar so
    # that no item is highlighted; closes the menu.
    open_menu()
    point_at(S.x0 + 30, S.y0 + S.menu // 2)
    shot, (x, _, w, _) = grab(), S.popup
    crops = {name: shot.crop(x + 2, item_row(name)[0] + 2, w - 4, item_row(name)[1] - 4).data
             for name in ("Nuevo", "Autor")}
    return close_menu() or crops


enabled = items()
note("menu Funciones opens")
new_game()
await_(5, "the bar moves", bar_moves)
# Rows below the score line: a shot over its text would be taken for text.
seen = watch_shots([95, 215, 335, 455], f"{WORK}/shots.out")
check(" ".join(line.split(";")[0] for line in open(f"{WORK}/shots.out") if line.startswith("shot")), seen >= 12)
in_game = items()
check("Nuevo greyed while the game runs, Autor as it was",
      enabled["Autor"] == in_game["Autor"] and enabled["Nuevo"] != in_game["Nuevo"])
choose("Autor")
await_(5, "Autor opened Programador", find_titled, "Programador")
await_(5, "the bar moves while it is open", bar_moves)
key("Return", focus=find_titled("Programador"))
await_(5, "Return closed the box", lambda: not find_titled("Programador"))
aim_at(100)
click()
expect_exit(0, "Salir during a game", lambda: choose("Salir"))
start_game()
expect_exit(0, "Salir before a game", lambda: choose("Salir"))
# From the keyboard: F10, as Alt, selects the menu bar; Down opens the menu, and Return
# chooses its first item, Nuevo.
for select in ("F10", "Alt_L"):
    start_game()
    key(select, focus=S.win)
    key("Down")
    await_(5, f"{select} and Down open the menu", find_popup)
    key("Return")
    await_(20, f"{select}, Down, Return start a game", wall_shown)

# A session bus with the accessibility bus, as on a desktop with a screen reader, and
# the listener (the driver run as a program) following the programs started from now on.
launcher = "/usr/libexec/at-spi-bus-launcher"
os.access(launcher, os.X_OK) and importlib.util.find_spec("pyatspi") or skip("at-spi2-core or pyatspi is not installed")
bus, address = session_bus()
os.environ.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
spawn("a11y.log", launcher, "--launch-immediately")
# Asked for before it is there, the bus would start a second launcher of its own.
wait_for(30, bus_has, address, "org.a11y.Bus") or fail("no accessibility bus")
spawn("atspi.log", sys.executable, f"{os.path.dirname(__file__)}/driver.py")
told = lambda: [line.rstrip("\n") for line in open(f"{WORK}/atspi.log")]
wait_for(60, lambda: "ready" in told()) or fail("no atspi helper")
heard = lambda pattern: any(re.fullmatch(pattern, line) for line in told())
start_game()
await_(120, "over AT-SPI the play area is a canvas", heard, "play canvas Área de juego")
check("over AT-SPI the window is a frame named Zarpeta", heard("window frame Zarpeta"))
new_game()
await_(20, "a new game told: Nuevo greyed", heard, "Nuevo enabled 0")
await_(20, "a new game told: its count", heard, "description Bloques Destruidos 0")
shoot_row(5)
await_(20, "the score told", heard, "description Bloques Destruidos [1-9][0-9]*")
aim_at(20)  # the top row's shots meet the bar whenever it passes: the flood ends the game
await_(120, "the end told", lambda: flood() and heard(r"description Bloques Destruidos [0-9]+\. (Game Over|Ganaste)"))
await_(20, "Nuevo enabled again told", heard, "Nuevo enabled 1")
descriptions = [line.split(" ", 1)[1] for line in told() if line.startswith("description")]
note(f"AT-SPI: {len(descriptions)} descriptions told, the last: {descriptions[-1]}")
expect_exit(0, "Salir after the end", lambda: choose("Salir"))
