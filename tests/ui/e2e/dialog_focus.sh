#!/bin/bash
# The real editor under Xvfb as an X11 client sees it: its window's title, a screenshot of the
# drawn frame, and a second editor that exits at once. Then the keyboard after dialogs and message
# boxes, on an X server without a window manager, from X11 key events only: nothing activates or
# focuses a window from outside. Each dialog is closed, or the menu bar left, and the next key must
# reach the frame: a menu opened with Alt+letter, an accelerator, or typed text that has to land in
# the program. The saved program must differ from the original by exactly what was typed; Alt+F4
# must cancel a dialog and then end the editor, after which a new editor starts.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xwininfo import convert
e2e_workspace "$PRODUCT" ruxedit_focus
e2e_open_copy "$SOURCE/examples/conveyor_line.rux"

expected="RUX Editor - [p.rux (Infeed conveyor, line A)]"
title=$(xdotool getwindowname "$WID")
[ "$title" = "$expected" ] || fail "title is '$title', expected '$expected'"
sleep 1
e2e_shot "$E2E_NAME" || fail "no screenshot"
# A blank or half-drawn screen has a handful of colours; the frame with its icons has hundreds.
colours=$(convert "$PRODUCT/../e2e/$E2E_NAME.png" -format %k info:)
[ "$colours" -gt 100 ] || fail "the screenshot has only $colours colours"

# A second editor activates the first and exits with failure, without a window of its own and
# without handing its command line over.
cp "$WORK/p.rux" "$WORK/other.rux"
start=$(date +%s)
"$PRODUCT/ruxedit" "$WORK/other.rux" >"$WORK/second.log" 2>&1
rc=$?
[ "$rc" -eq 1 ] || fail "the second editor exited with $rc, not 1"
[ $(( $(date +%s) - start )) -lt 15 ] || fail "the second editor took too long"
count=$(xdotool search --onlyvisible --name '^RUX Editor' 2>/dev/null | wc -l)
[ "$count" -eq 1 ] || fail "$count editor windows after the second start"
sleep 0.5
[ "$(xdotool getwindowname "$WID")" = "$expected" ] || fail "the first editor opened the second one's file"

# open_dialog KEYS TITLE : presses KEYS and waits for the window titled TITLE; its id in DLG.
open_dialog() {
    xdotool key --delay 60 "$1"
    DLG=$(e2e_wait_window "$2")
    [ -n "$DLG" ] || { e2e_shot dialog_focus; fail "$1 opened no window titled '$2'"; }
}
# close_dialog KEY : closes the dialog DLG with KEY and waits for it to go.
close_dialog() {
    xdotool key --delay 60 "$1"
    e2e_wait_gone "$DLG" || { e2e_shot dialog_focus; fail "$1 did not close the dialog"; }
}

# Typed at once after start-up: a new line below the header row.
xdotool key --delay 50 ctrl+Home
xdotool type --delay 40 'a1'

# Go to line closed with Escape, then Edit > Undo by the menus' mnemonics: the '1' goes.
open_dialog ctrl+l '^Go to line$'
close_dialog Escape
xdotool key --delay 150 alt+e u
# Typing reaches the program again.
xdotool type --delay 40 '2'

# Go to line closed with Enter on item 1, the typed line: its end gets a '3'.
open_dialog ctrl+l '^Go to line$'
xdotool type --delay 40 '1'
close_dialog Return
xdotool key --delay 50 End
xdotool type --delay 40 '3'

# A second menu opened by its mnemonic from the still highlighted bar, then the bar left with
# Escape: the program has the keyboard again and takes a '4'.
xdotool key --delay 150 alt+e Escape alt+v Escape Escape
xdotool type --delay 40 '4'

# The modeless Find/Replace: a search that fails shows a box over the dialog; once the box is gone
# the dialog has the keyboard again and takes the next search, which selects "Belt"; after Escape
# the program view has the keyboard and the typed 'Q' replaces the selection.
open_dialog ctrl+f '^Find/Replace$'
find=$DLG
xdotool key --delay 50 ctrl+a
xdotool type --delay 30 'nowhere-in-it'
xdotool key --delay 50 Return
box=$(e2e_wait_window '^RUX Editor$')
[ -n "$box" ] || { e2e_shot dialog_focus; fail "no box for a search that finds nothing"; }
DLG=$box
close_dialog Escape
xdotool key --delay 50 ctrl+a
xdotool type --delay 30 'Belt'
xdotool key --delay 50 Return
DLG=$find
close_dialog Escape
xdotool type --delay 40 'Q'

# The save question of Ctrl+F4, cancelled with Escape: the program stays open, and File > Save by
# the mnemonics saves it.
open_dialog ctrl+F4 '^RUX Editor$'
close_dialog Escape
xdotool key --delay 150 alt+f s
e2e_wait_saved "$WORK/p.rux" "$ORIGINAL" || { e2e_shot dialog_focus; fail "File > Save after the question saved nothing"; }

e2e_expect_changes "$(printf '%s\n' '> a234' \
    '< // Belt speed follows the line master; a jam at the transfer photo-eye stops the belt.' \
    '> // Q speed follows the line master; a jam at the transfer photo-eye stops the belt.')" \
    "the saved program differs by more or less than the keys typed"

# Alt+F4 in a dialog cancels the dialog alone.
open_dialog ctrl+l '^Go to line$'
close_dialog alt+F4
kill -0 "$EPID" 2>/dev/null || fail "Alt+F4 in the dialog ended the editor"

# Alt+F4 ends the editor; nothing is left unsaved, so nothing is asked.
xdotool key --delay 50 alt+F4
e2e_wait_exit "the editor still runs after Alt+F4"

# The first one's lock went with it: a new editor starts.
e2e_start_editor '^RUX Editor$'
echo "title, screenshot, second editor; after every dialog and box the next key reached the frame;"
echo "Alt+F4 ended the editor and a new one started"
