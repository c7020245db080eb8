#!/bin/bash
# The sequencing tool's export offered by another X11 client (xclip) under the target
# QUODEX_SEQUENCER_EXPORT as UTF-16, taken into the real editor through Insert > Indexer > QUODEX
# generated code from the keyboard, then saved: the program's lines must be those the import gives
# when `rux edit` runs it on the same payload.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xclip iconv
e2e_workspace "$PRODUCT" ruxedit_indexer
# No information dialog after the import: this run checks the program, not the dialog.
printf '[RUXCONF]\r\nShowQuodexImportInfoDlg=0\r\n' >"$WORK/product/Torvel.ini"
ORIGINAL="$SOURCE/tests/data/import/indexer_base.rux"
cp "$ORIGINAL" "$WORK/p.rux"
cp "$ORIGINAL" "$WORK/q.rux"

. "$SOURCE/tests/cli/lib/indexer_payload.sh"
indexer_payload 2 '$DEFINE IDX_POS #19.01' >"$WORK/payload.xml"
# As the tool puts it there: UTF-16 in the platform's byte order, no mark, a terminating zero.
{ iconv -f UTF-8 -t UTF-16LE "$WORK/payload.xml"; printf '\0\0'; } >"$WORK/payload.u16"

# The expected program: the same payload through the script's clipboard.
"$PRODUCT/rux" edit "$WORK/q.rux" -e "clip-sequencer $WORK/payload.xml" -e "cmd import-indexer" -e save \
    >"$WORK/script.log" 2>&1 || { cat "$WORK/script.log"; fail "rux edit import"; }

e2e_display

# xclip serves the selection until another client takes it; -quiet keeps it in the foreground of
# its own process, so that the set-up ends it with the display.
xclip -quiet -selection clipboard -t QUODEX_SEQUENCER_EXPORT -i "$WORK/payload.u16" >/dev/null 2>&1 &
MOREPIDS=$!
for _ in $(seq 50); do
    xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx QUODEX_SEQUENCER_EXPORT && break
    sleep 0.1
done

e2e_start_editor '^RUX Editor - \[p.rux' "$WORK/p.rux"

# Insert > Indexer > QUODEX generated code, by the menus' mnemonics; then save.
xdotool key --delay 150 alt+i i q
sleep 1
e2e_save

"$PRODUCT/rux" text "$WORK/q.rux" >"$WORK/expected.txt" || fail "rux text of the script's import"
"$PRODUCT/rux" text "$WORK/p.rux" >"$WORK/after.txt" || fail "rux text of the saved program"
diff "$WORK/expected.txt" "$WORK/after.txt" || fail "the editor's import differs from the script's"
tr -d '\r' <"$WORK/after.txt" | grep -qx '//{{QUODEX_INDEXER_BACKGROUND_TASK' || fail "no markers in the saved program"
echo "the X11 clipboard export was imported as the script imports it"
