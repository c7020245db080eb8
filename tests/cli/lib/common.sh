# Shared start of the command-line tests: arguments, a scratch folder removed on exit, and check().
# Each test sources this with: . "$(dirname "$0")/lib/common.sh" "$@"
# A test that starts a process of its own defines on_exit to stop it; it runs before the folder goes.
set -u
RUX=$(realpath "$1")
DATA=$2
SRC=$3
fail=0
work=$(mktemp -d)
trap 'if declare -F on_exit >/dev/null; then on_exit; fi; rm -rf "$work"' EXIT

check() { # name, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; fail=1
    fi
}
