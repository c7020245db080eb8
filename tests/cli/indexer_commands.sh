#!/usr/bin/env bash
# rux edit's indexer commands: the sequencer clipboard, the import, the function block and the
# answers to their questions.
. "$(dirname "$0")/lib/common.sh" "$@"

# A product directory of our own whose settings file turns the information box off.
mkdir -p "$work/home"
ln -s "$(dirname "$RUX")"/* "$work/home/"
rm -f "$work/home/Torvel.ini"
printf '[RUXCONF]\r\nShowQuodexImportInfoDlg=0\r\n' > "$work/home/Torvel.ini"
export RUXEDIT_HOME="$work/home"

. "$(dirname "$0")/lib/indexer_payload.sh"
payload() { indexer_payload "$1" "$2" UTF-16; } # version, then the ALIAS text
payload 2 '$DEFINE IDX_POS #19.01' > "$work/p.utf8.xml"
iconv -f UTF-8 -t UTF-16 "$work/p.utf8.xml" > "$work/p.utf16.xml"   # with its byte-order mark
payload 3 'x' > "$work/v3.xml"
payload 2 '$DEFINE NAME caf'$'\xc3\xa9' > "$work/accent.xml"

# Each run gets a copy of its own: the import writes the node file beside the program at once.
fresh() { rm -f "$work/$1.node"; cp "$DATA/import/indexer_base.rux" "$work/$1.rux"; }

# The golden import, from UTF-16 and from UTF-8 alike, with nothing to say.
fresh a
out=$("$RUX" edit "$work/a.rux" -e "clip-sequencer $work/p.utf16.xml" -e "cmd import-indexer" -o "$work/a16.rux")
check "utf-16 import exit" 0 $?
check "utf-16 import output" "" "$out"
cmp -s "$work/a16.rux" "$DATA/import/indexer_first.expected.rux"; check "utf-16 import golden" 0 $?
fresh a
"$RUX" edit "$work/a.rux" -e "clip-sequencer $work/p.utf8.xml" -e "cmd import-indexer" -o "$work/a8.rux" > /dev/null
cmp -s "$work/a8.rux" "$DATA/import/indexer_first.expected.rux"; check "utf-8 import golden" 0 $?
cmp -s "$work/a.rux" "$DATA/import/indexer_base.rux"; check "-o leaves the program alone" 0 $?

# Undo takes the whole import back, the node file beside the program included; without data the
# import does nothing and saves nothing.
fresh a
"$RUX" edit "$work/a.rux" -e "clip-sequencer $work/p.utf8.xml" -e "cmd import-indexer" -e "cmd undo" -o "$work/u.rux"
cmp -s "$work/u.rux" "$DATA/import/indexer_base.rux"; check "undo restores the bytes" 0 $?
check "undo restores the node file" "RefLibs=" "$(grep -a '^RefLibs=' "$work/a.node" | tr -d '\r')"
out=$("$RUX" edit "$work/a.rux" -e "clip-text hello" -e "cmd import-indexer")
check "no sequencer data" "" "$out"
cmp -s "$work/a.rux" "$DATA/import/indexer_base.rux"; check "no sequencer data, no save" 0 $?

# A characters of the code page arrives as its byte.
"$RUX" edit "$work/a.rux" -e "clip-sequencer $work/accent.xml" -e "cmd import-indexer" -o "$work/acc.rux" > /dev/null
grep -qa $':$DEFINE NAME caf\xe9\r$' "$work/acc.rux"; check "code page byte" 0 $?

# The version message, on one line.
out=$("$RUX" edit "$work/a.rux" -e "clip-sequencer $work/v3.xml" -e "cmd import-indexer")
check "newer version" "HalmPro cannot import the indexer program as it appears to be a newer version that HalmPro doesn't recognise. \\nTo resolve this, check for an upgrade to HalmPro https://rux-editor.example.org/upgrades" "$out"

# The marker question: answered No, answered Yes, and unanswered (the default button, Yes).
printf '$*TORVEL/RUX-V1\r\n:x\r\n://{{QUODEX_INDEXER_ALIAS\r\n' > "$work/m.rux"
cp "$work/m.rux" "$work/m.orig"
question='? Warning: The code may not be imported correctly. The header comments:\n//{{QUODEX_INDEXER_ALIAS\nor\n//}}QUODEX_INDEXER_ALIAS\nwere not found or were not in the correct position.\nContinue with import?'
out=$("$RUX" edit "$work/m.rux" -e "answer no" -e "clip-sequencer $work/p.utf8.xml" -e "cmd import-indexer")
check "answered no" "$question -> No" "$out"
cmp -s "$work/m.rux" "$work/m.orig"; check "answered no changes nothing" 0 $?
out=$("$RUX" edit "$work/m.rux" -e "clip-sequencer $work/p.utf8.xml" -e "cmd import-indexer" -o "$work/m3.rux" | head -n 1)
check "default answer" "$question -> Yes" "$out"
"$RUX" edit "$work/m.rux" -e "answer maybe" 2> "$work/err"; check "bad answer exit" 2 $?
grep -q "needs yes, no, ok or cancel" "$work/err"; check "bad answer message" 0 $?

# The information box, when the settings say so, prints the text shipped with the product.
printf '[RUXCONF]\r\nShowQuodexImportInfoDlg=1\r\n' > "$work/home/Torvel.ini"
out=$("$RUX" edit "$work/a.rux" -e "clip-sequencer $work/p.utf8.xml" -e "cmd import-indexer" -o "$work/i.rux")
check "information text" 'Indexer code import\n\nThe code generated' "${out:0:41}"
# The shipped text has CR LF line ends; each is one new line of the box, never a printed "\r".
shown=$(tr -d '\r' < "$work/home/QuodexImportInformation.txt" | awk '{ printf "%s\\n", $0 }')
check "information whole text" "$shown" "${out:0:${#shown}}"
check "information no CR" 0 "$(printf '%s' "$out" | grep -c -F '\r')"
printf '[RUXCONF]\r\nShowQuodexImportInfoDlg=0\r\n' > "$work/home/Torvel.ini"

fresh a
# The indexer function block: the preset name, a given name, a bad one, and the directive that is
# there already (a taken name and where the routines go are the import's own tests).
out=$("$RUX" edit "$work/a.rux" -e "cmd add-indexer-fb" -e "cmd add-indexer-fb _Other" -o "$work/fb.rux")
check "directive already used" "The \$INDEXROUTINE  directive is already used in the rux file" "$out"
check "directive line" ':$INDEXROUTINE _FBIndexer' "$(sed -n '/^:/{p;q}' "$work/fb.rux" | tr -d '\r')"
check "block header" "Name=(Output%) = _FBIndexer (CurrentType%, CurrentItem%)" "$(grep -a '^Name=(Output' "$work/fb.rux" | head -n 1 | tr -d '\r')"
out=$("$RUX" edit "$work/a.rux" -e "cmd add-indexer-fb _1x")
check "bad name" "Invalid or missing function block name. FB name should begin with an '_' character." "$out"
cmp -s "$work/a.rux" "$DATA/import/indexer_base.rux"; check "bad name changes nothing" 0 $?
"$RUX" edit "$work/a.rux" -e "cmd add-indexer-fb _a _b" 2> /dev/null; check "two names refused" 2 $?

: > "$work/payload.empty"
"$RUX" edit "$work/a.rux" -e "clip-sequencer $work/payload.empty" -e "cmd import-indexer" > /dev/null
check "empty payload file exit" 0 $?
# A payload path that is a folder or a FIFO is refused with its reason: no empty payload, no blocking.
mkdir "$work/payload.d"; mkfifo "$work/payload.fifo"
err=$(timeout 10 "$RUX" edit "$work/a.rux" -e "clip-sequencer $work/payload.d" -e "cmd import-indexer" 2>&1)
check "folder payload exit" 1 $?
check "folder payload message" "rux: cannot read '$work/payload.d': it is a folder" "$err"
err=$(timeout 10 "$RUX" edit "$work/a.rux" -e "clip-sequencer $work/payload.fifo" 2>&1)
check "FIFO payload exit" 1 $?
check "FIFO payload message" "rux: cannot read '$work/payload.fifo': it is a FIFO, not a file" "$err"

[ $fail = 0 ] && echo "all passed"
exit $fail
