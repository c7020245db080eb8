#!/bin/bash
# The sequencing tool's export offered by another X11 client (xclip) under the target
# QUODEX_SEQUENCER_EXPORT as UTF-16, taken into the real editor through Insert > Indexer > QUODEX
# generated code from the keyboard, then saved: the program's lines must be those the import gives
# when `rux edit` runs it on the same payload.
# Arguments: the product directory and the source tree.
set -u
PRODUCT=$(cd "$1" && pwd)
SOURCE=$(cd "$2" && pwd)
for tool in Xvfb xdotool xclip iconv; do
    command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb xdotool xclip)"; exit 1; }
done

WORK=$(mktemp -d /tmp/ruxedit_indexer.XXXXXX)
XPID=""; EPID=""; CPID=""
cleanup() {
    [ -n "$EPID" ] && kill "$EPID" 2>/dev/null
    [ -n "$CPID" ] && kill "$CPID" 2>/dev/null
    [ -n "$XPID" ] && kill "$XPID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir -p "$WORK/product" "$WORK/run" "$WORK/config"
chmod 700 "$WORK/run"
for f in "$PRODUCT"/*; do
    [ "$(basename "$f")" = Torvel.ini ] || ln -s "$f" "$WORK/product/"
done
# No information dialog after the import: this run checks the program, not the dialog.
printf '[RUXCONF]\r\nShowQuodexImportInfoDlg=0\r\n' >"$WORK/product/Torvel.ini"
export RUXEDIT_HOME="$WORK/product" XDG_RUNTIME_DIR="$WORK/run" XDG_CONFIG_HOME="$WORK/config"
cp "$SOURCE/tests/data/import/indexer_base.rux" "$WORK/p.rux"
cp "$SOURCE/tests/data/import/indexer_base.rux" "$WORK/q.rux"

cat >"$WORK/payload.xml" <<'XML'
<?xml version="1.0"?>
<SequencerExport>
  <Version>2</Version>
  <ALIAS><![CDATA[$DEFINE IDX_POS #19.01]]></ALIAS>
  <JOG_SUBROUTINE_NAME><![CDATA[IdxJog]]></JOG_SUBROUTINE_NAME>
  <JOG><![CDATA[#1.21 = 100]]></JOG>
  <INITIAL><![CDATA[Step% = 0]]></INITIAL>
  <BACKGROUND><![CDATA[(Done%) = _IdxMoveTo(Target%, 50)
IF Done% THEN Step% = 1]]></BACKGROUND>
  <INITIAL_TASK><![CDATA[// start the indexer]]></INITIAL_TASK>
  <BACKGROUND_TASK><![CDATA[// run the indexer]]></BACKGROUND_TASK>
</SequencerExport>
XML
# As the tool puts it there: UTF-16 in the platform's byte order, no mark, a terminating zero.
{ iconv -f UTF-8 -t UTF-16LE "$WORK/payload.xml"; printf '\0\0'; } >"$WORK/payload.u16"

# The expected program: the same payload through the script's clipboard.
"$PRODUCT/rux" edit "$WORK/q.rux" -e "clip-sequencer $WORK/payload.xml" -e "cmd import-indexer" -e save \
    >"$WORK/script.log" 2>&1 || { cat "$WORK/script.log"; fail "rux edit import"; }

for d in $(seq 141 190); do
    [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || break
done
Xvfb ":$d" -screen 0 1600x1000x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XPID=$!
export DISPLAY=":$d"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done
[ -e "/tmp/.X11-unix/X$d" ] || fail "Xvfb did not start"

# xclip stays in the background serving the selection until another client takes it.
xclip -selection clipboard -t QUODEX_SEQUENCER_EXPORT -i "$WORK/payload.u16" &
CPID=$!
for _ in $(seq 50); do
    xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx QUODEX_SEQUENCER_EXPORT && break
    sleep 0.1
done

"$PRODUCT/ruxedit" "$WORK/p.rux" >"$WORK/editor.log" 2>&1 &
EPID=$!
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --name '^RUX Editor - \[p.rux' 2>/dev/null | head -1)
    [ -n "$wid" ] && break
    kill -0 "$EPID" 2>/dev/null || { cat "$WORK/editor.log"; fail "the editor exited"; }
    sleep 0.2
done
[ -n "$wid" ] || fail "no editor window"
sleep 1
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus "$wid"

# Insert > Indexer > QUODEX generated code, by the menus' mnemonics; then save.
xdotool key --delay 150 alt+i i q
sleep 1
xdotool key --delay 50 ctrl+s
for _ in $(seq 50); do
    ! cmp -s "$SOURCE/tests/data/import/indexer_base.rux" "$WORK/p.rux" && break
    sleep 0.1
done
cmp -s "$SOURCE/tests/data/import/indexer_base.rux" "$WORK/p.rux" && fail "the program was not changed and saved"

"$PRODUCT/rux" text "$WORK/q.rux" >"$WORK/expected.txt" || fail "rux text of the script's import"
"$PRODUCT/rux" text "$WORK/p.rux" >"$WORK/after.txt" || fail "rux text of the saved program"
diff "$WORK/expected.txt" "$WORK/after.txt" || fail "the editor's import differs from the script's"
tr -d '\r' <"$WORK/after.txt" | grep -qx '//{{QUODEX_INDEXER_BACKGROUND_TASK' || fail "no markers in the saved program"
echo "the X11 clipboard export was imported as the script imports it"
