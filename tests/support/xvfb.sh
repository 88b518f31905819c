# Shared by the window tests (sourced): a private Xvfb server with a German
# keymap, waits that poll with a deadline, and a clean-up that always runs.
# A keymap that holds every character the tests type spares xdotool from
# remapping a spare keycode, which races with the program's own keymap
# lookup. Each test gets its own server from -displayfd, so two window tests
# can run at the same time.

WINDOW_TEST_TOOLS="Xvfb setxkbmap xdotool"

# Exits 77 (skip) when a tool is missing.
require_tools() {
  for tool in $WINDOW_TEST_TOOLS "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# poll SECONDS COMMAND...: runs COMMAND until it succeeds; false once the
# deadline has passed.
poll() {
  _deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$_deadline" ] || return 1
    sleep 0.05
  done
}

# Processes to end on exit, last started first.
CLEANUP_PIDS=""
CLEANUP_DIR=""
cleanup() {
  for pid in $CLEANUP_PIDS; do kill "$pid" 2>/dev/null || true; done
  for pid in $CLEANUP_PIDS; do wait "$pid" 2>/dev/null || true; done
  CLEANUP_PIDS=""
  [ -n "$CLEANUP_DIR" ] && rm -rf "$CLEANUP_DIR"
  CLEANUP_DIR=""
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs "$@" in the background, ended by the clean-up; its pid is in $!.
# setpriv makes it die with this shell even when the shell is killed
# outright (a ctest timeout), so no server outlives its test.
spawn() {
  if setpriv --pdeathsig KILL true 2>/dev/null; then
    setpriv --pdeathsig KILL "$@" &
  else
    "$@" &
  fi
  CLEANUP_PIDS="$! $CLEANUP_PIDS"
}

has_display_number() {
  grep -q '^[0-9][0-9]*$' "$1"
}

# start_xvfb WORKDIR: a 1280 x 1024 server with the German keymap; exports
# DISPLAY. -noreset keeps the keymap: a server that resets whenever its last
# client leaves would drop it as soon as setxkbmap disconnects.
start_xvfb() {
  : >"$1/display"
  spawn Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$1/display" \
    2>"$1/xvfb.log"
  if ! poll 30 has_display_number "$1/display"; then
    echo "FAIL: Xvfb did not start"
    cat "$1/xvfb.log"
    exit 1
  fi
  DISPLAY=":$(cat "$1/display")"
  export DISPLAY
  setxkbmap -display "$DISPLAY" de || { echo "FAIL: setxkbmap de on $DISPLAY"; exit 1; }
  setxkbmap -display "$DISPLAY" -query | grep -q '^layout: *de$' ||
    { echo "FAIL: the German keymap did not stay on $DISPLAY"; exit 1; }
}

# find_window FILE: the id of the window titled akkusim, into FILE.
find_window() {
  xdotool search --name '^akkusim$' >"$1" 2>/dev/null && [ -s "$1" ]
}
