#!/usr/bin/env bash
# Runs an end-to-end test on a display of its own: a fresh Xvfb started by xvfb-run.
#
#   on_xvfb.sh COMMAND ARGS...
#
# Exits 77 (skipped) when xvfb-run, Xvfb, xauth or xdotool is missing or Xvfb cannot start,
# otherwise with COMMAND's status.
set -euo pipefail

readonly kSkip=77

if [ "${1:-}" = --inside ]; then
  # On the display xvfb-run started. xvfb-run -a runs the command even when every Xvfb it
  # tried failed: check the display first.
  started=$2
  shift 2
  for _ in 1 2 3 4; do
    xdotool getdisplaygeometry >/dev/null 2>&1 && touch "$started" && break
    sleep 0.5
  done
  [ -e "$started" ] || exit 1
  exec "$@"
fi

for tool in xvfb-run Xvfb xauth xdotool; do
  command -v "$tool" >/dev/null ||
    { echo "SKIPPED: $tool is not installed (tools/install-deps installs it)"; exit $kSkip; }
done
started=$(mktemp -u "${TMPDIR:-/tmp}/tavi-xvfb-started.XXXXXX")
trap 'rm -f "$started"' EXIT
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --inside "$started" "$@" || status=$?
if [ ! -e "$started" ]; then
  echo "SKIPPED: Xvfb could not start here (xvfb-run exit status $status)"
  exit $kSkip
fi
exit $status
