#!/bin/sh
# A learner's whole session in the real window, driven with xdotool only:
# type a program, Assemble, Schritt three times, Starten to "Programmende",
# save it under a typed name, Neu, load it back, close with the window's
# close button. Screenshots are checked at the positions the layout fixes,
# the saved file byte for byte, and the exit code.
#
# Nothing waits for a fixed time: after each action the script polls the
# screen for its effect, with a deadline. A click is followed by a "settle":
# Right, then Left, each awaited as a move of the text cursor. The main loop
# reads keys only between button sequences, so the cursor returning proves
# that the click's sequence, down to its wait for the button release, is
# over, and the next click cannot be swallowed by that wait.
#   session.sh AKKUSIM X11_CLOSE X11_PIXELS
# DEADLINE and KEEP_SHOTS as in window_start.sh.
set -u
AKKUSIM=$1
X11_CLOSE=$2
X11_PIXELS=$3
. "$(dirname "$0")/../support/xvfb.sh"
require_tools

. "$(dirname "$0")/window_start.sh"

# settle [AWAY BACK] moves the text cursor away and back: Right and Left by
# default; on an empty line, which Right cannot leave, a letter and
# BackSpace.
settle() {
  xdotool key "${1:-Right}"
  await_cursor "$ROW" $((COL + 1))
  xdotool key "${2:-Left}"
  await_cursor "$ROW" "$COL"
}

# The first frame: the cursor on the empty first line.
await_cursor 0 1
xdotool mousemove --window "$WID" 200 500
line "# Summe 3+2+1"
line "loadi 3"
line "loop:"
line "store n"
line "add s"
line "store s"
line "load n"
line "subi 1"
line "jmpnz loop"
line "hold"
line "s: word 0"
xdotool type --delay 15 "n: word 0"
COL=10
await_cursor "$ROW" "$COL"
# "loadi" was re-parsed into upper case: black code pixels on row 2.
await_some typed 60 211 40 8 000000

click 170 137   # Assemble
settle
click 270 137   # Schritt
settle
click 270 137
settle
click 270 137
# The third step executed "ADD s" from line 5: light-green row (y 240..249);
# checked before the settle, whose keys take the highlight away.
await_pixel stepped 300 245 7fff7f
# Its code word (address 4) and the touched word s (address 16) are red.
await_some stepped 740 15 48 8 ff0000
await_some stepped 860 25 48 8 ff0000
settle

click 170 162   # Starten
# "Programmende": the box's outer frame at (471, 355) and its white margin.
await_pixel finished 471 400 000000
await_pixel finished 470 400 ffffff
await_some finished 493 371 96 8 000000
xdotool key Return
# Gone again: the memory view's grey where the frame was.
await_pixel closed 471 400 eeeeee
settle

click 70 162    # Speichern
# The chooser's frame, drawn once it waits for keys.
await_pixel chooser 251 201 000000
xdotool type --delay 15 "sitzung"
xdotool key Return
saved() { [ -f "$WORK/Programme/sitzung.txt" ]; }
poll "$DEADLINE" saved || fail "not saved"
settle

click 370 137   # Neu
await_none cleared 60 211 40 8 000000
ROW=0
COL=1
settle x BackSpace

click 70 137    # Laden
await_some chooser 265 249 56 8 000000
click 300 251   # the first entry
await_some loaded 60 211 40 8 000000

xdotool mousemove --window "$WID" 200 500
"$X11_CLOSE" "$WID"
running() { kill -0 "$APP" 2>/dev/null; }
ended() { ! running; }
poll "$DEADLINE" ended || fail "the close button did not end the program"
code=0
wait "$APP" || code=$?
[ "$code" -eq 0 ] || fail "exit code $code"

# Every line was the current line once, so each is padded to 40 blanks.
expected="$WORK/expected.txt"
: >"$expected"
for l in "# Summe 3+2+1" "LOADI 3" "loop:" "STORE n" "ADD s" "STORE s" "LOAD n" "SUBI 1" \
         "JMPNZ loop" "HOLD" "s: WORD 0" "n: WORD 0"; do
  printf '%-40s\r\n' "$l" >>"$expected"
done
cmp "$expected" "$WORK/Programme/sitzung.txt" || fail "saved file differs"
echo "PASS: whole session"
