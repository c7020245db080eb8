# The set-up every end-to-end run shares: the X11 tools, a scratch folder with a product folder of
# its own, a virtual display and the editor. Sourced by tests/ui/e2e/*.sh with their arguments, the
# product directory and the source tree, which it sets as PRODUCT and SOURCE; the caller sets -u.

fail() { echo "FAIL: $*"; exit 1; }

PRODUCT=$(cd "$1" && pwd) || fail "no product directory '$1'"
SOURCE=$(cd "$2" && pwd) || fail "no source tree '$2'"
# The run's name, for its screenshots.
E2E_NAME=$(basename "$0" .sh)

# e2e_require TOOL... : stops with the packages to install when a tool is missing.
e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb xdotool imagemagick)"; exit 1; }
    done
}

# Other processes of a run (an X11 client serving a selection) go in MOREPIDS, ended before the display.
e2e_cleanup() {
    local p
    for p in $EPID $MOREPIDS; do kill "$p" 2>/dev/null; done
    # Gone before their display, so that none complains of a broken connection.
    for p in $EPID $MOREPIDS; do wait "$p" 2>/dev/null; done
    if [ -n "$XPID" ]; then
        kill "$XPID" 2>/dev/null
        # Its lock and socket are gone once it has exited: the next run may take the same number.
        wait "$XPID" 2>/dev/null
    fi
    rm -rf "$WORK"
}

# e2e_workspace PRODUCT NAME : sets WORK to a new scratch folder, removed with the display and the
# editor on exit. The product folder there links every file of PRODUCT but Torvel.ini, so the
# settings a run writes stay out of the build; the runtime and configuration folders are private.
e2e_workspace() {
    WORK=$(mktemp -d "/tmp/$2.XXXXXX")
    XPID=""
    EPID=""
    MOREPIDS=""
    trap e2e_cleanup EXIT
    mkdir -p "$WORK/product" "$WORK/run" "$WORK/config"
    chmod 700 "$WORK/run"
    local f
    for f in "$1"/*; do
        [ "$(basename "$f")" = Torvel.ini ] || ln -s "$f" "$WORK/product/"
    done
    export RUXEDIT_HOME="$WORK/product" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
}

# e2e_display : starts Xvfb on a display it chooses itself and exports DISPLAY. The server takes
# the first number whose lock it can create and writes that number to the file given with
# -displayfd once it accepts clients, so two runs started at the same moment never share one.
e2e_display() {
    local number="$WORK/display.number"
    : >"$number"
    # -noreset: without it the server starts over each time its last client leaves, and a client
    # that connects meanwhile is turned away.
    Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3>"$number" >"$WORK/xvfb.log" 2>&1 &
    XPID=$!
    local d=""
    for _ in $(seq 100); do
        # The number is complete once its line is.
        if [ "$(wc -l <"$number")" -ge 1 ]; then d=$(head -1 "$number"); break; fi
        kill -0 "$XPID" 2>/dev/null || { cat "$WORK/xvfb.log"; fail "Xvfb exited"; }
        sleep 0.1
    done
    [ -n "$d" ] || fail "Xvfb did not start"
    export DISPLAY=":$d"
    # The editor is to be an X11 client of this server, whatever platform the caller's Qt runs on
    # (a test run with QT_QPA_PLATFORM=offscreen for the widget tests would draw no window here).
    unset QT_QPA_PLATFORM
    local answered=""
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && { answered=1; break; }; sleep 0.1; done
    [ -n "$answered" ] || fail "display $DISPLAY does not answer"
    # The runs are meant for a bare display; E2E_WINDOW_MANAGER (a command) checks the same keys
    # with a window manager running.
    if [ -n "${E2E_WINDOW_MANAGER:-}" ]; then
        $E2E_WINDOW_MANAGER >"$WORK/wm.log" 2>&1 &
        MOREPIDS="$MOREPIDS $!"
        sleep 1
    fi
}

# e2e_start_editor TITLE ARGS... : starts the editor with ARGS, waits for its frame window, whose
# title must match the regular expression TITLE, and sets EPID and WID. Nothing is activated or
# focused from outside: without a window manager the editor has to do that itself.
e2e_start_editor() {
    local title=$1
    shift
    "$PRODUCT/ruxedit" "$@" >"$WORK/editor.log" 2>&1 &
    EPID=$!
    WID=""
    for _ in $(seq 100); do
        WID=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1)
        [ -n "$WID" ] && break
        e2e_editor_alive
        sleep 0.2
    done
    [ -n "$WID" ] || fail "no editor window titled like '$title'"
}

# e2e_wait_window TITLE : prints the id of the first visible window whose title matches TITLE, once
# there is one; nothing after five seconds.
e2e_wait_window() {
    local w=""
    for _ in $(seq 50); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        [ -n "$w" ] && break
        sleep 0.1
    done
    echo "$w"
}

# e2e_wait_gone WINDOW : waits up to five seconds for the window to be unmapped or destroyed.
e2e_wait_gone() {
    for _ in $(seq 50); do
        xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable' || return 0
        sleep 0.1
    done
    return 1
}

# e2e_open_copy PROGRAM : copies PROGRAM to p.rux in WORK, sets ORIGINAL to PROGRAM, starts the display
# and the editor on the copy.
e2e_open_copy() {
    ORIGINAL=$1
    cp "$ORIGINAL" "$WORK/p.rux"
    e2e_display
    e2e_start_editor '^RUX Editor - \[p.rux' "$WORK/p.rux"
}

# e2e_text FILE : the program's lines as `rux text` gives them, without carriage returns; fails
# when `rux text` does.
e2e_text() {
    "$PRODUCT/rux" text "$1" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# e2e_save : Ctrl+S, then waits up to five seconds for p.rux to differ from ORIGINAL; fails when it
# does not.
e2e_save() {
    xdotool key --delay 50 ctrl+s
    e2e_wait_saved "$WORK/p.rux" "$ORIGINAL" || { cat "$WORK/editor.log"; e2e_shot "$E2E_NAME"; fail "Ctrl+S saved nothing"; }
}

# e2e_changes : the lines by which the saved p.rux differs from ORIGINAL, as diff marks them ("< " a
# line gone, "> " a line new), in changes.txt of WORK; the programs' lines stay in before.txt and
# after.txt.
e2e_changes() {
    e2e_text "$ORIGINAL" >"$WORK/before.txt" || fail "rux text of the original"
    e2e_text "$WORK/p.rux" >"$WORK/after.txt" || fail "rux text of the saved program"
    diff -a "$WORK/before.txt" "$WORK/after.txt" | grep -a -E '^[<>]' >"$WORK/changes.txt"
}

# e2e_expect_changes EXPECTED WHAT : e2e_changes, which must give EXPECTED, its lines to the byte;
# otherwise both are shown as cat -A shows them and the run fails with WHAT.
e2e_expect_changes() {
    e2e_changes
    printf '%s\n' "$1" >"$WORK/expected.txt"
    cmp -s "$WORK/expected.txt" "$WORK/changes.txt" && return 0
    echo "expected:"; cat -A "$WORK/expected.txt"; echo "saved:"; cat -A "$WORK/changes.txt"
    e2e_shot "$E2E_NAME"
    fail "$2"
}

# e2e_wait_exit WHAT : waits up to ten seconds for the editor to exit; fails with WHAT when it still
# runs.
e2e_wait_exit() {
    for _ in $(seq 100); do kill -0 "$EPID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$EPID" 2>/dev/null && { e2e_shot "$E2E_NAME"; fail "$1"; }
    EPID=""
}

# e2e_wait_saved FILE ORIGINAL : waits up to five seconds for FILE to differ from ORIGINAL.
e2e_wait_saved() {
    for _ in $(seq 50); do
        cmp -s "$1" "$2" || return 0
        sleep 0.1
    done
    return 1
}

# e2e_shot NAME : a screenshot of the whole display beside the product, for a look after a failure.
e2e_shot() {
    local shots="$PRODUCT/../e2e"
    mkdir -p "$shots"
    import -window root "$shots/$1.png" 2>/dev/null
}

# e2e_editor_alive : fails with the editor's output when it has exited.
e2e_editor_alive() {
    kill -0 "$EPID" 2>/dev/null || { cat "$WORK/editor.log"; fail "the editor exited"; }
}
