# Shared start of the command-line tests: arguments, a scratch folder removed on exit, and check().
# Each test sources this with: . "$(dirname "$0")/lib/common.sh" "$@"
set -u
RUX=$1
DATA=$2
SRC=$3
fail=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { # name, expected, actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; fail=1
    fi
}
