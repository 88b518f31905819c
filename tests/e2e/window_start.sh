# The window tests' common start, sourced after support/xvfb.sh with
# AKKUSIM and X11_PIXELS set: a private copy of the program on its own Xvfb
# server, its window found and focused, and the checks of its pixels.
# DEADLINE (seconds for each wait, default 60) and KEEP_SHOTS (a folder that
# receives a screenshot of a failed run, taken with ImageMagick's import)
# help to look into a failure.

WORK=$(mktemp -d)
CLEANUP_DIR=$WORK
start_xvfb "$WORK"

# A private copy, so that its Programme folder starts empty.
cp "$AKKUSIM" "$WORK/akkusim"
mkdir "$WORK/Programme"
# In a sanitizer build, the display and D-Bus libraries keep a few blocks
# until exit; our own code's leaks are checked by the headless tests.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 spawn "$WORK/akkusim" \
  >"$WORK/app.log" 2>&1
APP=$!

fail() {
  echo "FAIL: $*"
  cat "$WORK/app.log"
  if [ -n "${KEEP_SHOTS:-}" ] && [ -n "${WID:-}" ]; then
    mkdir -p "$KEEP_SHOTS" && import -window "$WID" "$KEEP_SHOTS/failure.png"
  fi
  exit 1
}
DEADLINE=${DEADLINE:-60}
poll "$DEADLINE" find_window "$WORK/wid" || fail "no window"
WID=$(head -n 1 "$WORK/wid")
timeout "$DEADLINE" xdotool windowfocus --sync "$WID" || fail "could not focus the window"

# Checks of the window's pixels; the first argument only names the moment
# in a failure message. Colours are hex rrggbb.
count() { "$X11_PIXELS" "$WID" "$2" "$3" "$4" "$5" "$6"; }
pixel() { "$X11_PIXELS" "$WID" "$2" "$3"; }
has_some() { n=$(count "$@") && [ "$n" -gt 0 ]; }
has_none() { n=$(count "$@") && [ "$n" -eq 0 ]; }
has_pixel() { [ "$(pixel "$@")" = "$4" ]; }
# The text cursor bar (3 x 10 pixels) at a row and column of the listing:
# its top and bottom rows lie outside every glyph, so a whole black column
# of 10 pixels is the bar.
has_cursor() {
  [ "$(count cursor $(($2 * 8 + 53)) $(($1 * 10 + 200)) 1 10 000000)" = 10 ]
}
await_some() { poll "$DEADLINE" has_some "$@" || fail "$1: no #$6 at $2,$3 ($4x$5)"; }
await_none() {
  poll "$DEADLINE" has_none "$@" || fail "$1: still #$6 at $2,$3 ($4x$5)"
}
await_pixel() {
  poll "$DEADLINE" has_pixel "$@" || fail "$1: ($2,$3) is $(pixel "$@"), not $4"
}
await_cursor() {
  poll "$DEADLINE" has_cursor "$1" "$2" || fail "no text cursor at row $1, column $2"
}

# Where the text cursor stands.
ROW=0
COL=1
click() { xdotool mousemove --window "$WID" "$1" "$2" click 1; }
# Each line is awaited before the next: the key queue holds 15 keys.
line() {
  xdotool type --delay 15 "$1"
  xdotool key Return
  ROW=$((ROW + 1))
  await_cursor "$ROW" 1
}

