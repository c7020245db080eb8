#!/bin/bash
# Starts the real editor under Xvfb on the example program, finds its window as an X11 client sees
# it, checks the title, takes a screenshot, and checks that a second editor exits at once.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool import convert
e2e_workspace "$PRODUCT" ruxedit_e2e
cp "$SOURCE/examples/conveyor_line.rux" "$WORK/"
e2e_display

"$PRODUCT/ruxedit" "$WORK/conveyor_line.rux" >"$WORK/editor.log" 2>&1 &
EPID=$!

expected="RUX Editor - [conveyor_line.rux (Infeed conveyor, line A)]"
wid=""
for _ in $(seq 100); do
    # The visible one: the editor also has an unmapped window of that name, listed first under some
    # window managers.
    wid=$(xdotool search --onlyvisible --name '^RUX Editor' 2>/dev/null | head -1)
    if [ -n "$wid" ] && [ "$(xdotool getwindowname "$wid")" = "$expected" ]; then break; fi
    e2e_editor_alive
    sleep 0.2
done
[ -n "$wid" ] || fail "no window named RUX Editor"
title=$(xdotool getwindowname "$wid")
[ "$title" = "$expected" ] || fail "title is '$title', expected '$expected'"
echo "window $wid: $title"

sleep 1
e2e_shot start_and_title || fail "no screenshot"
shots="$PRODUCT/../e2e"
# A blank or half-drawn screen has a handful of colours; the frame with its icons has hundreds.
colours=$(convert "$shots/start_and_title.png" -format %k info:)
[ "$colours" -gt 100 ] || fail "the screenshot has only $colours colours"
echo "screenshot $shots/start_and_title.png ($colours colours)"

# A second editor activates the first and exits with failure, without a window of its own and
# without handing its command line over.
cp "$WORK/conveyor_line.rux" "$WORK/other.rux"
start=$(date +%s)
"$PRODUCT/ruxedit" "$WORK/other.rux" >"$WORK/second.log" 2>&1
rc=$?
[ "$rc" -eq 1 ] || fail "the second editor exited with $rc, not 1"
[ $(( $(date +%s) - start )) -lt 15 ] || fail "the second editor took too long"
count=$(xdotool search --onlyvisible --name '^RUX Editor' 2>/dev/null | wc -l)
[ "$count" -eq 1 ] || fail "$count editor windows after the second start"
sleep 0.5
[ "$(xdotool getwindowname "$wid")" = "$expected" ] || fail "the first editor opened the second one's file"
kill -0 "$EPID" 2>/dev/null || fail "the first editor died"

# The first one's lock goes with it: once it is gone a new editor starts.
kill "$EPID"; wait "$EPID" 2>/dev/null; EPID=""
"$PRODUCT/ruxedit" >"$WORK/third.log" 2>&1 &
EPID=$!
for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --name '^RUX Editor$' 2>/dev/null | wc -l)" -ge 1 ] && break
    sleep 0.2
done
[ "$(xdotool search --onlyvisible --name '^RUX Editor$' 2>/dev/null | wc -l)" -ge 1 ] || fail "no editor after the first one ended"
echo "PASS"
