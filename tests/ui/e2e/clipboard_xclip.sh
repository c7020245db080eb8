#!/bin/bash
# The desktop clipboard between the real editor and another X11 client (xclip): plain text put on
# the clipboard is pasted with Ctrl+V, and a copy made in the editor is read back both as plain text
# and as the editor's private target TVED1RUX. The primary selection is left alone.
# Arguments: the product directory and the source tree.
set -u
. "$(dirname "$0")/lib/e2e_common.sh"
e2e_require Xvfb xdotool xclip
e2e_workspace "$PRODUCT" ruxedit_clip
e2e_open_copy "$SOURCE/examples/conveyor_line.rux"

# Another client owns the clipboard; the editor pastes its plain text on a new line below the header.
printf 'P1%% = 7' | xclip -selection clipboard -i
xdotool key --delay 50 ctrl+Home
xdotool key --delay 50 ctrl+v
# The pasted line, selected and copied by the editor.
xdotool key --delay 50 shift+Home
xdotool key --delay 50 ctrl+c
sleep 0.5
plain=$(xclip -selection clipboard -o 2>/dev/null | tr -d '\r')
[ "$plain" = "P1% = 7" ] || fail "plain text read back: '$plain'"
xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx TVED1RUX || fail "the clipboard offers no TVED1RUX target"
private=$(xclip -selection clipboard -t TVED1RUX -o 2>/dev/null | tr -d '\r')
[ "$(printf '%s\n' "$private" | head -1)" = '$*TORVEL/RUX-V1' ] || fail "TVED1RUX lacks the header line: '$private'"
printf '%s\n' "$private" | grep -qx ':P1% = 7' || fail "TVED1RUX lacks the copied line: '$private'"
[ -z "$(xclip -selection primary -o 2>/dev/null)" ] || fail "the editor set the primary selection"

e2e_save
e2e_expect_changes "> P1% = 7" "saved program differs by more than the pasted line"
echo "pasted from xclip, copied back as text and as TVED1RUX, saved: one new line"
