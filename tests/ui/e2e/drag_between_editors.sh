#!/bin/bash
# Drag and drop between two running editors with real X11 mouse input: a line selected in editor A
# is dragged into editor B (each editor with its own profile, so the second is not turned away as a
# second instance). B saves the line at the drop point; A, the source of a drop into another
# program, is unchanged.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xclip import compare convert
e2e_workspace "$PRODUCT" ruxedit_dnd
cp "$SOURCE/examples/legacy_spindle.rux" "$WORK/a.rux"
cp "$SOURCE/examples/legacy_spindle.rux" "$WORK/b.rux"
e2e_display

e2e_start_editor '^RUX Editor - \[a.rux' "$WORK/a.rux"
APID=$EPID
AWID=$WID
xdotool windowmove "$AWID" 0 0 windowsize "$AWID" 790 960
# The second editor: a product folder, runtime folder and configuration of its own.
mkdir -p "$WORK/product2" "$WORK/run2" "$WORK/config2"
chmod 700 "$WORK/run2"
for f in "$PRODUCT"/*; do
    [ "$(basename "$f")" = Torvel.ini ] || ln -s "$f" "$WORK/product2/"
done
RUXEDIT_HOME="$WORK/product2" XDG_RUNTIME_DIR="$WORK/run2" XDG_CONFIG_HOME="$WORK/config2" \
    e2e_start_editor '^RUX Editor - \[b.rux' "$WORK/b.rux"
BPID=$EPID
BWID=$WID
MOREPIDS="$MOREPIDS $APID"
xdotool windowmove "$BWID" 800 0 windowsize "$BWID" 790 960
sleep 1

# shot FILE LEFT : the program view of the frame whose left edge is at LEFT, without the menu bar,
# tool bar, tree and status bar, where a selection also changes enabled states and texts.
VIEW_LEFT=260 VIEW_TOP=70
shot() {
    import -window root -crop 520x700+$(($2 + VIEW_LEFT))+$VIEW_TOP +repage "$1" 2>/dev/null
}
# changed_box A B : the box (X Y W H) of the pixels that differ between two shots, or nothing.
changed_box() {
    compare -metric AE "$1" "$2" -compose src -highlight-color white -lowlight-color black "$WORK/diff.png" 2>/dev/null
    convert "$WORK/diff.png" -format '%@' info: 2>/dev/null | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\3 \4 \1 \2/'
}
# select_row WINDOW LEFT DOWNS : focuses the window, puts the caret at the start of the row DOWNS
# rows below the top, selects to the end of that row and prints the box (X Y W H on the screen) the
# selection paints.
select_row() {
    xdotool windowfocus --sync "$1"
    xdotool key --delay 50 ctrl+Home
    for _ in $(seq "$3"); do xdotool key --delay 30 Down; done
    xdotool key --delay 50 Home
    sleep 0.3
    shot "$WORK/before.png" "$2"
    xdotool key --delay 50 shift+End
    sleep 0.3
    shot "$WORK/after.png" "$2"
    local x y w h
    read -r x y w h < <(changed_box "$WORK/before.png" "$WORK/after.png")
    [ -n "${h:-}" ] && echo "$((x + $2 + VIEW_LEFT)) $((y + VIEW_TOP)) $w $h"
}

cp "$WORK/a.rux" "$WORK/a.orig"
cp "$WORK/b.rux" "$WORK/b.orig"

# copied : what the focused editor's Copy put on the clipboard as plain text.
copied() {
    xdotool key --delay 50 ctrl+c
    sleep 0.3
    xclip -selection clipboard -o 2>/dev/null | tr -d '\r'
}

# A short row in either program ("TOLERANCE% = 5" and "#2.11 = 2000"), so that nothing scrolls.
read -r ax ay aw ah < <(select_row "$AWID" 0 15)
[ -n "${ah:-}" ] || { e2e_shot dnd_no_selection; fail "no selection painted in A"; }
atext=$(copied)
[ -n "$atext" ] || fail "nothing selected in A"
read -r bx by bw bh < <(select_row "$BWID" 800 17)
[ -n "${bh:-}" ] || { e2e_shot dnd_no_selection_b; fail "no selection painted in B"; }
btext=$(copied)
[ -n "$btext" ] || fail "nothing selected in B"
# B's caret back to where its selection started: the drop lands there.
xdotool key --delay 50 Home

# Press inside A's selection, move in steps to the start of B's row, release.
sx=$((ax + aw / 2)); sy=$((ay + ah / 2))
tx=$((bx + 1)); ty=$((by + bh / 2))
xdotool mousemove "$sx" "$sy"
sleep 0.2
xdotool mousedown 1
for i in $(seq 1 20); do
    xdotool mousemove $((sx + (tx - sx) * i / 20)) $((sy + (ty - sy) * i / 20))
    sleep 0.05
done
sleep 0.3
xdotool mousemove "$tx" "$ty"
sleep 0.2
xdotool mouseup 1
sleep 0.5

# Both save; only B changed.
xdotool windowfocus --sync "$BWID"
xdotool key --delay 50 ctrl+s
e2e_wait_saved "$WORK/b.rux" "$WORK/b.orig" || { e2e_shot dnd_not_dropped; fail "B did not save a change"; }
xdotool windowfocus --sync "$AWID"
xdotool key --delay 50 ctrl+s
sleep 1
cmp -s "$WORK/a.rux" "$WORK/a.orig" || fail "the drag changed A"
kill -0 "$BPID" 2>/dev/null || fail "editor B exited"

# B differs by one line: the dragged text in front of B's row, the row's indentation kept.
e2e_text "$WORK/b.orig" >"$WORK/b.before"
e2e_text "$WORK/b.rux" >"$WORK/b.after"
old=$(diff "$WORK/b.before" "$WORK/b.after" | grep '^<' | cut -c3-)
new=$(diff "$WORK/b.before" "$WORK/b.after" | grep '^>' | cut -c3-)
[ "$(printf '%s\n' "$old" | wc -l)" = 1 ] && [ "$(printf '%s\n' "$new" | wc -l)" = 1 ] ||
    { diff "$WORK/b.before" "$WORK/b.after"; fail "B differs by more than one line"; }
indent=${old%"$btext"}
[ "$indent$btext" = "$old" ] || fail "B's changed line '$old' is not the row copied there ('$btext')"
[ "$new" = "$indent$atext$btext" ] || fail "B's row became '$new', not '$indent$atext$btext'"
echo "'$atext' dragged from editor A into editor B: B saved it, A unchanged"
