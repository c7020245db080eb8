#!/bin/bash
# Builds a program with errors in the real editor under Xvfb with X11 key events: Ctrl+B, the result
# box closed with Enter, F12 twice to the second message, a letter typed there and Ctrl+S. The saved
# program must differ from the original by that letter, at the column the second message names.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool
e2e_workspace "$PRODUCT" ruxedit_build
e2e_open_copy "$SOURCE/examples/errors.rux"

xdotool key --delay 50 ctrl+b
for _ in $(seq 100); do [ -s "$WORK/p.ERR" ] && break; sleep 0.1; done
[ -s "$WORK/p.ERR" ] || fail "the build wrote no error file"
# The result box ("Error(s) detected") is a window of its own titled like the frame.
box=$(e2e_wait_window '^RUX Editor$')
[ -n "$box" ] || fail "no result box after the build"
# The box has the keyboard while it is open, and the program view has it again once it has closed.
xdotool key --delay 50 Return
e2e_wait_gone "$box" || fail "the result box did not close with Enter"

# The second message that names a place, as the compiler wrote it: FILE(LINE,START-END): ...
second=$(grep -E '^[^(]+\([0-9]+,[0-9]+-[0-9]+\):' "$WORK/p.ERR" | sed -n 2p)
line=$(echo "$second" | sed -E 's/^[^(]+\(([0-9]+),([0-9]+)-.*/\1/')
col=$(echo "$second" | sed -E 's/^[^(]+\(([0-9]+),([0-9]+)-.*/\2/')
[ -n "$line" ] && [ -n "$col" ] || fail "no second message in p.ERR"

xdotool key --delay 80 F12 F12
xdotool type --delay 40 'Q'
e2e_save

# Item `line` of the program is its text line: the reader's items are the compiler's lines.
e2e_changes
old=$(grep -a -E '^<' "$WORK/changes.txt" | cut -c3-)
new=$(grep -a -E '^>' "$WORK/changes.txt" | cut -c3-)
[ -n "$old" ] && [ -n "$new" ] || { cat "$WORK/editor.log"; fail "the saved program did not change"; }
[ "$(echo "$old" | wc -l)" = 1 ] || fail "more than one line changed"
expected="${old:0:$((col - 1))}Q${old:$((col - 1))}"
[ "$new" = "$expected" ] || fail "expected '$expected' (column $col of line $line), saved '$new'"
echo "built, stepped to the second message (line $line, column $col) and typed there"
