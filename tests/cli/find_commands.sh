#!/usr/bin/env bash
# rux edit's find, replace, go to line and bookmark commands: their messages on stdout and what is saved.
. "$(dirname "$0")/lib/common.sh" "$@"

# Item 1 is a folded section header, 2 and 3 its lines, 4 its footer, 5 the last line.
prog() {
    printf '$*TORVEL/RUX-V1\r\n#info=Ident\r\nAUTHOR=a\r\n#endinfo\r\n' > "$1"
    printf '#info=Section\r\nName=Initial\r\nState=close\r\n#endinfo\r\n:  IF speed > 10 THEN\r\n:    ENDIF\r\n' >> "$1"
    printf '#info=EndSection\r\nName=Initial\r\n#endinfo\r\n:aaa last\r\n' >> "$1"
}

# Find: a match in the folded section opens it; a failed search prints the message; nothing is saved.
prog "$work/a.rux"
out=$("$RUX" edit "$work/a.rux" -e "find endif" -e status -e "find endif" -e status -e 'find "speed >" --up' -e status)
check "find exit" 0 $?
check "find output" "Ln 3, Col 10 Sel 3,5-3,10
Finish searching for 'endif'
Ln 3, Col 10 Sel 3,5-3,10
Ln 2, Col 13 Sel 2,6-2,13" "$out"
check "finding changes nothing" "$(prog "$work/ref.rux"; cat "$work/ref.rux")" "$(cat "$work/a.rux")"

# Replace All: one message line with the count, saved because the program changed.
prog "$work/b.rux"
out=$("$RUX" edit "$work/b.rux" -e "replace-all a aa" -e "replace-all zz y")
check "replace-all output" "Finish searching for 'a'.\n6 item(s) have been replaced.
Finish searching for 'zz'.\n0 item(s) have been replaced." "$out"
check "replace-all saved" ":aaaaaa laast" "$(grep -a '^:aaa' "$work/b.rux" | tr -d '\r')"

# Replace: quotes keep blanks and the result is saved; an empty text to find is refused.
prog "$work/c.rux"
"$RUX" edit "$work/c.rux" -e "select 2 3 2 5" -e 'replace IF "IF NOT"' -e 'replace IF "IF NOT"' > /dev/null
check "replace saved" ":  IF NOT speed > 10 THEN
:    ENDIF NOT" "$(grep -a '^:  ' "$work/c.rux" | tr -d '\r')"
"$RUX" edit "$work/c.rux" -e 'replace "" x' 2> "$work/err"
check "empty find text refused" 2 $?
grep -q "the text to find is empty" "$work/err"; check "empty find text message" 0 $?

# Read-only: replacing prints nothing and saves nothing.
prog "$work/d.rux"; cp "$work/d.rux" "$work/d.orig"
out=$("$RUX" edit "$work/d.rux" --read-only -e "replace-all a b" -e "find zz")
check "read-only output" "Finish searching for 'zz'" "$out"
cmp -s "$work/d.rux" "$work/d.orig"; check "read-only untouched" 0 $?

# Go to line and bookmarks: saved as bookmark marks; jumping to them saves nothing.
prog "$work/e.rux"
"$RUX" edit "$work/e.rux" -e "goto 99" -e bookmark -e "goto 2" -e bookmark > /dev/null
check "bookmarks saved" "Bookmarks: 2 5" "$("$RUX" info "$work/e.rux" | grep '^Bookmarks')"
touch -d '2020-01-01' "$work/e.rux"
"$RUX" edit "$work/e.rux" -e next-bookmark > /dev/null
check "jumping does not save" "2020-01-01" "$(date -r "$work/e.rux" +%F)"
"$RUX" edit "$work/e.rux" -e clear-bookmarks
check "bookmarks cleared" "" "$("$RUX" info "$work/e.rux" | grep '^Bookmarks')"

if [ $fail = 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
exit $fail
