#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shellcheck disable=SC2154  # PlayAreaWidth and the like: lib.sh reads them from tools/facts
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
. "$(dirname "$0")/lib.sh"
need_tools /usr/bin/python3
start_display

# The end of a startup notification: a "remove:" message for the launcher's id, sent to
# the root window in pieces of 20 bytes. python3-xlib is Debian's, so Debian's own
# interpreter reads it.
/usr/bin/python3 - >"$WORK/startup" 2>&1 <<'EOF' &
from Xlib import X, display
d = display.Display()
d.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
begin, more = d.intern_atom("_NET_STARTUP_INFO_BEGIN"), d.intern_atom("_NET_STARTUP_INFO")
d.sync()
print("listening", flush=True)
message = b""
while b"\0" not in message:
    event = d.next_event()
    if event.type == X.ClientMessage and event.client_type in (begin, more):
        message = (b"" if event.client_type == begin else message) + event.data[1]
print(message.split(b"\0")[0].decode())
EOF
wait_for 10 grep -q listening "$WORK/startup" || fail "no startup watcher: $(cat "$WORK/startup")"
DESKTOP_STARTUP_ID=zarpeta-e2e_TIME1 start_game
wait_for 10 grep -qx "remove: ID=zarpeta-e2e_TIME1" "$WORK/startup" ||
    fail "the startup notification was not ended: $(cat "$WORK/startup")"
note "the window ended its launcher's startup notification"

[ "$WIN_W" = "$PlayAreaWidth" ] && [ "$WIN_H" = "$PlayAreaHeight" ] || fail "client area is ${WIN_W}x$WIN_H"
[ "$WIN_X" = $(((SCREEN_WIDTH - WIN_W) / 2)) ] && [ "$WIN_Y" = $(((SCREEN_HEIGHT - WIN_H) / 2)) ] ||
    fail "window at $WIN_X,$WIN_Y is not centred"
note "client area ${WIN_W}x$WIN_H centred at $WIN_X,$WIN_Y; menu bar $MENU_H px"
xprop -id "$WIN" _NET_WM_ICON | grep -q 'Icon (' || fail "the window has no icon"
note "the window has its icon"

screenshot idle
play_region idle inside "$ControlImageWidth" $((PLAY_VISIBLE_H - 1)) 0 0
only_colour inside "$ColourSilver" || fail "the play area is not all silver before the first game"
[ "$(pixel idle $((WIN_X + WIN_W - 1)) $((WIN_Y + MENU_H + 100)))" = "$ColourGrey" ] || fail "no right border"
note "silver inside a grey border"

# The menu bar carries its one title near its left end and nothing on the right.
region idle title 100 "$MENU_H" "$WIN_X" "$WIN_Y"
region idle barright 100 $((MENU_H - 2)) $((WIN_X + WIN_W - 150)) $((WIN_Y + 1))
! only_colour title "$(pixel idle $((WIN_X + 1)) $((WIN_Y + 1)))" || fail "no title in the menu bar"
[ "$(convert "$WORK/barright.png" -format '%k' info:)" = 1 ] || fail "more than one menu title"

# items SHOT: the open menu's Nuevo and Autor on the screen, the pointer parked on the
# menu bar so that no item is highlighted.
items() {
    point_at $((WIN_X + 30)) $((WIN_Y + MENU_H / 2))
    screenshot "$1"
    for item in Nuevo Autor; do
        item_row $item
        region "$1" "$1_$item" $((POPUP_W - 4)) $((ROW_H - 4)) $((POPUP_X + 2)) $((ROW_Y + 2))
    done
}
open_menu
items enabled
close_menu
note "menu Funciones opens"

new_game
note "Nuevo shows the wall"
wait_for 5 bar_moves || fail "the bar does not move"
note "the bar moves"
# Rows below the score line: a shot over its text would be taken for text.
/usr/bin/python3 "$HERE/shots.py" "$PLAY_X" "$PLAY_Y" 12 95 215 335 455 >"$WORK/shots.out" ||
    fail "a shot was seen at too few places: $(grep '^shot' "$WORK/shots.out")"
note "$(grep '^shot' "$WORK/shots.out" | cut -d';' -f1 | tr '\n' ' ')"

# Greyed: Nuevo's pixels change while Autor stays as it was.
open_menu
items in_game
same_image enabled_Autor in_game_Autor || fail "Autor looks different in a game"
! same_image enabled_Nuevo in_game_Nuevo || fail "Nuevo is not greyed in a game"
close_menu
note "Nuevo greyed while the game runs"

choose Autor
wait_for 5 find_titled Programador || fail "no window titled Programador"
BOX=$FOUND
wait_for 5 bar_moves || fail "the bar stopped while the box is open"
note "Autor opened Programador; the bar moves while it is open"
xdotool windowfocus --sync "$BOX" key Return
wait_for 5 eval '! find_titled Programador' || fail "Return did not close the box"
note "Return closed the box"

aim_at 100
click
choose Salir
expect_exit 0 "Salir during a game"
start_game
choose Salir
expect_exit 0 "Salir before a game"

start_atspi
start_game
wait_for 120 heard 'play canvas Área de juego' || fail "over AT-SPI: $(cat "$WORK/atspi.log")"
heard 'window frame Zarpeta' || fail "over AT-SPI: $(cat "$WORK/atspi.log")"
new_game
wait_for 20 heard 'Nuevo enabled 0' && wait_for 20 heard 'description Bloques Destruidos 0' ||
    fail "a new game was not told: $(cat "$WORK/atspi.log")"
shoot_row 5
wait_for 20 heard 'description Bloques Destruidos [1-9][0-9]*' ||
    fail "the score was not told: $(tail -n 3 "$WORK/atspi.log")"
aim_at 20  # the top row's shots meet the bar whenever it passes: the flood ends the game
wait_for 120 flood heard 'description Bloques Destruidos [0-9]+\. (Game Over|Ganaste)' ||
    fail "the end was not told: $(tail -n 3 "$WORK/atspi.log")"
wait_for 20 heard 'Nuevo enabled 1' || fail "Nuevo enabled again was not told"
told=$(grep -c description "$WORK/atspi.log")
note "AT-SPI: frame Zarpeta, canvas Área de juego; $told descriptions told, the last:" \
    "$(grep description "$WORK/atspi.log" | tail -n 1 | cut -d' ' -f2-)"
choose Salir
expect_exit 0 "Salir after the end"
