#!/usr/bin/env bash
# Every template the editor ships builds without errors where a user would put it: in a Background
# task, on its own.
. "$(dirname "$0")/lib/common.sh" "$@"

count=0
while IFS= read -r -d '' tpl; do
    count=$((count + 1))
    {
        printf '$*TORVEL/RUX-V1\n#info=BmkRef\n#endinfo\n#info=BmkErrRef\n#endinfo\n'
        printf '#info=Ident\nType=KESTREL\nTarget=KESTREL\nDebug=1\nFloatingPoint=1\n#endinfo\n'
        printf '#info=Section\nName=Background\nState=open\n#endinfo\n'
        sed -n '/^tpl_begin/,/^tpl_end/{/^tpl_/d;s/\r$//;s/^/:/;p}' "$tpl"
        printf '#info=EndSection\nName=Background\n#endinfo\n'
    } > "$work/t.rux"
    "$RUX" build --quiet "$work/t.rux" > "$work/out.txt"
    check "$(basename "$(dirname "$tpl")")/$(basename "$tpl") builds" "Build: No errors detected" "$(cat "$work/out.txt")"
done < <(find "$SRC/data/Templates" -name '*.txt' -print0)
[ "$count" -ge 3 ] || { echo "FAIL: only $count templates shipped"; fail=1; }
exit $fail
