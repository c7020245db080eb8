#!/usr/bin/env bash
# rux online against a real ruxdrive process in virtual time, and with no drive at all.
. "$(dirname "$0")/lib/common.sh" "$@"
BIN=$(dirname "$RUX")
drive=
on_exit() { [ -n "$drive" ] && kill "$drive" 2>/dev/null; }

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cp "$SRC/examples/conveyor_line.rux" "$work/c.rux"
export RUXDRIVE_AUTOSTART=0

# Nothing listens: every command reports the loss with the editor's text, nothing hangs.
out=$(timeout 20 "$RUX" online "$work/c.rux" --port "$port" -e run -e "read #1.21")
check "no drive: exit" 1 $?
check "no drive" "run: 0x1040006 Unable to communicate with Node 3
#1.21: 0x1040006 Unable to communicate with Node 3" "$out"

"$BIN/ruxdrive" --port "$port" --state "$work/state" --virtual-time 2>"$work/drive.log" &
drive=$!
for _ in $(seq 100); do grep -q listening "$work/drive.log" && break; sleep 0.05; done

# Values, the motor model in virtual time, write validation and the drive's refusals.
out=$("$RUX" online "$work/c.rux" --port "$port" \
    -e "write #2.11 2000" -e "write #1.21 1000" -e "wait 500" -e "read #3.02" -e "wait 1500" -e "read #3.02" \
    -e "write #8.03 0x1" -e "read #8.03" -e "write #18.31.0 2" -e "write #INT1.21 1.5" -e "write #3.02 5" -e "write #1.21 1e39" \
    -e "write #1.21 9999" -e "read Missing%")
check "values: exit" 1 $?
check "values" "write #2.11: 0
write #1.21: 0
#3.02 = 250
#3.02 = 1000
write #8.03: 0
#8.03 = 1
write #18.31.0: Invalid value entered.

Enter a valid value eg. 10 or 0xA1
write #INT1.21: Invalid value entered.

Enter a valid value eg. 10 or 0xA1
write #3.02: 0x1050003 Parameter is read-only
write #1.21: 0x1050005 Value out of range
write #1.21: 0x1050005 Value out of range
Missing%: 0x1010001 Unknown symbol" "$out"

# The node names its target's tasks; without a program every task is illegal.
out=$("$RUX" online "$work/c.rux" --port "$port" -e status)
check "status" "program 0 cpu 100%
task Initial 0 Illegal
task Background 0 Illegal
task Clock 0 Illegal
task Event 0 Illegal
task Event1 0 Illegal
task Event2 0 Illegal
task Event3 0 Illegal
task Pos0 0 Illegal
task Pos1 0 Illegal
task Error 0 Illegal" "$out"

# --node talks to another node; a missing compiled file fails the download before the drive.
out=$("$RUX" online "$work/c.rux" --port "$port" --node 7 -e "read #1.21" -e download -e "upload $work/u.rux")
check "other node" "#1.21 = 0
download: 0x1010003 Target Download Failed: File error
upload: 0x1060003 No program on the drive" "$out"
[ -e "$work/u.rux" ] && { echo "FAIL: a failed upload wrote a file"; fail=1; }

# Bad usage.
"$RUX" online "$work/c.rux" --port "$port" -e "frobnicate" 2>/dev/null
check "unknown command exit" 2 $?
"$RUX" online "$work/c.rux" 2>/dev/null
check "no command exit" 2 $?

# SIGTERM saves the node: a restarted drive still has the written value.
kill -TERM "$drive"; wait "$drive"; drive=
grep -q "stopped, state saved" "$work/drive.log" || { echo "FAIL: no clean stop"; fail=1; }
"$BIN/ruxdrive" --port "$port" --state "$work/state" --virtual-time 2>>"$work/drive.log" &
drive=$!
for _ in $(seq 100); do [ "$(grep -c listening "$work/drive.log")" = 2 ] && break; sleep 0.05; done
out=$("$RUX" online "$work/c.rux" --port "$port" -e "read #8.03" -e "read #1.21")
check "restart" "#8.03 = 1
#1.21 = 1000" "$out"

# The README's worked example, on a fresh drive state: the jam is timed, latched and counted.
kill -TERM "$drive"; wait "$drive"; drive=
"$BIN/ruxdrive" --port "$port" --state "$work/jam" --virtual-time 2>>"$work/drive.log" &
drive=$!
for _ in $(seq 100); do [ "$(grep -c listening "$work/drive.log")" = 3 ] && break; sleep 0.05; done
"$RUX" build "$work/c.rux" --quiet >/dev/null
out=$("$RUX" online "$work/c.rux" --port "$port" -e download -e run -e "wait 100" \
    -e "read BeltState%" -e "write #8.03 1" -e "wait 2500" -e "read JamTimer%" -e "read JamTimeout%" \
    -e "write JamLatch% 1" -e "wait 100" -e "read BeltState%" -e "read JamCount%" -e log)
check "worked example" "download: 0
run: 0
BeltState% = 2
write #8.03: 0
JamTimer% = 312
JamTimeout% = 1
write JamLatch%: 0
BeltState% = 3
JamCount% = 1
Jam at PE3, count 1" "$out"

exit $fail
