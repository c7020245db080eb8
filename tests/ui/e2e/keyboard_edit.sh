#!/bin/bash
# The keys of everyday editing as X11 delivers them, on a display without a window manager: plain
# text another client (xclip) put on the clipboard pasted with Ctrl+V and copied back, as plain text
# and as the editor's private target TVED1RUX, with the primary selection left alone; then text,
# Enter and keypad Enter with automatic indentation, Tab, Backspace, Delete, Ctrl+Z and Ctrl+Y,
# characters beyond ASCII, then Ctrl+F4 answered with Enter (Yes: saved and closed) and File > Exit
# by the mnemonics. The saved bytes must be exactly what these keys make.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xwininfo xclip
e2e_workspace "$PRODUCT" ruxedit_keys
e2e_open_copy "$SOURCE/examples/conveyor_line.rux"

# Another client owns the clipboard; the editor pastes its plain text on a new line below the header.
printf 'P1%% = 7' | xclip -selection clipboard -i
xdotool key --delay 50 ctrl+Home
xdotool key --delay 50 ctrl+v
# The pasted line, selected and copied by the editor.
xdotool key --delay 50 shift+Home
xdotool key --delay 50 ctrl+c
sleep 0.5
plain=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r')
[ "$plain" = "P1% = 7" ] || fail "plain text read back: '$plain'"
xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx TVED1RUX || fail "the clipboard offers no TVED1RUX target"
private=$(xclip -selection clipboard -t TVED1RUX -o 2>/dev/null | tr -d '\r')
[ "$(printf '%s\n' "$private" | head -1)" = '$*TORVEL/RUX-V1' ] || fail "TVED1RUX lacks the header line: '$private'"
printf '%s\n' "$private" | grep -qx ':P1% = 7' || fail "TVED1RUX lacks the copied line: '$private'"
[ -z "$(xclip -selection primary -o 2>/dev/null)" ] || fail "the editor set the primary selection"

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
# xdotool types a character outside the keymap by remapping a spare key for a moment; a slow
# client that reads the key press after the mapping went back sees nothing, so give it time.
xdotool type --delay 60 'y'
for c in '°' 'é'; do xdotool type --delay 300 "$c"; sleep 0.2; done
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

# The program's bytes are Windows-1252: ° is B0, é is E9.
e2e_expect_changes "$(printf '> ab  c\n> \tx = \n> \ty\xb0\xe9\n> P1%% = 7')" "the saved program is not what the keys make"

# File > Exit by the mnemonics ends the editor.
xdotool key --delay 150 alt+f x
e2e_wait_exit "the editor still runs after File > Exit"
echo "pasted from xclip and copied back, typed, indented, undone and redone, closed with the question"
echo "answered and exited from the menu"
