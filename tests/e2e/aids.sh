#!/bin/sh
# The learner aids' keys in the real window, each once, driven with xdotool:
# F9 sets a breakpoint, F8 runs fast to it, F2 takes the last step back,
# F1 opens the help box, F9 clears the breakpoint and F8 runs to the end.
# As in session.sh, every action is awaited on the screen with a deadline.
#   aids.sh AKKUSIM X11_CLOSE X11_PIXELS
set -u
AKKUSIM=$1
X11_CLOSE=$2
X11_PIXELS=$3
. "$(dirname "$0")/../support/xvfb.sh"
require_tools

. "$(dirname "$0")/window_start.sh"

poll "$DEADLINE" has_cursor 0 1 || fail "no first frame"
xdotool mousemove --window "$WID" 200 500
line "loadi 0"
line "loop:"
line "addi 1"
line "cmpi 500"
line "jmpnz loop"
xdotool type --delay 15 "hold"
xdotool key Up Up Up
poll "$DEADLINE" has_cursor 2 5 || fail "no text cursor on row 2"

xdotool key F9
# The breakpoint's line number (row 2, y 220..229) turns red.
await_some breakpoint 2 220 48 10 ff0000
xdotool mousemove --window "$WID" 170 137 click 1   # Assemble
xdotool mousemove --window "$WID" 200 500
xdotool key F8
# Stopped before "ADDI 1": its row light green, no message box.
await_pixel fast 300 225 7fff7f
xdotool key F2
# LOADI's step taken back: no line is the executed one.
await_pixel back 300 225 ffffff
await_pixel back 300 205 ffffff
xdotool key F1
# The help box's frame (five lines, at 219, 315) and its white margin.
await_pixel help 219 320 000000
await_pixel help 217 320 ffffff
xdotool key Return
await_pixel closed 219 320 ffffff
xdotool key F9
await_none cleared 2 220 48 10 ff0000
xdotool key F8
# "Programmende", as in the whole session.
await_pixel finished 471 400 000000
await_some finished 493 371 96 8 000000
xdotool key Return
await_pixel closed 471 400 eeeeee

"$X11_CLOSE" "$WID"
running() { kill -0 "$APP" 2>/dev/null; }
ended() { ! running; }
poll "$DEADLINE" ended || fail "the close button did not end the program"
code=0
wait "$APP" || code=$?
[ "$code" -eq 0 ] || fail "exit code $code"
echo "PASS: learner aids"
