# The set-up every end-to-end run shares: the X11 tools, a scratch folder with a product folder of
# its own, a virtual display and the editor. Sourced by tests/ui/e2e/*.sh; the caller sets -u.

fail() { echo "FAIL: $*"; exit 1; }

# e2e_require TOOL... : stops with the packages to install when a tool is missing.
e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb xdotool imagemagick)"; exit 1; }
    done
}

e2e_cleanup() {
    [ -n "$EPID" ] && kill "$EPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$WORK"
}

# e2e_workspace PRODUCT NAME : sets WORK to a new scratch folder, removed with the display and the
# editor on exit. The product folder there links every file of PRODUCT but Torvel.ini, so the
# settings a run writes stay out of the build; the runtime and configuration folders are private.
e2e_workspace() {
    WORK=$(mktemp -d "/tmp/$2.XXXXXX")
    XPID=""
    EPID=""
    trap e2e_cleanup EXIT
    mkdir -p "$WORK/product" "$WORK/run" "$WORK/config"
    chmod 700 "$WORK/run"
    local f
    for f in "$1"/*; do
        [ "$(basename "$f")" = Torvel.ini ] || ln -s "$f" "$WORK/product/"
    done
    export RUXEDIT_HOME="$WORK/product" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
}

# e2e_display FIRST LAST : starts Xvfb on the first free display number in the range and exports
# DISPLAY. Each script takes a range of its own so that two runs never meet.
e2e_display() {
    local d
    for d in $(seq "$1" "$2"); do
        [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || break
    done
    Xvfb ":$d" -screen 0 1600x1000x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XPID=$!
    export DISPLAY=":$d"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$d" ] || fail "Xvfb did not start"
}

# e2e_editor_alive : fails with the editor's output when it has exited.
e2e_editor_alive() {
    kill -0 "$EPID" 2>/dev/null || { cat "$WORK/editor.log"; fail "the editor exited"; }
}
