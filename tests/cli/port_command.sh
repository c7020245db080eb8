#!/usr/bin/env bash
# rux port against real files: the rows, the exit codes, the JSON and SARIF reports, the fixes.
. "$(dirname "$0")/lib/common.sh" "$@"

# program TYPE ROWS...: a program file; "{Name" opens a section, "}" closes it, "@Title|payload"
# is an FBD diagram (payload lines separated by "|"), anything else a text line.
program() {
    local type=$1; shift
    printf '$*TORVEL/RUX-V1\r\n#info=Ident\r\nAUTHOR=a\r\nDRIVE=VQ5A\r\nType=%s\r\n#endinfo\r\n' "$type"
    local open=""
    for row in "$@"; do
        case "$row" in
            "{"*) open=${row#\{}; printf '#info=Section\r\nName=%s\r\nState=open\r\n#endinfo\r\n' "$open" ;;
            "}") printf '#info=EndSection\r\nName=%s\r\n#endinfo\r\n' "$open" ;;
            "@"*) local body=${row#@}; printf '#info=Diagram\r\nDiagTitle=%s\r\n#info=FBD\r\n' "${body%%|*}"
                  local IFS='|'; local first=1
                  for l in ${body#*|}; do printf '%s\r\n' "$l"; done
                  printf '#endinfo\r\n#endinfo\r\n' ;;
            *) printf ':%s\r\n' "$row" ;;
        esac
    done
}

program KESTREL "{Clock" 'a = #5.07 + #2.04 ; #5.07' 'x% = _SlotRead(#Ptr%)' '@Speed|@VAR:3,P=(4,7) X=#5.07,' "}" \
    "{Background" 'b = #05.07 * 2' "}" > "$work/p.rux"
"$RUX" resave "$work/p.rux" "$work/p.rux"

# The rows: line (and diagram cell), location, description, status; by line and column.
out=$("$RUX" port "$work/p.rux"); check "issues exit" 3 $?
expected=$(printf '%s\n' \
 $'Line 1\tClock\tThe Clock task differs between Bittern II and Bittern NX.\tSee help for this issue' \
 $'Line 2\tClock\t#05.07 (Bittern 2 parameter - Motor rated current) It is possible to convert this paramter using the B2 prefix.\tCan be converted using B2 prefix' \
 $'Line 2\tClock\t#02.04 (Bittern 2 parameter - Ramp mode select) It is possible to convert this paramter using the B2 prefix with caveats.\tCan be converted using B2 prefix with caveats' \
 $'Line 3\tClock\t_SlotRead function block is not supported on Bittern NX.\tCannot be converted automatically' \
 $'Line 3\tClock\t#Ptr% cannot be automatically converted as it is a parameter pointer.\tCannot be converted automatically' \
 $'Line 4 [4,7]\tClock - Speed\t#05.07 (Bittern 2 parameter - Motor rated current) It is possible to convert this paramter using the B2 prefix.\tCan be converted using B2 prefix' \
 $'Line 7\tBackground\t#05.07 (Bittern 2 parameter - Motor rated current) It is possible to convert this paramter using the B2 prefix.\tCan be converted using B2 prefix')
check "issue rows" "$expected" "$out"

# No issues: the window's message and exit 0.
program KESTREL "{Background" 'a = 1 ; #5.07' "}" > "$work/none.rux"
out=$("$RUX" port "$work/none.rux"); check "no issues exit" 0 $?
check "no issues text" "No porting issues were found in your program" "$out"

# Unreadable program or catalogue: exit 1 and the message on stderr.
"$RUX" port "$work/missing.rux" > /dev/null 2>&1; check "missing program exit" 1 $?
mkdir "$work/folder.rux"; mkfifo "$work/pipe.rux"
err=$(timeout 10 "$RUX" port "$work/folder.rux" 2>&1 >/dev/null); check "folder exit" 1 $?
check "folder message" "rux: cannot read '$work/folder.rux': it is a folder" "$err"
err=$(timeout 10 "$RUX" port "$work/pipe.rux" 2>&1 >/dev/null); check "FIFO exit" 1 $?
check "FIFO message" "rux: cannot read '$work/pipe.rux': it is a FIFO, not a file" "$err"
err=$("$RUX" port "$work/p.rux" --catalogue-dir "$work/nowhere" 2>&1 >/dev/null); check "missing catalogue exit" 1 $?
check "missing catalogue message" "rux: Could not read the Bittern II conversion issues file. It may have been deleted or become corrupted.
Please reinstall Halm Pro to resolve this problem." "$err"
mkdir -p "$work/cat" && echo '<AlbatrossQIssues/>' > "$work/cat/Bittern2.xml"
"$RUX" port "$work/p.rux" --catalogue-dir "$work/cat" > /dev/null 2>&1; check "wrong root exit" 1 $?
echo '<Bittern2Issues><Pr name="Only" menu="2.04:" icn="2" hlp="x.htm"/></Bittern2Issues>' > "$work/cat/Bittern2.xml"
out=$("$RUX" port "$work/p.rux" --catalogue-dir "$work/cat" | cut -f1); check "own catalogue" "Line 2" "$out"

# 401 sections are refused before the catalogue is read; 400 are scanned.
rows=(); for i in $(seq 400); do rows+=("{S$i" 'a = #5.07' "}"); done
program KESTREL "${rows[@]}" > "$work/s400.rux"
check "400 sections" 400 "$("$RUX" port "$work/s400.rux" | wc -l)"
program KESTREL "${rows[@]}" "{S401" "}" > "$work/s401.rux"
err=$("$RUX" port "$work/s401.rux" --catalogue-dir "$work/nowhere" 2>&1 >/dev/null); check "401 sections exit" 1 $?
check "401 sections message" "rux: There are too many sections in this RUX program to use the porting tool" "$err"

# Usage errors: exit 2.
for bad in "" "--json --sarif $work/p.rux" "$work/p.rux --fix twice" "$work/p.rux --icons 2" "$work/p.rux --icons 4 --fix add" \
           "$work/p.rux --ignore x" "$work/p.rux -o $work/o.rux" "$work/p.rux --frobnicate" "$work/p.rux $work/p.rux" \
           "$work/p.rux --fix add --ignore 2" "$work/p.rux --ignore 5"; do
    # shellcheck disable=SC2086
    "$RUX" port $bad > /dev/null 2>&1; check "usage exit: '$bad'" 2 $?
done

# A target of the Albatross SX family takes the other catalogue.
program OSPREY "{Background" '@D|@FB:1,P=(2,3) X=_ENCINIT,' 'a = #3.14' "}" > "$work/q.rux"
"$RUX" port "$work/q.rux" --json > "$work/q.json"; check "albatross exit" 3 $?
python3 - "$work/q.json" <<'PY' || fail=1
import json, sys
d = json.load(open(sys.argv[1]))
assert d["catalogue"] == "AlbatrossQ.xml", d["catalogue"]
assert [i["kind"] for i in d["issues"]] == ["albatrossFunctionBlock", "albatrossParameter"], d["issues"]
assert d["issues"][0]["description"] == "_ENCINIT function block encoder port locations numbers have changed."
PY

# JSON and SARIF against the required fields of their schemas.
"$RUX" port "$work/p.rux" --json > "$work/p.json"; check "json exit" 3 $?
"$RUX" port "$work/p.rux" --sarif > "$work/p.sarif"; check "sarif exit" 3 $?
python3 - "$work/p.json" "$work/p.sarif" "$work/p.rux" <<'PY' || fail=1
import json, sys
import jsonschema
report = json.load(open(sys.argv[1]))
integer = {"type": "integer"}
text = {"type": "string"}
issue_fields = {"line": integer, "column": integer, "length": integer, "icon": integer, "state": integer,
                "kind": text, "name": text, "location": text, "diagramColumn": integer, "diagramRow": integer,
                "help": text, "description": text, "status": text}
jsonschema.validate(report, {
    "type": "object", "required": ["catalogue", "issues"],
    "properties": {"catalogue": text, "issues": {"type": "array", "items": {
        "type": "object", "required": list(issue_fields), "properties": issue_fields, "additionalProperties": False}}}})
assert len(report["issues"]) == 7
cell = report["issues"][5]
assert (cell["line"], cell["column"], cell["length"], cell["diagramColumn"], cell["diagramRow"]) == (4, 18, 5, 4, 7), cell
assert cell["location"] == "Clock - Speed" and cell["help"] == "Menu05.htm", cell

# The required properties of SARIF 2.1.0 on the objects the log uses.
sarif = json.load(open(sys.argv[2]))
message = {"type": "object", "anyOf": [{"required": ["text"]}, {"required": ["id"]}]}
region = {"type": "object", "required": ["startLine"], "properties": {
    "startLine": {"type": "integer", "minimum": 1}, "startColumn": {"type": "integer", "minimum": 1},
    "endColumn": {"type": "integer", "minimum": 1}}}
location = {"type": "object", "properties": {"physicalLocation": {"type": "object", "required": ["artifactLocation"],
    "properties": {"artifactLocation": {"type": "object", "required": ["uri"]}, "region": region}}}}
jsonschema.validate(sarif, {
    "type": "object", "required": ["version", "runs"],
    "properties": {"version": {"const": "2.1.0"}, "runs": {"type": "array", "minItems": 1, "items": {
        "type": "object", "required": ["tool", "results"],
        "properties": {
            "tool": {"type": "object", "required": ["driver"], "properties": {"driver": {
                "type": "object", "required": ["name", "rules"], "properties": {"rules": {"type": "array", "items": {
                    "type": "object", "required": ["id"]}}}}}},
            "results": {"type": "array", "items": {"type": "object", "required": ["message", "ruleId", "ruleIndex", "locations"],
                "properties": {"message": message, "locations": {"type": "array", "minItems": 1, "items": location},
                               "level": {"enum": ["none", "note", "warning", "error"]}}}}}}}}})
run = sarif["runs"][0]
rules = run["tool"]["driver"]["rules"]
assert len({r["id"] for r in rules}) == len(rules), "rule ids repeat"
assert len(rules) >= 59, len(rules)   # one per entry of the shipped catalogue
# helpUri is an absolute URI (code-scanning tools refuse a relative one), naming a page that exists.
from urllib.parse import urlparse, unquote
import os
for r in rules:
    u = urlparse(r["helpUri"])
    assert u.scheme == "file" and os.path.isfile(unquote(u.path)), r["helpUri"]
lines = open(sys.argv[3], "rb").read().split(b"\r\n")
for r in run["results"]:
    assert rules[r["ruleIndex"]]["id"] == r["ruleId"]
    reg = r["locations"][0]["physicalLocation"]["region"]
    # The region points at the reference in the file itself.
    line = lines[reg["startLine"] - 1]
    found = line[reg["startColumn"] - 1:reg["endColumn"] - 1].decode()
    assert found.upper() in r["message"]["text"].upper() or found.startswith("#"), (found, r["message"]["text"])
    assert "itemIndex" in r["properties"]
assert [r["properties"]["itemIndex"] for r in run["results"]] == [1, 2, 2, 3, 3, 4, 7]
PY

# Fix all: add then remove gives the bytes back; the rows say what was done.
cp "$work/p.rux" "$work/f.rux"
"$RUX" port "$work/f.rux" --fix add > "$work/f.out"; check "fix add exit" 3 $?
check "fix add statuses" "2 Cannot be converted automatically
4 Has been converted using B2 prefix
1 See help for this issue" "$(cut -f4 "$work/f.out" | sort | uniq -c | sed 's/^ *//')"
check "fix add line" ":a = B2#5.07 + B2#2.04 ; #5.07" "$(tr -d '\r' < "$work/f.rux" | grep '^:a =')"
check "fix add diagram" "@VAR:3,P=(4,7) X=B2#5.07," "$(tr -d '\r' < "$work/f.rux" | grep '^@VAR')"
"$RUX" port "$work/f.rux" --fix remove -o "$work/g.rux" > /dev/null; check "fix remove exit" 3 $?
cmp -s "$work/p.rux" "$work/g.rux"; check "add then remove bytes" 0 $?

# --icons chooses without the dialog; with -o the program itself stays as it was.
before=$(md5sum < "$work/p.rux")
"$RUX" port "$work/p.rux" --fix add --icons 2 -o "$work/h.rux" > /dev/null
check "icons 2" ":a = #5.07 + B2#2.04 ; #5.07" "$(tr -d '\r' < "$work/h.rux" | grep '^:a =')"
"$RUX" port "$work/p.rux" --fix add --icons 3 -o "$work/h.rux" > /dev/null
check "icons 3" ":a = B2#5.07 + #2.04 ; #5.07" "$(tr -d '\r' < "$work/h.rux" | grep '^:a =')"
check "-o keeps the source" "$before" "$(md5sum < "$work/p.rux")"

# Ignore: the line is marked, its issues are shown as ignored, and a new scan passes it over.
out=$("$RUX" port "$work/p.rux" --ignore 2 -o "$work/i.rux" | grep '^Line 2' | cut -f4 | sort -u)
check "ignored status" "Has been marked to be ignored." "$out"
check "ignored line bytes" ":a = #5.07 + #2.04 ; #5.07$(printf '\t')// {PTOOL:Ignore}" "$(tr -d '\r' < "$work/i.rux" | grep '^:a =')"
check "rescan after ignore" "" "$("$RUX" port "$work/i.rux" | grep '^Line 2')"
"$RUX" port "$work/i.rux" --ignore 2 > /dev/null 2>&1; check "nothing left to ignore" 2 $?

exit $fail
