#!/usr/bin/env bash
# End to end on a real X display: tavi-edit opens a file, a person types at the end of its
# last line and presses Ctrl+S, and the file's bytes are compared with the expected ones.
# Every kind of file keeps its encoding, its line breaks and its final line break; a long
# file is saved whole; a missing file is created; a file that is no text is refused and
# left alone; a save that fails keeps the unsaved mark; a middle click pastes the X11
# selection clipboard.
#
#   tavi_edit_files_e2e.sh TAVI_EDIT OUT_DIR
#
# Runs on a display of its own: on_xvfb.sh tavi_edit_files_e2e.sh ... Each case takes
# about a second; every wait polls and is bounded.
set -euo pipefail

edit=$1 out=$2
rm -rf "$out" && mkdir -p "$out"
# tavi-edit's settings (the recent files) stay in the test's folder.
export XDG_CONFIG_HOME=$out/config
failures=0
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Starts tavi-edit on FILE and waits for its main window (titled "... - tavi-edit").
start() {
  log=$out/$(basename "$1").log
  "$edit" "$1" >"$log" 2>&1 &
  pid=$!
  window=$(timeout 12 xdotool search --sync --onlyvisible --pid "$pid" --name ' - tavi-edit$' |
           head -n 1) || true
  [ -n "$window" ] || { fail "no tavi-edit window for $1"; cat "$log"; return 1; }
  timeout 5 xdotool windowfocus --sync "$window"
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
}

# Polls (up to 8 s) until the command succeeds.
eventually() {
  for _ in $(seq 1 80); do "$@" && return 0; sleep 0.1; done
  return 1
}

title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }
# A window of the process titled exactly "tavi-edit": a message box.
message_box_shown() { xdotool search --onlyvisible --pid "$pid" --name '^tavi-edit$' >/dev/null; }

# edit_and_save NAME KEYS: Ctrl+End, types KEYS, Ctrl+S; then FILE must equal NAME.expected.
edit_and_save() {
  local file=$out/$1
  start "$file" || return 0
  xdotool key ctrl+End
  xdotool type --delay 20 "$2"
  xdotool key ctrl+s
  if eventually cmp -s "$file" "$file.expected"; then
    echo "ok: $1 ($SECONDS s)"
  else
    fail "$1 holds other bytes than expected:"
    cmp "$file" "$file.expected" || true
    od -c "$file" | head -n 5
  fi
  stop
}

# A file is written in pieces: the bytes before the typed text, then after it.
case_file() {  # NAME BEFORE AFTER [ENCODE]: NAME holds BEFORE AFTER, NAME.expected BEFORE X AFTER
  local encode=${4:-cat}
  printf "$2$3" | $encode >"$out/$1"
  printf "$2X$3" | $encode >"$out/$1.expected"
}

utf16le() { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; }
utf8bom() { printf '\xef\xbb\xbf'; cat; }

case_file crlf.scr 'SECTION A\r\nGIVE BUSY\r\nQUIT' '\r\n'
case_file lf.scr 'SECTION A\nGIVE BUSY\nQUIT' '\n'
case_file cr.scr 'SECTION A\rGIVE BUSY\rQUIT' '\r'
case_file no-final-break.scr 'SECTION A\nQUIT' ''
case_file utf8-bom.scr 'SECTION Caf\xc3\xa9\r\nQUIT' '\r\n' utf8bom
case_file utf16le.scr 'SECTION Caf\xc3\xa9\r\nQUIT' '\r\n' utf16le
# 5,000 lines, about 144 KB: more than the control's usual 100,000 characters.
for i in $(seq 1 5000); do printf '    GIVE RAN Closed_Ran_%d\r\n' "$i"; done >"$out/long.scr"
{ head -c -2 "$out/long.scr"; printf 'X\r\n'; } >"$out/long.scr.expected"

for name in crlf.scr lf.scr cr.scr no-final-break.scr utf8-bom.scr utf16le.scr long.scr; do
  edit_and_save "$name" X
done

# A missing file opens empty under its name; saving creates it, with a final line break.
printf 'QUIT\r\n' >"$out/new.scr.expected"
edit_and_save new.scr QUIT

# Files that are no text: refused with a message naming them, the editor left untitled, the
# file untouched (Ctrl+S asks for a name instead).
printf 'SECTION A\r\n\0\1\2' >"$out/binary.scr"
printf 'SECTION Caf\xe9\r\n' >"$out/latin1.scr"
for name in binary.scr latin1.scr; do
  file=$out/$name
  cp "$file" "$file.before"
  start "$file" || continue
  if eventually message_box_shown && title_is 'Untitled - tavi-edit' &&
     grep -q "$name was not opened" "$log" && cmp -s "$file" "$file.before"; then
    echo "ok: $name refused"
  else
    fail "$name: no refusal (title: $(xdotool getwindowname "$window"))"
    cat "$log"
  fi
  stop
done

# A save that fails (its folder does not exist) says so and keeps the unsaved mark.
start "$out/gone/new.scr" && {
  xdotool type --delay 20 QUIT
  xdotool key ctrl+s
  if eventually message_box_shown && title_is 'new.scr * - tavi-edit' &&
     [ ! -e "$out/gone" ]; then
    echo "ok: a failed save keeps the unsaved mark"
  else
    fail "failed save: title $(xdotool getwindowname "$window")"
  fi
  stop
}

# X11's selection clipboard: a middle click below the last line puts its text at the end.
printf 'SECTION A\r\nQUIT' >"$out/middle.scr"
printf 'SECTION A\r\nQUIT GIVE BUSY' >"$out/middle.scr.expected"
start "$out/middle.scr" && {
  printf ' GIVE BUSY' | xclip -selection primary
  xdotool mousemove --sync --window "$window" 300 400 click 2
  xdotool key ctrl+s
  if eventually cmp -s "$out/middle.scr" "$out/middle.scr.expected"; then
    echo "ok: a middle click pastes the selection clipboard"
  else
    fail "middle click: $(od -c "$out/middle.scr" | head -n 3)"
  fi
  stop
}

[ "$failures" -eq 0 ] || { echo "$failures case(s) failed; files in $out"; exit 1; }
echo "all cases passed"
