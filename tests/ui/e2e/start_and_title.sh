#!/bin/bash
# Starts the real editor under Xvfb on the example program, finds its window as an X11 client sees
# it, checks the title, takes a screenshot, and checks that a second editor exits at once.
# Arguments: the product directory and the source tree.
set -u
PRODUCT=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb xdotool imagemagick)"; exit 1; }
done

WORK=$(mktemp -d /tmp/ruxedit_e2e.XXXXXX)
XPID=""; EPID=""
cleanup() {
    [ -n "$EPID" ] && kill "$EPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A product directory of its own, so that the settings this run writes stay out of the build.
mkdir -p "$WORK/product" "$WORK/run" "$WORK/config"
chmod 700 "$WORK/run"
for f in "$PRODUCT"/*; do
    [ "$(basename "$f")" = Torvel.ini ] || ln -s "$f" "$WORK/product/"
done
export RUXEDIT_HOME="$WORK/product" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
cp "$SOURCE/examples/conveyor_line.rux" "$WORK/"

# A free display number.
for d in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || break
done
Xvfb ":$d" -screen 0 1600x1000x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
export DISPLAY=":$d"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$d" ] || fail "Xvfb did not start"

"$PRODUCT/ruxedit" "$WORK/conveyor_line.rux" >"$WORK/editor.log" 2>&1 &
EPID=$!

expected="RUX Editor - [conveyor_line.rux (Infeed conveyor, line A)]"
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --name '^RUX Editor' 2>/dev/null | head -1)
    if [ -n "$wid" ] && [ "$(xdotool getwindowname "$wid")" = "$expected" ]; then break; fi
    kill -0 "$EPID" 2>/dev/null || { cat "$WORK/editor.log"; fail "the editor exited"; }
    sleep 0.2
done
[ -n "$wid" ] || fail "no window named RUX Editor"
title=$(xdotool getwindowname "$wid")
[ "$title" = "$expected" ] || fail "title is '$title', expected '$expected'"
echo "window $wid: $title"

sleep 1
shots="$PRODUCT/../e2e"
mkdir -p "$shots"
import -window root "$shots/start_and_title.png" || fail "no screenshot"
# A blank or half-drawn screen has a handful of colours; the frame with its icons has hundreds.
colours=$(convert "$shots/start_and_title.png" -format %k info:)
[ "$colours" -gt 100 ] || fail "the screenshot has only $colours colours"
echo "screenshot $shots/start_and_title.png ($colours colours)"

# A second editor activates the first and exits with failure, without a window of its own.
start=$(date +%s)
"$PRODUCT/ruxedit" "$WORK/conveyor_line.rux" >"$WORK/second.log" 2>&1
rc=$?
[ "$rc" -ne 0 ] || fail "the second editor exited with 0"
[ $(( $(date +%s) - start )) -lt 15 ] || fail "the second editor took too long"
count=$(xdotool search --onlyvisible --name '^RUX Editor' 2>/dev/null | wc -l)
[ "$count" -eq 1 ] || fail "$count editor windows after the second start"
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
