#!/usr/bin/env bash
# rux props, the new fields of rux info and rux sse, against real files, libraries and processes.
. "$(dirname "$0")/lib/common.sh" "$@"
listener=
on_exit() { [ -n "$listener" ] && kill "$listener" 2>/dev/null; }

# A product directory of our own, so that libraries are created in the scratch folder; the bus and
# the groups file live there too, away from any other run.
mkdir -p "$work/home" "$work/run" "$work/cfg/rux"
ln -s "$(dirname "$RUX")"/* "$work/home/"
# The shipped libraries stay where they are: new ones go into a Libs folder of our own.
rm -f "$work/home/Libs" && mkdir "$work/home/Libs"
export RUXEDIT_HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/cfg"

field() { grep "^$1=" | head -n 1 | cut -d= -f2-; }
wait_for_tool() { for _ in $(seq 50); do [ -S "$work/run/rux-sse/$1" ] && return 0; sleep 0.1; done; return 1; }

cp "$SRC/examples/conveyor_line.rux" "$work/c.rux"

# props prints the record
out=$("$RUX" props "$work/c.rux"); check "props exit" 0 $?
check "props title" "Infeed conveyor, line A" "$(echo "$out" | field Title)"
check "props flags" "1 1 1" "$(echo "$out" | field Debug) $(echo "$out" | field UserProgEnabled) $(echo "$out" | field FloatingPoint)"
check "props descriptor" 'Infeed conveyor of packing line A.\nRuns the belt' "$(echo "$out" | field Descriptor | cut -c1-49)"
check "props field count" 26 "$(echo "$out" | wc -l)"

# --set saves through the dialog's OK: 1729 for the header, then 1738 before the file is written.
# The suite hears the program's full path, as the editor opens it, however it was named here.
"$RUX" sse listen Z2ADAZ --count 5 > "$work/z2adaz.out" 2>/dev/null &
listener=$!
wait_for_tool Z2ADAZ || { echo "FAIL: listener did not register"; fail=1; }
(cd "$work" && "$RUX" props ./c.rux --set Title=Outfeed --set Debug=0 --set Author="J. Brandt" > /dev/null)
check "set exit" 0 $?
(cd "$work/home" && "$RUX" edit ../c.rux -e "caret 1 1" -e "type x" -e "cmd undo" -o ../copy.rux)
(cd "$work/home" && "$RUX" edit ../c.rux -e "caret 1 1" -e "type x" -e "cmd undo")
(cd "$work/home" && "$RUX" resave ../c.rux ../copy.rux)
wait "$listener"; listener=
full=$(cd "$work" && pwd -P)
check "set messages" "1729	$full/c.rux	|1738	$full/c.rux	|1738	$full/copy.rux	|1738	$full/c.rux	|1738	$full/copy.rux	" \
    "$(tr '\n' '|' < "$work/z2adaz.out" | sed 's/|$//')"
grep -q $'^TITLE=Outfeed\r$' "$work/c.rux"; check "set title saved" 0 $?
grep -q $'^Debug=0\r$' "$work/c.rux"; check "set debug saved" 0 $?
grep -q $'^AUTHOR=J. Brandt\r$' "$work/c.rux"; check "set author saved" 0 $?
[ -f "$work/c.node" ]; check "suite's header updated" 0 $?

# refusals leave every byte of the file
cp "$work/c.rux" "$work/before.rux"
err=$("$RUX" props "$work/c.rux" --set Clonable=0 2>&1 >/dev/null); check "hidden box exit" 1 $?
check "hidden box message" "rux: Clonable cannot be changed for this program (the target type has no such option)" "$err"
err=$("$RUX" props "$work/c.rux" --library 9bad 2>&1 >/dev/null); check "invalid library exit" 1 $?
check "invalid library message" "$(printf 'rux: Invalid Library name.  \n\nMust be of the form - [letter]+[one or more alpha-numeric chars]')" "$err"
for field in Author Company Title Version; do
    err=$("$RUX" props "$work/c.rux" --set "$field=a"$'\r\n'":injected" 2>&1 >/dev/null); check "$field line break exit" 1 $?
    check "$field line break message" "rux: $field must be one line: it cannot hold a line break" "$err"
done
err=$("$RUX" props "$work/c.rux" --set "Title=a"$'\n'"COMPANY=x" 2>&1 >/dev/null); check "LF alone exit" 1 $?
"$RUX" props "$work/c.rux" --set Debug=2 2>/dev/null; check "flag value" 2 $?
"$RUX" props "$work/c.rux" --set Drive=X 2>/dev/null; check "field not in the dialog" 2 $?
cmp -s "$work/c.rux" "$work/before.rux"; check "refusals keep the file" 0 $?
cp "$work/c.rux" "$work/c.txt"
"$RUX" props "$work/c.txt" --set Title=x 2>/dev/null; check "read-only extension" 1 $?

# a new library is created in Libs of the product directory; the program becomes a library
"$RUX" props "$work/c.rux" --library Conv > /dev/null; check "library exit" 0 $?
[ -f "$work/home/Libs/Conv/Conv.lib" ]; check "library file" 0 $?
grep -q $'^Library=Conv\r$' "$work/c.rux"; check "library saved" 0 $?
check "library title" '"Library Conv (c.rux)"' "$("$RUX" info --json "$work/c.rux" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["title"]))')"
err=$("$RUX" props "$work/c.rux" --set Debug=1 2>&1 >/dev/null); check "debug disabled in a library" 1 $?
# only the case changed: the same library, nothing created
"$RUX" props "$work/c.rux" --library CONV > /dev/null; check "case-only rename" 0 $?
grep -q $'^Library=CONV\r$' "$work/c.rux"; check "case-only rename saved" 0 $?
cp "$work/before.rux" "$work/d.rux"
err=$("$RUX" props "$work/d.rux" --library Conv 2>&1 >/dev/null); check "existing folder exit" 1 $?
check "existing folder message" "rux: The Library folder already exists." "$err"
# back to an ordinary program: Debug and Source come back from the header
"$RUX" props "$work/c.rux" --library "" > /dev/null; check "library off" 0 $?
grep -q $'^Library=\r$' "$work/c.rux"; check "library off saved" 0 $?

# info: title with the group, node label, identifiers sorted byte-wise
printf '[Line A]\n%s\n' "$work/./d.rux" > "$work/cfg/rux/groups.txt"
printf 'Infeed drive=D\r\nOther=x\r\n' > "$work/halm2.nad"
"$RUX" info --json "$work/d.rux" > "$work/d.json"; check "info exit" 0 $?
python3 - "$work/d.json" <<'PY' || fail=1
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
assert d["title"] == "d.rux (Outfeed) - [Line A]", d["title"]
assert d["label"] == "Infeed drive", d["label"]
ids = d["identifiers"]
assert ids == sorted(ids, key=lambda s: s.encode("cp1252")), ids
assert "JamCount%" in ids and "IF" not in ids and "if" not in ids, ids
assert len(ids) == len(set(ids))
PY
check "no label" '""' "$("$RUX" info --json "$work/c.txt" | python3 -c 'import json,sys; print(json.dumps(json.load(sys.stdin)["label"]))')"

# two tools talking: a listener process and senders
"$RUX" sse listen H2WATCHAPP --count 2 > "$work/watch.out" 2>/dev/null &
listener=$!
wait_for_tool H2WATCHAPP || { echo "FAIL: listener did not register"; fail=1; }
"$RUX" sse send H2WATCHAPP 1741 'conveyor\node 3' --line-data '4;2;9'; check "send exit" 0 $?
"$RUX" sse send H2WATCHAPP 1742; check "send bare exit" 0 $?
wait "$listener"; listener=
check "listen output" "1741	conveyor\\node 3	4;2;9|1742		" "$(tr '\n' '|' < "$work/watch.out" | sed 's/|$//')"
err=$("$RUX" sse send H2WATCHAPP 1741 x 2>&1); check "send to nobody" 1 $?
check "send to nobody message" "rux: H2WATCHAPP did not receive message 1741" "$err"
"$RUX" sse send H2WATCHAPP notanumber 2>/dev/null; check "send usage" 2 $?
"$RUX" sse send "" 1524 2>/dev/null; check "send to an empty tool name" 2 $?

if [ $fail -eq 0 ]; then echo "1 passed, 0 failed"; exit 0; fi
echo "0 passed, 1 failed"; exit 1
