#!/bin/sh
# A learner's whole session in the real window, driven with xdotool only:
# type a program, Assemble, Schritt three times, Starten to "Programmende",
# save it under a typed name, Neu, load it back, close with the window's
# close button. Screenshots are checked at the positions the layout fixes,
# the saved file byte for byte, and the exit code.
#   session.sh AKKUSIM X11_CLOSE
set -eu
AKKUSIM=$1
X11_CLOSE=$2
for tool in Xvfb xdotool import convert; do
  command -v $tool >/dev/null || { echo "SKIP: $tool missing"; exit 77; }
done

WORK=$(mktemp -d)
cleanup() {
  [ -n "${APP:-}" ] && kill "$APP" 2>/dev/null || true
  [ -n "${XVFB:-}" ] && kill "$XVFB" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
# A private copy, so that its Programme folder starts empty.
cp "$AKKUSIM" "$WORK/akkusim"
mkdir "$WORK/Programme"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB=$!
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"

# In a sanitizer build, the display and D-Bus libraries keep a few blocks
# until exit; our own code's leaks are checked by the headless tests.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 "$WORK/akkusim" &
APP=$!
WID=""
for _ in $(seq 100); do
  WID=$(xdotool search --name '^akkusim$' 2>/dev/null | head -1) && [ -n "$WID" ] && break
  sleep 0.1
done
[ -n "$WID" ] || { echo "FAIL: no window"; exit 1; }
sleep 0.5

fail() { echo "FAIL: $*"; exit 1; }
shot() { import -window "$WID" "$WORK/$1.png"; }
# Number of pixels of one colour (hex RRGGBB) in a rectangle of a shot.
count() {
  convert "$WORK/$1.png" -crop "$4x$5+$2+$3" +repage -format %c histogram:info:- |
    grep -i "#$6" | sed 's/^ *\([0-9]*\):.*/\1/' | head -1
}
expect_some() { n=$(count "$@"); [ "${n:-0}" -gt 0 ] || fail "no #$6 in $1 at $2,$3 ($4x$5)"; }
pixel() {
  convert "$WORK/$1.png" -format "%[hex:p{$2,$3}]" info:- | cut -c1-6 | tr A-F a-f
}
expect_pixel() { p=$(pixel "$1" "$2" "$3"); [ "$p" = "$4" ] || fail "$1 ($2,$3) is $p, not $4"; }
click() { xdotool mousemove --window "$WID" "$1" "$2" click 1; sleep 0.3; }
line() { xdotool type --delay 15 "$1"; xdotool key Return; sleep 0.1; }

xdotool mousemove --window "$WID" 200 500
sleep 0.2
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
sleep 0.3
shot typed
# "loadi" was re-parsed into upper case: black code pixels on row 2.
expect_some typed 60 211 40 8 000000

click 170 137   # Assemble
click 270 137   # Schritt
click 270 137
click 270 137
sleep 0.3
shot stepped
# The third step executed "ADD s" from line 5: light-green row (y 240..249).
expect_pixel stepped 300 245 7fff7f
# Its code word (address 4) and the touched word s (address 16) are red.
expect_some stepped 740 15 48 8 ff0000
expect_some stepped 860 25 48 8 ff0000

click 170 162   # Starten
sleep 0.5
shot finished
# "Programmende": the box's outer frame at (471, 355) and its white margin.
expect_pixel finished 471 400 000000
expect_pixel finished 470 400 ffffff
expect_some finished 493 371 96 8 000000
xdotool key Return
sleep 0.3

click 70 162    # Speichern
xdotool type --delay 15 "sitzung"
xdotool key Return
sleep 0.5
[ -f "$WORK/Programme/sitzung.txt" ] || fail "not saved"

click 370 137   # Neu
click 70 137    # Laden
shot chooser
expect_some chooser 265 249 56 8 000000
click 300 251   # the first entry
sleep 0.3
shot loaded
expect_some loaded 60 211 40 8 000000

xdotool mousemove --window "$WID" 200 500
"$X11_CLOSE" "$WID"
code=0
wait "$APP" || code=$?
APP=""
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
