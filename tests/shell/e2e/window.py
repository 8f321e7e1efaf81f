# SPDX-License-Identifier: MIT
# With no window manager: started by a launcher, the window ends the launcher's startup
# notification once it is shown; it opens centred with a client area of the play area's
# size, the menu opens, "Nuevo" shows the wall and a moving bar, shots seen flying at
# most of their places between the launcher and the bar's lane (read from the screen),
# and "Nuevo" is grey while the game runs;
# "Autor" opens a box titled "Programador" while the game goes on, and Return closes it;
# "Salir" ends the program with code 0, during a game, before one and after its end.
# Over AT-SPI the window is a frame named Zarpeta and the play area a named canvas whose
# description follows the score and the end, told as they change, as is "Nuevo" greyed
# and enabled.
import importlib.util
from driver import *

start_display()
# The end of a startup notification: a "remove:" message for the launcher's id, sent to
# the root window in pieces of 20 bytes, the first one of a kind of its own. The program
# sends no other message.
listener, pieces = display.Display(), []
listener.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
kinds = listener.intern_atom("_NET_STARTUP_INFO_BEGIN"), listener.intern_atom("_NET_STARTUP_INFO")
start_game(DESKTOP_STARTUP_ID="zarpeta-e2e_TIME1")


def startup_ended():
    events = [listener.next_event() for _ in range(listener.pending_events())]
    pieces.extend(event.data[1] for event in events if event.type == X.ClientMessage and event.client_type in kinds)
    return b"".join(pieces).startswith(b"remove: ID=zarpeta-e2e_TIME1\0")


await_(10, "the window ended its launcher's startup notification", startup_ended)
centre = ((S.screen_w - S.w) // 2, (S.screen_h - S.h) // 2)
check(f"client area {S.w}x{S.h} at {S.x0},{S.y0}, centred at {centre}; menu bar {S.menu} px",
      (S.w, S.h, S.x0, S.y0) == (F.PlayAreaWidth, F.PlayAreaHeight, *centre))
check("the window has its icon", prop(S.win, "_NET_WM_ICON"))
# The menu bar carries its one title near its left end and nothing on the right.
bar = client()[:S.menu]
check("one title in the menu bar", len(np.unique(bar[:, :100])) > 1 and len(np.unique(bar[1:-1, -150:-50])) == 1)


def items():
    # Opens the menu and returns its Nuevo and Autor, the pointer parked on the menu bar so
    # that no item is highlighted; closes the menu.
    open_menu()
    point_at(S.x0 + 30, S.y0 + S.menu // 2)
    shot, (x, _, w, _) = grab(), S.popup
    crops = {name: shot[item_rows(name)[0] + 2:item_rows(name)[1] - 2, x + 2:x + w - 2].tobytes()
             for name in ("Nuevo", "Autor")}
    return close_menu() or crops


enabled = items()
new_game()
await_(5, "the bar moves", bar_moves)
# Rows below the score line: a shot over its text would be taken for text.
check("every shot seen at 12 of its places in flight or more", watch_shots([95, 215, 335, 455]) >= 12)
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
    key(select, "Down", focus=S.win)
    await_(5, f"{select} and Down open the menu", find_popup)
    key("Return")
    await_(20, f"{select}, Down, Return start a game", wall_shown)

# A session bus, which starts the accessibility bus when it is first asked for it, as on
# a desktop with a screen reader; the reader listens before the program starts (so that
# the program learns of a listener) to the changes it is told of: the play area's
# description, and the menu item Nuevo greyed or enabled again. Qt 6.4 sends these
# changes to no listener of one detail alone: it listens to their whole kinds.
importlib.util.find_spec("pyatspi") or skip("pyatspi is not installed")
bus, address = session_bus()
os.environ.update(DBUS_SESSION_BUS_ADDRESS=address, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
import pyatspi  # asks for the accessibility bus  # noqa: E402
from gi.repository import GLib  # noqa: E402
told = []
pyatspi.Registry.registerEventListener(lambda event: told.append(
    f"description {event.source.description}" if event.type.startswith("object:property-change:accessible-description")
    else f"{event.source.name} enabled {event.detail1}" if event.type.startswith("object:state-changed:enabled")
    else ""), "object:property-change", "object:state-changed")


def heard(pattern):  # told so far, once what has come is taken in, as a screen reader's loop does
    while GLib.MainContext.default().iteration(False):
        pass
    return any(re.fullmatch(pattern, line) for line in told)


start_game()
desktop = pyatspi.Registry.getDesktop(0)
found = lambda: next((app for app in desktop if app and app.name == "zarpeta" and app.childCount), None)
window = (wait_for(120, found) or fail("over AT-SPI no application zarpeta"))[0]
play = next(child for child in window if child.getRole() != pyatspi.ROLE_MENU_BAR)
roles = (window.getRoleName(), window.name, play.getRoleName(), play.name)
check(f"over AT-SPI the window and its play area: {roles}", roles == ("frame", "Zarpeta", "canvas", "Área de juego"))
new_game()
await_(20, "a new game told: Nuevo greyed", heard, "Nuevo enabled 0")
await_(20, "a new game told: its count", heard, "description Bloques Destruidos 0")
shoot_row(5)
await_(20, "the score told", heard, "description Bloques Destruidos [1-9][0-9]*")
aim_at(20)  # the top row's shots meet the bar whenever it passes: the flood ends the game
await_(120, "the end told", lambda: flood() and heard(r"description Bloques Destruidos [0-9]+\. (Game Over|Ganaste)"))
await_(20, "Nuevo enabled again told", heard, "Nuevo enabled 1")
expect_exit(0, "Salir after the end", lambda: choose("Salir"))
