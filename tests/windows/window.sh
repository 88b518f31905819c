#!/bin/sh
# The Windows window under Wine against the Linux window, pixel for pixel:
# both programs run side by side, each on an Xvfb server of its own with
# the German keymap, get the same keys and clicks, and after each step
# their client areas must be equal: the first frame, typed lines, Assemble,
# Schritt, a typed umlaut and ß; then the close button ends the Windows
# program with exit code 0.
#   tests/windows/window.sh WINDOWS_BUILD LINUX_AKKUSIM
# Wine uses the build folder's prefix (tests/windows/run.sh made it); its
# server is started here, with the display and keymap already set, and
# stays up for the whole run. Nothing waits for a fixed time: each step
# polls both windows until they are equal, with a deadline.
# DEADLINE (seconds for each step, default 60) and KEEP_SHOTS (a folder for
# both pictures of a failed step) help to look into a failure.
set -u
dir=$(cd "$1" && pwd)
linux=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
x11_close=$(dirname "$linux")/x11_close
. "$(dirname "$0")/../support/xvfb.sh"
require_tools import
[ -x "$x11_close" ] || { echo "SKIP: no $x11_close (the Linux build without X11)"; exit 77; }

WINEPREFIX=$dir/wine
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

WORK=$(mktemp -d)
# shellcheck disable=SC2034 # read by the clean-up of xvfb.sh
CLEANUP_DIR=$WORK
DEADLINE=${DEADLINE:-60}
fail() {
  echo "FAIL: $*"
  cat "$WORK/linux/app.log" "$WORK/windows/app.log" 2>/dev/null
  exit 1
}

# Private copies, each with an empty Programme folder.
for side in linux windows; do mkdir -p "$WORK/$side/Programme"; done
cp "$linux" "$WORK/linux/akkusim"
cp "$dir/akkusim.exe" "$WORK/windows/akkusim.exe"

mkdir "$WORK/xl" "$WORK/xw"
start_xvfb "$WORK/xl"
LINUX_DISPLAY=$DISPLAY
start_xvfb "$WORK/xw"
WINE_DISPLAY=$DISPLAY

DISPLAY=$LINUX_DISPLAY spawn "$WORK/linux/akkusim" >"$WORK/linux/app.log" 2>&1
# Wine learns the display and the keyboard layout when its first program
# starts: a server left from before would keep another one's.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
DISPLAY=$WINE_DISPLAY wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
( cd "$WORK/windows" && DISPLAY=$WINE_DISPLAY wine akkusim.exe >app.log 2>&1
  echo $? >exit_code ) &
WINE_APP=$!

on() { _display=$1; shift; DISPLAY=$_display "$@"; }
find_on() { DISPLAY=$1 find_window "$2"; }
poll "$DEADLINE" find_on "$LINUX_DISPLAY" "$WORK/linux/wid" || fail "no Linux window"
poll "$DEADLINE" find_on "$WINE_DISPLAY" "$WORK/windows/wid" || fail "no Windows window"
LW=$(head -n 1 "$WORK/linux/wid")
WW=$(head -n 1 "$WORK/windows/wid")
size() { on "$1" xdotool getwindowgeometry "$2" | sed -n 's/^ *Geometry: //p'; }
[ "$(size "$WINE_DISPLAY" "$WW")" = 1100x800 ] ||
  fail "the Windows window's client area is $(size "$WINE_DISPLAY" "$WW"), not 1100x800"
on "$LINUX_DISPLAY" timeout "$DEADLINE" xdotool windowfocus --sync "$LW" || fail "no focus on Linux"
on "$WINE_DISPLAY" timeout "$DEADLINE" xdotool windowfocus --sync "$WW" || fail "no focus under Wine"

# Both windows do the same; the arguments are xdotool's.
both() {
  on "$LINUX_DISPLAY" xdotool "$@" || fail "xdotool $* on the Linux display"
  on "$WINE_DISPLAY" xdotool "$@" || fail "xdotool $* on the Wine display"
}
click() {
  on "$LINUX_DISPLAY" xdotool mousemove --window "$LW" "$1" "$2" click 1
  on "$WINE_DISPLAY" xdotool mousemove --window "$WW" "$1" "$2" click 1
}
shoot() { on "$1" import -window "$2" -depth 8 "rgb:$3" 2>/dev/null; }

# The client areas before the first frame is known are black.
head -c $((1100 * 800 * 3)) /dev/zero >"$WORK/before.rgb"
# A step is done when the Linux window shows something new and the Windows
# window shows exactly that; while the two programs catch up with each
# other both are taken again.
changed_and_equal() {
  shoot "$LINUX_DISPLAY" "$LW" "$WORK/linux.rgb" && shoot "$WINE_DISPLAY" "$WW" "$WORK/windows.rgb" &&
    ! cmp -s "$WORK/linux.rgb" "$WORK/before.rgb" && cmp -s "$WORK/linux.rgb" "$WORK/windows.rgb"
}
compared=0
step() {
  if ! poll "$DEADLINE" changed_and_equal; then
    if [ -n "${KEEP_SHOTS:-}" ]; then
      mkdir -p "$KEEP_SHOTS"
      for side in linux windows; do
        convert -size 1100x800 -depth 8 "rgb:$WORK/$side.rgb" "$KEEP_SHOTS/$1-$side.png"
      done
    fi
    fail "$1: the windows differ in $(cmp -l "$WORK/linux.rgb" "$WORK/windows.rgb" | wc -l) bytes"
  fi
  cp "$WORK/linux.rgb" "$WORK/before.rgb"
  compared=$((compared + 1))
}
line() {
  both type --delay 15 "$1"
  both key Return
  step "line '$1'"
}

# The pointer rests where it lights up nothing.
both mousemove 600 900
step "first frame"
line "loadi 3"
line "addi 2"
line "hold"
click 170 137   # Assemble
step Assemble
click 270 137   # Schritt
step Schritt
click 270 137
step "second Schritt"
# Typed into the listing again: a comment with umlauts and ß.
both key Up Up End
both type --delay 15 " ; Größe"
step "typed umlaut"

DISPLAY=$WINE_DISPLAY "$x11_close" "$WW"
ended() { ! kill -0 "$WINE_APP" 2>/dev/null; }
poll "$DEADLINE" ended || fail "the close button did not end the Windows program"
code=$(cat "$WORK/windows/exit_code")
[ "$code" = 0 ] || fail "the Windows program ended with exit code $code"
echo "PASS: $compared frames of the Windows window equal the Linux window's; closed with exit code 0"
