#!/usr/bin/env bash
# rux edit from the outside: scripts, options, what gets saved and the exit codes.
. "$(dirname "$0")/lib/common.sh" "$@"

prog() { printf '$*TORVEL/RUX-V1\r\n#info=Section\r\nName=Initial\r\nState=open\r\n#endinfo\r\n:  IF x THEN\r\n:abc\r\n#info=EndSection\r\nName=Initial\r\n#endinfo\r\n' > "$1"; }

# Typing with auto-indent, saved in place because the document changed.
prog "$work/a.rux"
out=$("$RUX" edit "$work/a.rux" -e "caret 1 12" -e 'type \ny = 1' -e status)
check "edit exit" 0 $?
check "status" "Ln 2, Col 8" "$out"
check "saved in place" "$(printf '\t\ty = 1')" "$("$RUX" text "$work/a.rux" | sed -n 3p | tr -d '\r')"

# No change: the file is not touched.
prog "$work/b.rux"; touch -d '2020-01-01' "$work/b.rux"
"$RUX" edit "$work/b.rux" -e "caret 1 1" -e "key Down" -e status > /dev/null
check "unchanged not saved" "2020-01-01" "$(date -r "$work/b.rux" +%F)"

# -o always writes, the input stays as it was.
prog "$work/c.rux"; cp "$work/c.rux" "$work/c.orig"
"$RUX" edit "$work/c.rux" -o "$work/c.out" -e "caret 2 4" -e "type Z"
cmp -s "$work/c.rux" "$work/c.orig"; check "input kept with -o" 0 $?
grep -q '^:abcZ' "$work/c.out"; check "output written" 0 $?
"$RUX" edit "$work/c.rux" -o "$work/c.same" -e status > /dev/null
check "-o without change still writes" 0 "$([ -s "$work/c.same" ]; echo $?)"

# A script file, with comments and blank lines.
printf '# select the body line and indent it\n\nselect 2 1 2 4\ncmd copy\nshow-clip\n' > "$work/s.txt"
out=$("$RUX" edit "$work/c.rux" -f "$work/s.txt")
check "script output" 'TVED1RUX: $*TORVEL/RUX-V1\r\n:abc\r\n
TEXT: abc' "$out"

# Bad commands stop before anything runs: exit 2, nothing saved, position named.
cp "$work/c.orig" "$work/d.rux"
"$RUX" edit "$work/d.rux" -e "type x" -e "save" -e "caret 1" 2> "$work/err"
check "bad argument exit" 2 $?
cmp -s "$work/d.rux" "$work/c.orig"; check "nothing saved after a bad script" 0 $?
grep -q "command 3" "$work/err"; check "message names the position" 0 $?
"$RUX" edit "$work/d.rux" -e "frobnicate" 2>/dev/null; check "unknown command exit" 2 $?
"$RUX" edit "$work/d.rux" -e "key Alt+X" 2>/dev/null; check "unknown key exit" 2 $?
"$RUX" edit "$work/d.rux" -e "cmd fly" 2>/dev/null; check "unknown cmd exit" 2 $?
"$RUX" edit "$work/d.rux" --tab-size 0 2>/dev/null; check "bad tab size" 2 $?
"$RUX" edit "$work/missing.rux" -e status 2>/dev/null; check "missing file" 1 $?

# Read-only: typing changes nothing.
"$RUX" edit "$work/d.rux" --read-only -e "caret 2 1" -e "type q" -e print > "$work/ro.txt"
cmp -s "$work/d.rux" "$work/c.orig"; check "read-only untouched" 0 $?

# Tab size and kept tabs.
prog "$work/e.rux"
"$RUX" edit "$work/e.rux" --tab-size 4 --keep-tabs --no-auto-indent -e "caret 2 1" -e 'type \t\n'
check "kept tab, no indent" "$(printf '\t\nabc')" "$("$RUX" text "$work/e.rux" | sed -n 3,4p | tr -d '\r')"

# The date command with a fixed clock.
prog "$work/f.rux"
SOURCE_DATE_EPOCH=1796385909 TZ=UTC "$RUX" edit "$work/f.rux" -e "caret 2 1" -e "cmd date"
check "date" "04/12/26 12:05:09 abc" "$("$RUX" text "$work/f.rux" | sed -n 3p | tr -d '\r')"

# Program elements: a task with its template, a function block, a diagram, folding.
prog "$work/g.rux"
# The caret on the first header inserts above it; on a later header, above the row before it.
"$RUX" edit "$work/g.rux" -e "caret 0 1" -e "insert-section Background" -e "caret 9 1" \
    -e "insert-udfb Out = _Limit(In, Max)" -e "caret 17 1" -e "insert-diagram qld" -e "caret 1 1" -e fold
out=$("$RUX" text "$work/g.rux" | tr -d '\r')
echo "$out" | grep -qx 'top:'; check "task template body" 0 $?
echo "$out" | grep -qx 'Out = _Limit(In, Max){'; check "function block header" 0 $?
echo "$out" | grep -qx '} //Out = _Limit(In, Max)'; check "function block footer" 0 $?
check "sections in order" "Background{...} Out = _Limit(In, Max){ Initial{" "$(echo "$out" | grep '{' | tr '\n' ' ' | sed 's/ $//')"
grep -q '^DiagTitle=Diagram 1' "$work/g.rux"; check "diagram titled" 0 $?
grep -q '^#info=QLD' "$work/g.rux"; check "quick ladder diagram" 0 $?
"$RUX" edit "$work/g.rux" -e "insert-diagram ld" 2>/dev/null; check "bad diagram kind" 2 $?

# Two views on one program: a new view starts at the top; each view undoes its own edit, on the row
# where the other view's edit moved it.
prog "$work/v.rux"
out=$("$RUX" edit "$work/v.rux" -e "caret 2 4" -e "type x" -e "view 2" -e status -e "caret 0 1" -e "key Enter" \
    -e "view 1" -e status -e "cmd undo" -e status -e "view 2" -e status | tr '\n' '|')
check "two views: exit" 0 $?
check "two views: carets" "Ln 0, Col 1|Ln 3, Col 5|Ln 3, Col 4|Ln 1, Col 1|" "$out"
check "two views: rows" "Initial{||  IF x THEN|abc|} //Initial" "$("$RUX" text "$work/v.rux" | tr -d '\r' | tr '\n' '|' | sed 's/|$//')"
"$RUX" edit "$work/v.rux" -e "view 0" 2>/dev/null; check "view 0 refused" 2 $?
"$RUX" edit "$work/v.rux" -e "view two" 2>/dev/null; check "view needs a number" 2 $?
# A script or clipboard file given as a folder or a FIFO is refused with its reason, never read as
# empty and never waited on.
mkdir "$work/script.d"; mkfifo "$work/script.fifo"
err=$(timeout 10 "$RUX" edit "$work/c.rux" -e "clip-file $work/script.d" -e "cmd paste" 2>&1); check "folder clip-file exit" 1 $?
check "folder clip-file message" "rux: cannot read '$work/script.d': it is a folder" "$err"
err=$(timeout 10 "$RUX" edit "$work/c.rux" -e "clip-file $work/script.fifo" 2>&1); check "FIFO clip-file exit" 1 $?
check "FIFO clip-file message" "rux: cannot read '$work/script.fifo': it is a FIFO, not a file" "$err"
: > "$work/empty.txt"
"$RUX" edit "$work/c.rux" -e "clip-file $work/empty.txt" -e "show-clip" > /dev/null; check "empty clip-file exit" 0 $?
err=$(timeout 10 "$RUX" edit "$work/c.rux" -f "$work/script.d" 2>&1); check "folder script exit" 1 $?
check "folder script message" "rux: cannot read '$work/script.d': it is a folder" "$err"
err=$(timeout 10 "$RUX" edit "$work/c.rux" -f "$work/script.fifo" 2>&1); check "FIFO script exit" 1 $?
check "FIFO script message" "rux: cannot read '$work/script.fifo': it is a FIFO, not a file" "$err"

if [ $fail = 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $fail
