#!/usr/bin/env bash
# The rux file commands against real files: output, exit codes and messages.
. "$(dirname "$0")/lib/common.sh" "$@"

# resave keeps a program byte for byte
cp "$DATA/roundtrip_full.rux" "$work/a.rux"
"$RUX" resave "$work/a.rux" "$work/b.rux"; check "resave exit" 0 $?
cmp -s "$work/a.rux" "$work/b.rux"; check "resave bytes" 0 $?

# text gives the plain form with CR LF
cp "$SRC/examples/conveyor_line.rux" "$work/c.rux"
"$RUX" text "$work/c.rux" > "$work/c.txt"; check "text exit" 0 $?
check "text first line" '$AUTHOR R. Okafor' "$(head -n 1 "$work/c.txt" | tr -d '\r')"
check "text CR LF" "$(wc -l < "$work/c.txt")" "$(grep -c $'\r$' "$work/c.txt")"

# info --json: one object with format, items and bookmarks; UTF-8 texts
"$RUX" info --json "$work/a.rux" > "$work/a.json"; check "info exit" 0 $?
python3 - "$work/a.json" <<'PY' || fail=1
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
assert d["format"] == "program", d["format"]
assert [i["index"] for i in d["items"]] == list(range(len(d["items"])))
types = {i["type"] for i in d["items"]}
assert {"header", "line", "section", "footer", "diagram"} <= types, types
h = d["items"][0]["fields"]
assert isinstance(h["Address"], int) and "H2Lite" in h and "Clonable" in h
for b in d["bookmarks"]:
    assert 0 <= b < len(d["items"])
texts = "".join(i.get("text", "") for i in d["items"])
assert "\u00b0" in texts or "\u00e4" in texts, "Windows-1252 bytes become UTF-8"
sec = [i for i in d["items"] if i["type"] == "section"][0]
for k in ("text", "name", "id", "expanded", "fb", "notes", "helpLink", "libVisible", "fbDescription"):
    assert k in sec, k
dia = [i for i in d["items"] if i["type"] == "diagram"][0]
assert dia["kind"] in ("FBD", "QLD")
for k in ("title", "open", "zoom", "section", "payload"):
    assert k in dia, k
PY

# plain text is reported as text
printf 'a\r\nb\r\n' > "$work/p.rux"
check "plain format" '"text"' "$("$RUX" info --json "$work/p.rux" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["format"]))')"

# convert: directives dropped, sections made
"$RUX" convert "$SRC/examples/legacy_spindle.rux" "$work/conv.rux"; check "convert exit" 0 $?
check "convert header line" '$*TORVEL/RUX-V1' "$(head -n 1 "$work/conv.rux" | tr -d '\r')"
grep -q '^:\$AUTHOR' "$work/conv.rux"; check "convert drops directives" 1 $?
grep -q '^#info=Section' "$work/conv.rux"; check "convert makes sections" 0 $?
# a program file is not text to convert: refused, and the output is not touched
printf 'kept' > "$work/conv2.rux"
"$RUX" convert "$work/conv.rux" "$work/conv2.rux" 2> "$work/err"; check "convert of a program file exit" 1 $?
check "convert of a program file says why" "rux: cannot convert '$work/conv.rux': it is a program file already" "$(cat "$work/err")"
check "convert of a program file keeps the output" kept "$(cat "$work/conv2.rux")"

# exit codes: 1 for files, 2 for usage
"$RUX" info "$work/missing.rux" 2> "$work/err"; check "missing file exit" 1 $?
grep -q "missing.rux" "$work/err"; check "message names the path" 0 $?
grep -q "No such file" "$work/err"; check "message gives the reason" 0 $?
"$RUX" resave "$work/a.rux" "$work/no/such/dir/out.rux" 2>/dev/null; check "unwritable exit" 1 $?
# a target that cannot be written is refused with the reason, and nothing is replaced
mkfifo "$work/fifo"
"$RUX" resave "$work/a.rux" "$work/fifo" 2> "$work/err"; check "FIFO exit" 1 $?
check "FIFO reason" "rux: cannot write '$work/fifo': it is a FIFO, not a regular file" "$(cat "$work/err")"
test -p "$work/fifo"; check "FIFO stays" 0 $?
"$RUX" resave "$work/a.rux" "$work" 2> "$work/err"; check "folder exit" 1 $?
check "folder reason" "rux: cannot write '$work': it is a folder" "$(cat "$work/err")"
"$RUX" text "$work" > /dev/null 2> "$work/err"; check "folder as program exit" 1 $?
check "folder as program reason" "rux: cannot read '$work': it is a folder" "$(cat "$work/err")"
timeout 10 "$RUX" resave "$work/fifo" "$work/out.rux" 2> "$work/err"; check "FIFO as program exit" 1 $?
check "FIFO as program reason" "rux: cannot read '$work/fifo': it is a FIFO, not a file" "$(cat "$work/err")"
timeout 10 "$RUX" info "$work/fifo" > /dev/null 2>&1; check "FIFO info exit" 1 $?
# as a user who may not write the file (nobody, when the tests run as root)
as_user=""
if [ "$(id -u)" = 0 ]; then
    if setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
        as_user="setpriv --reuid=nobody --regid=nogroup --clear-groups"
        chmod 755 "$work"
    else
        echo "SKIP: cannot become nobody for the permission case"; as_user=skip
    fi
fi
if [ "$as_user" != skip ]; then
    cp "$work/a.rux" "$work/ro.rux"; chmod 444 "$work/ro.rux"
    $as_user "$RUX" resave "$work/a.rux" "$work/ro.rux" 2> "$work/err"; check "read-only exit" 1 $?
    check "read-only reason" "rux: cannot write '$work/ro.rux': you do not have permission to write this file" "$(cat "$work/err")"
fi

"$RUX" 2>/dev/null; check "no command" 2 $?
"$RUX" frobnicate 2>/dev/null; check "unknown command" 2 $?
"$RUX" info 2>/dev/null; check "info without file" 2 $?
"$RUX" info --bogus "$work/a.rux" 2>/dev/null; check "unknown option" 2 $?
"$RUX" resave "$work/a.rux" 2>/dev/null; check "resave one arg" 2 $?

# A program of the light edition is refused by every command that opens a program, with the one
# message the editor shows and nothing after it.
sed 's/^H2Lite=0/H2Lite=1/' "$SRC/examples/conveyor_line.rux" > "$work/lite.rux"
grep -q '^H2Lite=1' "$work/lite.rux" || { echo "FAIL: no light-edition flag in the example"; fail=1; }
lite="rux: This is a HalmLite RUX file. Please use HalmLite to edit this file."
for c in "info" "text" "props" "resave @ $work/lite-out.rux" "edit @ -e save" "port" "build" "run" \
         "online @ --port 1 -e status"; do
    set -- ${c/@/$work/lite.rux}
    [ $# = 1 ] && set -- "$1" "$work/lite.rux"
    err=$(RUXDRIVE_AUTOSTART=0 timeout 20 "$RUX" "$@" 2>&1 >/dev/null); check "light edition: $1 exit" 1 $?
    check "light edition: $1 message" "$lite" "$err"
done

if [ $fail = 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $fail
