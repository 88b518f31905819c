#!/bin/sh
# Smoke test of the real window: under Xvfb, click and type into it with
# xdotool, then end it with SIGTERM, which must arrive as the close key and
# end the program with exit code 0. Skips (77) without xvfb-run or xdotool.
set -u
exe=$1
if [ "${2:-}" != "--inside" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
  done
  # Leak reports from the X libraries are not ours.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$exe" --inside
fi

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$exe" >"$out" 2>&1 &
pid=$!
waited=0
until grep -q '^ready' "$out"; do
  sleep 0.1
  waited=$((waited + 1))
  if [ $waited -gt 100 ] || ! kill -0 $pid 2>/dev/null; then
    echo "FAIL: the window did not come up"; cat "$out"; kill -9 $pid 2>/dev/null; exit 1
  fi
done
wid=$(xdotool search --name '^akkusim$' | head -n 1)
[ -n "$wid" ] || { echo "FAIL: no window titled akkusim"; kill -9 $pid; exit 1; }
xdotool windowfocus --sync "$wid"
xdotool mousemove --window "$wid" 123 45
sleep 0.1
xdotool click 1
xdotool type "a"
xdotool type "ä"
xdotool key Return Left
sleep 0.3
kill -TERM $pid
wait $pid
rc=$?
cat "$out"
fail=0
[ $rc -eq 0 ] || { echo "FAIL: exit code $rc after SIGTERM"; fail=1; }
for line in "click 123 45" "key 97" "key 132" "key 13" "key 255 75" "close"; do
  grep -qx "$line" "$out" || { echo "FAIL: missing '$line'"; fail=1; }
done
[ $fail -eq 0 ] && echo "sdl smoke test passed"
exit $fail
