#!/bin/bash
# Types into the real editor under Xvfb with X11 key events: a line typed, Ctrl+Z, another typed,
# Ctrl+S; the saved program must differ from the original by exactly the second line.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool
e2e_workspace "$PRODUCT" ruxedit_type
# Typed without activating the window from outside: the editor gives itself the keyboard.
e2e_open_copy "$SOURCE/examples/conveyor_line.rux"

# Caret to the top; typing there starts a new line below the header row.
xdotool key --delay 50 ctrl+Home
xdotool type --delay 40 'A'
xdotool key --delay 50 ctrl+z
xdotool type --delay 40 'B% = 2'
e2e_save
e2e_expect_changes "> B% = 2" "saved program differs by more than the typed line"
echo "typed, undone, typed again and saved: one new line"
