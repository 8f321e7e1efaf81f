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

# The end of a startup notification: a "remove:" message for the launcher's id.
helper startup.log startup
DESKTOP_STARTUP_ID=zarpeta-e2e_TIME1 start_game
await 10 "the window ended its launcher's startup notification" \
    grep -qx "remove: ID=zarpeta-e2e_TIME1" "$WORK/startup.log"

centre="$(((SCREEN_WIDTH - WIN_W) / 2)),$(((SCREEN_HEIGHT - WIN_H) / 2))"
check "client area ${WIN_W}x$WIN_H at $WIN_X,$WIN_Y, centred at $centre; menu bar $MENU_H px" \
    [ "${WIN_W}x$WIN_H $WIN_X,$WIN_Y" = "${PlayAreaWidth}x$PlayAreaHeight $centre" ]
check "the window has its icon" eval 'xprop -id "$WIN" _NET_WM_ICON | grep -q "Icon ("'

screenshot idle
play_region idle inside "$ControlImageWidth" $((PLAY_VISIBLE_H - 1)) 0 0
check "silver inside a grey border" eval 'only_colour inside "$ColourSilver" &&
    [ "$(pixel idle $((WIN_X + WIN_W - 1)) $((WIN_Y + MENU_H + 100)))" = "$ColourGrey" ]'

# The menu bar carries its one title near its left end and nothing on the right.
region idle title 100 "$MENU_H" "$WIN_X" "$WIN_Y"
region idle barright 100 $((MENU_H - 2)) $((WIN_X + WIN_W - 150)) $((WIN_Y + 1))
check "one title in the menu bar" eval '[ "$(colours title)" -gt 1 ] && [ "$(colours barright)" = 1 ]'

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
await 5 "the bar moves" bar_moves
# Rows below the score line: a shot over its text would be taken for text.
/usr/bin/python3 "$HERE/helpers.py" shots "$PLAY_X" "$PLAY_Y" 12 95 215 335 455 >"$WORK/shots.out" ||
    fail "a shot was seen at too few places: $(grep '^shot' "$WORK/shots.out")"
note "$(grep '^shot' "$WORK/shots.out" | cut -d';' -f1 | tr '\n' ' ')"

# Greyed: Nuevo's pixels change while Autor stays as it was.
open_menu
items in_game
check "Nuevo greyed while the game runs, Autor as it was" eval 'same_image enabled_Autor in_game_Autor &&
    ! same_image enabled_Nuevo in_game_Nuevo'
close_menu

choose Autor
await 5 "Autor opened Programador" find_titled Programador
await 5 "the bar moves while it is open" bar_moves
xdotool windowfocus --sync "$FOUND" key Return
await 5 "Return closed the box" gone find_titled Programador

aim_at 100
click
choose Salir
expect_exit 0 "Salir during a game"
start_game
choose Salir
expect_exit 0 "Salir before a game"

start_atspi
start_game
await 120 "over AT-SPI the play area is a canvas" heard 'play canvas Área de juego'
check "over AT-SPI the window is a frame named Zarpeta" heard 'window frame Zarpeta'
new_game
await 20 "a new game told: Nuevo greyed" heard 'Nuevo enabled 0'
await 20 "a new game told: its count" heard 'description Bloques Destruidos 0'
shoot_row 5
await 20 "the score told" heard 'description Bloques Destruidos [1-9][0-9]*'
aim_at 20  # the top row's shots meet the bar whenever it passes: the flood ends the game
await 120 "the end told" flood heard 'description Bloques Destruidos [0-9]+\. (Game Over|Ganaste)'
await 20 "Nuevo enabled again told" heard 'Nuevo enabled 1'
note "AT-SPI: $(grep -c description "$WORK/atspi.log") descriptions told, the last:" \
    "$(grep description "$WORK/atspi.log" | tail -n 1 | cut -d' ' -f2-)"
choose Salir
expect_exit 0 "Salir after the end"
