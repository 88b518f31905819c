#!/bin/sh
# The Windows downloads under Wine, in a Wine prefix of their own: the zip
# unpacked runs `akkusim.com run` (the console program) on an example as the Linux build does; the
# setup installs silently (/S) with a start-menu entry and the marker that
# sends learners' programs to their documents folder, the installed
# akkusim.com runs, and the uninstaller removes all of it.
#   tests/package/windows.sh DIST LINUX_AKKUSIM
set -u
cd "$(dirname "$0")/../.."
DIST=$(cd "$1" && pwd)
LINUX=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
for tool in wine wineserver; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WORK=$(mktemp -d)
WINEPREFIX=$WORK/wine
WINEDEBUG=-all
# No downloads of Wine's .NET and HTML engines when the prefix is made.
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
trap 'wineserver -k 2>/dev/null; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
wineboot -i >/dev/null 2>&1 || fail "Wine could not make its prefix"
# What the build prints for the example, to compare each akkusim.exe with.
"$LINUX" run Programme/summe.txt >"$WORK/linux.out" 2>&1
linux_status=$?

# same_run FOLDER: akkusim.exe in FOLDER prints the Linux build's bytes.
same_run() {
  (cd "$1" && wine ./akkusim.com run Programme/summe.txt) >"$WORK/windows.out" 2>&1
  status=$?
  [ $status -eq $linux_status ] || fail "$1: exit code $status, not $linux_status"
  cmp "$WORK/windows.out" "$WORK/linux.out" || fail "$1: akkusim.com run prints other bytes"
}

# --- The zip --------------------------------------------------------------
python3 -m zipfile -e "$DIST/akkusim-windows-x64.zip" "$WORK/zip" || fail "unpacking the zip"
unpacked=$WORK/zip/akkusim
for file in akkusim.exe akkusim.com LIESMICH.txt Programme/summe.txt Aufgaben/summe/test.toml; do
  [ -f "$unpacked/$file" ] || fail "the zip has no akkusim/$file"
done
# Notepad of old shows a LIESMICH.txt without CR as one line.
[ "$(grep -c "$(printf '\r$')" "$unpacked/LIESMICH.txt")" -eq "$(wc -l <"$unpacked/LIESMICH.txt")" ] ||
  fail "LIESMICH.txt has lines without CR LF"
[ ! -e "$unpacked/installiert.txt" ] || fail "the zip carries the setup's marker"
# The reference solutions stay with the teacher.
find "$unpacked" -name loesung.txt | grep . && fail "the zip ships reference solutions"
same_run "$unpacked"

# --- The setup, for all users and for one ---------------------------------
# setup_round MODE FOLDER MENU_FOLDER: installs silently in MODE (AllUsers or
# CurrentUser: Wine's user is an administrator, so both are open), checks the
# installed files, the start-menu entry and the uninstall entry, runs the
# installed akkusim.exe, and uninstalls as Windows' settings would.
setup_round() {
  mode=$1
  installed=$2
  menu=$3/akkusim.lnk
  case $mode in AllUsers) hive=HKLM ;; *) hive=HKCU ;; esac
  key="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\akkusim"
  wine "$DIST/akkusim-setup.exe" /S "/$mode" || fail "akkusim-setup.exe /S /$mode: exit code $?"
  for file in akkusim.exe akkusim.com LIESMICH.txt installiert.txt Deinstallieren.exe Programme/summe.txt \
      Aufgaben/summe/test.toml; do
    [ -f "$installed/$file" ] || fail "$mode: the setup installed no $file"
  done
  find "$installed" -name loesung.txt | grep . && fail "$mode: the setup installed reference solutions"
  [ -f "$menu" ] || fail "$mode: the setup made no start-menu entry"
  quiet=$(wine reg query "$key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')
  [ -n "$quiet" ] || fail "$mode: no uninstall entry under $key"
  same_run "$installed"

  # The uninstaller runs from a copy of itself in the temporary folder: done
  # once Wine has no program left.
  uninstaller=$(printf '%s' "$quiet" | sed -n 's/^"\([^"]*\)" .*$/\1/p')
  arguments=$(printf '%s' "$quiet" | sed -n 's/^"[^"]*" //p')
  [ -n "$uninstaller" ] || fail "$mode: the uninstall entry names no program: $quiet"
  # shellcheck disable=SC2086 # the entry's arguments, one word each
  wine "$uninstaller" $arguments || fail "$mode: the uninstaller's exit code is $?"
  wineserver -w
  [ ! -e "$installed" ] || fail "$mode: the uninstaller left $(cd "$installed" && find . | head -5)"
  [ ! -e "$menu" ] || fail "$mode: the uninstaller left the start-menu entry"
  ! wine reg query "$key" >/dev/null 2>&1 || fail "$mode: the uninstaller left $key"
}
drive=$WINEPREFIX/drive_c
user=$drive/users/$(id -un)
setup_round AllUsers "$drive/Program Files/akkusim" \
  "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
setup_round CurrentUser "$user/AppData/Local/Programs/akkusim" \
  "$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
echo "the zip runs under Wine; the setup installs silently for all users and for one, runs and uninstalls"
