#!/bin/bash
# Types into the real editor under Xvfb with X11 key events: a line typed, Ctrl+Z, another typed,
# Ctrl+S; the saved program must differ from the original by exactly the second line.
# Arguments: the product directory and the source tree.
set -u
PRODUCT=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool
e2e_workspace "$PRODUCT" ruxedit_type
cp "$SOURCE/examples/conveyor_line.rux" "$WORK/p.rux"
e2e_display
# Typed without activating the window from outside: the editor gives itself the keyboard.
e2e_start_editor '^RUX Editor - \[p.rux' "$WORK/p.rux"

# Caret to the top; typing there starts a new line below the header row.
xdotool key --delay 50 ctrl+Home
xdotool type --delay 40 'A'
xdotool key --delay 50 ctrl+z
xdotool type --delay 40 'B% = 2'
xdotool key --delay 50 ctrl+s
for _ in $(seq 50); do
    ! cmp -s "$SOURCE/examples/conveyor_line.rux" "$WORK/p.rux" && break
    sleep 0.1
done

"$PRODUCT/rux" text "$SOURCE/examples/conveyor_line.rux" >"$WORK/before.txt" || fail "rux text of the original"
"$PRODUCT/rux" text "$WORK/p.rux" >"$WORK/after.txt" || fail "rux text of the saved program"
changes=$(diff "$WORK/before.txt" "$WORK/after.txt" | grep -E '^[<>]' | tr -d '\r')
[ "$changes" = "> B% = 2" ] || { diff "$WORK/before.txt" "$WORK/after.txt"; fail "saved program differs by more than the typed line"; }
echo "typed, undone, typed again and saved: one new line"
