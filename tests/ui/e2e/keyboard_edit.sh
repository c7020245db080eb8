#!/bin/bash
# The keys of everyday editing as X11 delivers them, on a display without a window manager: text,
# Enter and keypad Enter with automatic indentation, Tab, Backspace, Delete, Ctrl+Z and Ctrl+Y,
# characters beyond ASCII, then Ctrl+F4 answered with Enter (Yes: saved and closed) and File > Exit
# by the mnemonics. The saved bytes must be exactly what these keys make.
# Arguments: the product directory and the source tree.
set -u
PRODUCT=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xwininfo
e2e_workspace "$PRODUCT" ruxedit_keys
ORIGINAL="$SOURCE/examples/conveyor_line.rux"
cp "$ORIGINAL" "$WORK/p.rux"
e2e_display
e2e_start_editor '^RUX Editor - \[p.rux' "$WORK/p.rux"

xdotool key --delay 50 ctrl+Home
xdotool type --delay 40 'ab'
# Tab inserts two spaces; Enter after them indents the new line to the same width with one tab.
xdotool key --delay 50 Return Tab
xdotool type --delay 40 'cd'
xdotool key --delay 50 BackSpace Return
xdotool type --delay 40 'x = 1'
# Each typed character is one undo step: two undone, one redone.
xdotool key --delay 80 ctrl+z ctrl+z ctrl+y
xdotool key --delay 50 KP_Enter
xdotool type --delay 60 'y°é'
# Delete at the end of "ab" joins the line below to it.
xdotool key --delay 50 Up Up Up End Delete

# Closing asks about the change; Enter takes Yes, which saves.
xdotool key --delay 50 ctrl+F4
box=$(e2e_wait_window '^RUX Editor$')
[ -n "$box" ] || { e2e_shot keyboard_edit; fail "Ctrl+F4 asked nothing about the modified program"; }
xdotool key --delay 50 Return
e2e_wait_gone "$box" || { e2e_shot keyboard_edit; fail "Enter did not answer the question"; }
e2e_wait_saved "$WORK/p.rux" "$ORIGINAL" || fail "Yes did not save the program"
xdotool search --onlyvisible --name '^RUX Editor - \[p.rux' >/dev/null 2>&1 && { e2e_shot keyboard_edit; fail "the program window is still open"; }

e2e_text "$ORIGINAL" >"$WORK/before.txt" || fail "rux text of the original"
e2e_text "$WORK/p.rux" >"$WORK/after.txt" || fail "rux text of the saved program"
diff -a "$WORK/before.txt" "$WORK/after.txt" | grep -a -E '^[<>]' >"$WORK/changes.txt"
# The program's bytes are Windows-1252: ° is B0, é is E9.
printf '> ab  c\n> \tx = \n> \ty\xb0\xe9\n' >"$WORK/expected.txt"
cmp -s "$WORK/expected.txt" "$WORK/changes.txt" || {
    echo "expected:"; cat -A "$WORK/expected.txt"; echo "saved:"; cat -A "$WORK/changes.txt"
    fail "the saved program is not what the keys make"
}

# File > Exit by the mnemonics ends the editor.
xdotool key --delay 150 alt+f x
for _ in $(seq 100); do kill -0 "$EPID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$EPID" 2>/dev/null && { e2e_shot keyboard_edit; fail "the editor still runs after File > Exit"; }
EPID=""
echo "typed, indented, undone and redone, closed with the question answered and exited from the menu"
