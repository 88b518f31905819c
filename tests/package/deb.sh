#!/bin/sh
# The Debian package as a teacher gets it, on this machine (CI: a fresh
# Debian, as root): installed with apt-get, `akkusim run` on an installed
# example prints what the build prints, the window under Xvfb shows the
# build's first frame pixel for pixel and seeds ~/akkusim/Programme with the
# examples, and apt-get remove leaves none of its files behind.
#   tests/package/deb.sh DIST BUILD   (BUILD: the Linux build with akkusim,
#                                      x11_pixels and x11_close)
# Changes the system: it must not have akkusim installed before.
set -u
DIST=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/../support/xvfb.sh"
require_tools import compare

fail() { echo "FAIL: $*"; [ -f "$WORK/app.log" ] && cat "$WORK/app.log"; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
if dpkg-query -W -f='${Status}' akkusim 2>/dev/null | grep -q "ok installed"; then
  fail "akkusim is installed already; this test installs and removes it"
fi
deb=$(ls "$DIST"/akkusim_*_amd64.deb) || fail "no package in $DIST"
version=$(sed -n 's/^project(akkusim VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")

WORK=$(mktemp -d)
CLEANUP_DIR=$WORK
removed=0
remove_package() {
  [ $removed -eq 1 ] && return 0
  removed=1
  apt-get remove -y -q akkusim >"$WORK/remove.log" 2>&1
}
# A failed run still leaves the system as it found it.
trap 'remove_package; cleanup' EXIT

# --- Installed --------------------------------------------------------------
apt-get install -y -q --no-install-recommends "$deb" >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log"; fail "apt-get install $deb"; }
dpkg -L akkusim >"$WORK/files"
[ "$(command -v akkusim)" = /usr/bin/akkusim ] || fail "akkusim is not /usr/bin/akkusim"
[ "$(akkusim --version)" = "akkusim $version" ] || fail "akkusim --version: $(akkusim --version)"
for path in /usr/share/akkusim/Aufgaben/summe/test.toml /usr/share/applications/akkusim.desktop \
    /usr/share/icons/hicolor/64x64/apps/akkusim.png; do
  [ -f "$path" ] || fail "$path is missing"
done

# --- The command line ---------------------------------------------------
example=/usr/share/akkusim/Programme/summe.txt
akkusim run "$example" >"$WORK/installed.out" 2>&1
installed_status=$?
"$BUILD/akkusim" run "$example" >"$WORK/build.out" 2>&1
[ $installed_status -eq $? ] || fail "akkusim run: exit code $installed_status, the build's differs"
cmp "$WORK/installed.out" "$WORK/build.out" || fail "akkusim run prints other bytes than the build"
# The reference solutions stay with the teacher: the one to check comes from
# the source tree.
grep 'loesung\.txt$' "$WORK/files" && fail "the package ships reference solutions"
akkusim test /usr/share/akkusim/Aufgaben/summe/test.toml "$SOURCE/Aufgaben/summe/loesung.txt" \
  >"$WORK/test.out" 2>&1 || { cat "$WORK/test.out"; fail "akkusim test on the installed assignment"; }

# --- The window ---------------------------------------------------------
start_xvfb "$WORK"
DEADLINE=${DEADLINE:-60}
# The first frame: the text cursor on the empty first line.
first_frame() { [ "$("$BUILD/x11_pixels" "$1" 61 200 1 10 000000)" = 10 ]; }
# shot NAME PROGRAM: the program's first frame into NAME.png; the window is
# closed as a learner closes it.
shot() {
  mkdir -p "$WORK/$1.home"
  HOME=$WORK/$1.home spawn "$2" >"$WORK/app.log" 2>&1
  pid=$!
  poll "$DEADLINE" find_window "$WORK/wid" || fail "$1: no window"
  wid=$(head -n 1 "$WORK/wid")
  poll "$DEADLINE" first_frame "$wid" || fail "$1: no first frame"
  import -window "$wid" "$WORK/$1.png" || fail "$1: no screenshot"
  "$BUILD/x11_close" "$wid"
  wait $pid || fail "$1: exit code $? after the window was closed"
}
shot installed /usr/bin/akkusim
shot build "$BUILD/akkusim"
differing=$(compare -metric AE "$WORK/installed.png" "$WORK/build.png" null: 2>&1)
[ "$differing" = 0 ] || fail "the installed window's first frame differs in $differing pixels"

seeded=$WORK/installed.home/akkusim/Programme
(cd "$seeded" && ls) >"$WORK/seeded" || fail "no program folder $seeded"
(cd /usr/share/akkusim/Programme && ls) | cmp -s - "$WORK/seeded" ||
  fail "$seeded does not hold the examples: $(cat "$WORK/seeded")"
cmp "$seeded/summe.txt" "$example" || fail "the seeded summe.txt differs"

# --- Removed ------------------------------------------------------------
remove_package || { cat "$WORK/remove.log"; fail "apt-get remove akkusim"; }
left=$(while read -r path; do
  [ -f "$path" ] || [ -L "$path" ] && echo "$path"
done <"$WORK/files")
[ -z "$left" ] || fail "apt-get remove left files: $left"
[ ! -e /usr/share/akkusim ] || fail "apt-get remove left /usr/share/akkusim"
# The learner's programs are theirs: removing akkusim keeps them.
[ -f "$seeded/summe.txt" ] || fail "apt-get remove took the learner's programs"
echo "the package installs, runs, shows the build's first frame, seeds ~/akkusim/Programme, and goes"
