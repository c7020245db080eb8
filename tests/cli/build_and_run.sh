#!/usr/bin/env bash
# rux build and rux run on the examples and on small programs: output lines and exit codes.
. "$(dirname "$0")/lib/common.sh" "$@"

program() { # file, then section title and its lines separated by "|" per argument pair
    local file=$1; shift
    {
        printf '$*TORVEL/RUX-V1\n#info=BmkRef\n#endinfo\n#info=BmkErrRef\n#endinfo\n'
        printf '#info=Ident\nType=KESTREL\nTarget=KESTREL\nDebug=1\nFloatingPoint=1\n#endinfo\n'
        while [ $# -gt 1 ]; do
            printf '#info=Section\nName=%s\nState=open\n#endinfo\n' "$1"
            IFS='|' read -ra lines <<< "$2"
            for l in "${lines[@]}"; do printf ':%s\n' "$l"; done
            printf '#info=EndSection\nName=%s\n#endinfo\n' "$1"
            shift 2
        done
    } > "$file"
}

# The example builds: its lines, then string 5; the files beside it.
cp "$SRC/examples/conveyor_line.rux" "$work/"
"$RUX" build "$work/conveyor_line.rux" > "$work/out.txt"; check "example build exit" 0 $?
check "example last line" "Build: No errors detected" "$(tail -n 1 "$work/out.txt")"
check "example summary" "0 error(s), 2 warning(s)" "$(tail -n 2 "$work/out.txt" | head -n 1)"
check "example first message" "conveyor_line.rux(99,1-2): warning W006: diagram 'Run permissive and jam latch' is not executed (diagrams are not compiled yet)" "$(head -n 1 "$work/out.txt")"
for f in conveyor_line.ERR conveyor_line.bin conveyor_line.sym; do
    [ -f "$work/$f" ] || { echo "FAIL: $f missing"; fail=1; }
done
check "ERR holds the build lines" "$(head -n 3 "$work/out.txt")" "$(cat "$work/conveyor_line.ERR")"

# --stop-on-warning: the first warning fails the build; --quiet prints only the result.
"$RUX" build "$work/conveyor_line.rux" --stop-on-warning > "$work/out.txt"; check "stop exit" 1 $?
check "stop lines" "$(printf '%s\n' "conveyor_line.rux(99,1-2): warning W006: diagram 'Run permissive and jam latch' is not executed (diagrams are not compiled yet)" "0 error(s), 1 warning(s)" "Error(s) detected")" "$(cat "$work/out.txt")"
"$RUX" build --quiet "$work/conveyor_line.rux" > "$work/out.txt"; check "quiet exit" 0 $?
check "quiet output" "Build: No errors detected" "$(cat "$work/out.txt")"

# The errors example: every error, string 6, exit 1.
cp "$SRC/examples/errors.rux" "$work/"
"$RUX" build "$work/errors.rux" > "$work/out.txt"; check "errors exit" 1 $?
check "errors last line" "Error(s) detected" "$(tail -n 1 "$work/out.txt")"
check "errors summary" "9 error(s), 0 warning(s)" "$(tail -n 2 "$work/out.txt" | head -n 1)"
check "errors first" "errors.rux(6,10-16): error E015: parameter 121 of #1.121 is outside 0..99" "$(head -n 1 "$work/out.txt")"
[ ! -f "$work/errors.bin" ] || { echo "FAIL: errors.bin written"; fail=1; }

# --json: one object
"$RUX" build --json "$work/errors.rux" > "$work/out.json"; check "json exit" 1 $?
python3 - "$work/out.json" <<'PY' || fail=1
import json, sys
d = json.load(open(sys.argv[1]))
assert d["ok"] is False and d["image"] is None and d["symbols"] is None, d
m = d["messages"][3]
assert m == {"file": "errors.rux", "line": 20, "start": 2, "end": 7, "severity": "error", "code": "E012",
             "text": "ENDIF without IF"}, m
assert len(d["messages"]) == 9
PY

# Usage and unreadable files
"$RUX" build > /dev/null 2>&1; check "build without file" 2 $?
"$RUX" build "$work/none.rux" > "$work/out.txt"; check "missing file exit" 1 $?
check "missing file line" "none.rux(0,1-2): error E000: cannot read none.rux" "$(head -n 1 "$work/out.txt")"
# A folder or a FIFO named as the program is refused like a missing file: no crash, no blocking read.
mkdir "$work/folder.rux"; mkfifo "$work/pipe.rux"
for f in folder pipe; do
    timeout 10 "$RUX" build "$work/$f.rux" > "$work/out.txt" 2>&1; check "build of $f exit" 1 $?
    check "build of $f line" "$f.rux(0,1-2): error E000: cannot read $f.rux" "$(head -n 1 "$work/out.txt")"
    timeout 10 "$RUX" run "$work/$f.rux" > /dev/null 2>&1; check "run of $f exit" 1 $?
done

# rux run: PRINT lines with time and task, run-time errors, variables at the end.
program "$work/count.rux" Initial 'x% = 0|PRINT "start"' Clock 'x% = x% + 1|IF x% = 3 THEN PRINT "third tick at ", TIME'
"$RUX" run "$work/count.rux" --ms 1000 --var x% > "$work/out.txt" 2> "$work/err.txt"; check "run exit" 0 $?
check "run output" "$(printf '%s\n' "[0 ms] Initial: start" "[16 ms] Clock: third tick at 16" "x% = 125")" "$(cat "$work/out.txt")"

program "$work/params.rux" Initial 'r = #1.21 * 2|#2.11 = r + #INT3.02|n% = 7'
"$RUX" run "$work/params.rux" --ms 1 --param 1.21=1.25 --param 3.02=10 --set n%=5 --var r --var n% > "$work/out.txt" 2>&1
check "params exit" 0 $?
check "params output" "$(printf '%s\n' "r = 2.5" "n% = 7")" "$(cat "$work/out.txt" | grep ' = ')"

program "$work/fault.rux" Initial 'd% = 0' Clock 'n% = n% + 1|IF n% = 4 THEN q% = 10 / d%'
"$RUX" run "$work/fault.rux" --ms 100 --var n% > "$work/out.txt" 2> /dev/null; check "fault exit" 3 $?
check "fault output" "$(printf '%s\n' "[24 ms] Clock: run-time error 1 at line 6: division by zero" "n% = 4")" "$(cat "$work/out.txt")"

program "$work/spin.rux" Background 'DO|x% = x% + 1|LOOP'
timeout 60 "$RUX" run "$work/spin.rux" --ms 10 > "$work/out.txt" 2> /dev/null; check "endless loop exit" 3 $?
check "endless loop reported" "[0 ms] Background: run-time error 6 at line 4: task overran: no yield within 50000000 instructions" "$(cat "$work/out.txt")"

"$RUX" run "$work/errors.rux" > /dev/null 2>&1; check "run of a program with errors" 1 $?
"$RUX" run "$work/count.rux" --var nothing > /dev/null 2>&1; check "unknown variable" 2 $?
"$RUX" run "$work/count.rux" --param 100.1=3 > /dev/null 2>&1; check "bad parameter option" 2 $?
err=$("$RUX" run "$work/count.rux" --set x%=4294967296 2>&1 >/dev/null | tail -n 2 | head -n 1)
check "integer beyond 32 bits" "rux: --set x% needs a 32-bit integer, not '4294967296'" "$err"

# rux info of the image
"$RUX" info --json "$work/count.bin" > "$work/info.json"; check "info image exit" 0 $?
python3 - "$work/info.json" <<'PY' || fail=1
import json, sys
d = json.load(open(sys.argv[1]))
assert d["kind"] == "image" and d["target"] == "KESTREL" and d["debug"] is True, d
assert [t["name"] for t in d["tasks"]] == ["Initial", "Clock"], d["tasks"]
assert [s["name"] for s in d["symbols"]] == ["x%"], d["symbols"]
PY
head -c 100 "$work/count.bin" > "$work/cut.bin"
"$RUX" info "$work/cut.bin" > /dev/null 2> "$work/err.txt"; check "damaged image exit" 1 $?
check "damaged image message" "rux: $work/cut.bin: image size 100 does not match its header ($(stat -c %s "$work/count.bin"))" "$(cat "$work/err.txt")"

exit $fail
