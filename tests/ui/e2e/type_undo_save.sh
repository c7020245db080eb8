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
e2e_display 141 190

"$PRODUCT/ruxedit" "$WORK/p.rux" >"$WORK/editor.log" 2>&1 &
EPID=$!
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --name '^RUX Editor - \[p.rux' 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    e2e_editor_alive
    sleep 0.2
done
[ -n "$wid" ] || fail "no editor window"
sleep 1
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus "$wid"

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
