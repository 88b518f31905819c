#!/bin/sh
# Smoke test of the real window: on a private Xvfb server, click and type
# into it with xdotool, then end it with SIGTERM, which must arrive as the
# close key and end the program with exit code 0. Skips (77) without Xvfb,
# setxkbmap or xdotool.
#   sdl_smoke.sh SDL_SMOKE
set -u
exe=$1
. "$(dirname "$0")/../support/xvfb.sh"
require_tools

work=$(mktemp -d)
CLEANUP_DIR=$work
start_xvfb "$work"

out="$work/out"
# Leak reports from the X libraries are not ours.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" spawn "$exe" >"$out" 2>&1
pid=$!

fail() {
  echo "FAIL: $*"
  cat "$out"
  exit 1
}
seen() { grep -qx "$1" "$out"; }
running() { kill -0 "$pid" 2>/dev/null; }
up_or_gone() { seen ready || ! running; }

poll 60 up_or_gone || fail "the window did not come up"
running || fail "the program ended before it was ready"
poll 30 find_window "$work/wid" || fail "no window titled akkusim"
wid=$(head -n 1 "$work/wid")
timeout 30 xdotool windowfocus --sync "$wid" || fail "could not focus the window"
xdotool mousemove --window "$wid" 123 45 click 1
# "ä" by its key symbol, which the German keymap holds.
xdotool key a adiaeresis Return Left
poll 60 seen "key 255 75" || fail "the keys did not all arrive"
kill -TERM "$pid"
ended() { ! running; }
poll 30 ended || fail "SIGTERM did not end the program"
wait "$pid"
rc=$?
CLEANUP_PIDS=$(echo "$CLEANUP_PIDS" | sed "s/\<$pid\>//")
cat "$out"
status=0
[ $rc -eq 0 ] || { echo "FAIL: exit code $rc after SIGTERM"; status=1; }
for line in "click 123 45" "key 97" "key 132" "key 13" "key 255 75" "close"; do
  seen "$line" || { echo "FAIL: missing '$line'"; status=1; }
done
[ $status -eq 0 ] && echo "sdl smoke test passed"
exit $status
