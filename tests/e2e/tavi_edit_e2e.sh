#!/usr/bin/env bash
# End to end on a real X display (Xvfb): tavi-edit on a script without keywords shows the
# gutter and nothing blue; after a click into the editor and "IF CALL RATE THEN QUIT" typed
# with xdotool it shows blue keywords. The pictures are left in OUT_DIR.
#
#   tavi_edit_e2e.sh TAVI_EDIT CHECKER OUT_DIR
#
# Runs on a display of its own: on_xvfb.sh tavi_edit_e2e.sh ... Every wait polls and is
# bounded: at most about 55 s in all, about 2 s when all is well.
set -euo pipefail

edit=$1 checker=$2 out=$3
rm -rf "$out" && mkdir -p "$out"
# tavi-edit's settings (the recent files) stay in the test's folder.
export XDG_CONFIG_HOME=$out/config
script="$out/untouched.scr"
# Lines without keywords for the gutter to number, then empty lines to type on.
{ for i in 1 2 3 4; do printf 'Caller_%d Route_%d\r\n' "$i" "$i"; done
  for i in $(seq 1 12); do printf '\r\n'; done; } >"$script"

"$edit" "$script" >"$out/tavi-edit.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
# The window, once mapped (xdotool polls; bounded here).
window=$(timeout 12 xdotool search --sync --onlyvisible --pid "$pid" --name 'tavi-edit' |
         head -n 1) || true
[ -n "$window" ] ||
  { echo "FAILED: no tavi-edit window within 12 s"; cat "$out/tavi-edit.log"; exit 1; }
echo "tavi-edit window $window"

"$checker" "$window" "$out/before.png" --no-keywords
# Without a window manager the keyboard follows the input focus set here; the click puts
# the caret into the text, as a person does before typing.
timeout 5 xdotool windowfocus --sync "$window"
timeout 5 xdotool mousemove --sync --window "$window" 300 120 click 1
timeout 10 xdotool type --delay 30 "IF CALL RATE THEN QUIT"
"$checker" "$window" "$out/after.png" --keywords
exit 0
