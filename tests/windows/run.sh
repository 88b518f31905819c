#!/bin/sh
# The Windows edition under Wine, after scripts/windows.sh has built it:
# - the import tables of akkusim.exe (the window program) and akkusim.com
#   (its console twin) name only DLLs that every Windows has, and each has
#   its subsystem;
# - every unit test (ctest in the Windows build folder);
# - the command line's output for the shipped examples and assignments is
#   the Linux build's, byte for byte, with the same exit codes, through
#   akkusim.com, which cmd.exe picks for `akkusim`;
# - the window equals the Linux window pixel for pixel (window.sh).
#   tests/windows/run.sh WINDOWS_BUILD [LINUX_AKKUSIM]
# LINUX_AKKUSIM defaults to build/akkusim (the release build of test.sh).
# Wine gets a prefix of its own in the build folder and one wineserver that
# stays up for the whole run, so that each program started pays no Wine
# start-up of its own.
set -eu
cd "$(dirname "$0")/../.."
dir=$(cd "$1" && pwd)
linux=$(cd "$(dirname "${2:-build/akkusim}")" && pwd)/$(basename "${2:-build/akkusim}")
exe=$dir/akkusim.com
objdump=x86_64-w64-mingw32-objdump

WINEPREFIX=$dir/wine
WINEDEBUG=-all
# No downloads of Wine's .NET and HTML engines when the prefix is made.
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

for tool in wine wineserver "$objdump"; do
  command -v "$tool" >/dev/null || { echo "akkusim: $tool is missing (scripts/setup-deps.sh all)"; exit 1; }
done
[ -x "$linux" ] || { echo "akkusim: no Linux build at $linux to compare with"; exit 1; }

# --- The import tables and subsystems ---------------------------------------
# The runtime is linked in: a libstdc++, libgcc or libwinpthread DLL named
# here would be missing on a school PC. Only what every Windows has: the
# kernel, the window and drawing libraries, the timer's (winmm), the shell's
# (the documents folder) and the C runtime.
status=0
for file in akkusim.exe akkusim.com; do
  imports=$("$objdump" -p "$dir/$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || { echo "akkusim: no import table found in $dir/$file"; exit 1; }
  for dll in $imports; do
    case $(echo "$dll" | tr 'A-Z' 'a-z') in
      kernel32.dll | user32.dll | gdi32.dll | winmm.dll | shell32.dll | ole32.dll | msvcrt.dll) ;;
      *) echo "akkusim: $file needs $dll, which Windows does not have"; status=1 ;;
    esac
  done
  echo "import table of $file: $(echo $imports | tr ' ' ',')"
done
# Started from Explorer, a window program opens no console; a console
# program is waited for by the console it is started in.
subsystem() { "$objdump" -p "$dir/$1" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*//p'; }
[ "$(subsystem akkusim.exe)" = "(Windows GUI)" ] || { echo "akkusim: akkusim.exe is no window program"; status=1; }
[ "$(subsystem akkusim.com)" = "(Windows CUI)" ] || { echo "akkusim: akkusim.com is no console program"; status=1; }
[ $status -eq 0 ] || exit 1

# --- Wine ---------------------------------------------------------------
started=$(date +%s)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || { echo "akkusim: Wine could not make its prefix $WINEPREFIX"; exit 1; }
fi
# Making the prefix leaves a server of its own running for a few seconds;
# the one that stays is started only once that one is gone.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
# Wine's services start with the first program and stay: started here, they
# hold no test's output open (ctest would wait for them).
wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "Wine ready in $(( $(date +%s) - started )) s"

# --- Unit tests ----------------------------------------------------------
(cd "$dir" && ctest --output-on-failure -j "$(nproc)") 2>&1 | tee "$dir/ctest.log"
grep -q "^100% tests passed" "$dir/ctest.log" || { echo "akkusim: unit tests failed under Wine"; exit 1; }

# --- The command line against the Linux build ------------------------------
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
compared=0
differing=0

# compare INPUT ARGS...: runs both builds in the repository with INPUT as
# standard input and compares output, errors and exit code.
compare() {
  input=$1
  shift
  linux_rc=0
  "$linux" "$@" <"$input" >"$work/linux.out" 2>"$work/linux.err" || linux_rc=$?
  windows_rc=0
  wine "$exe" "$@" <"$input" >"$work/windows.out" 2>"$work/windows.err" || windows_rc=$?
  compared=$((compared + 1))
  if [ "$linux_rc" != "$windows_rc" ] || ! cmp -s "$work/linux.out" "$work/windows.out" ||
      ! cmp -s "$work/linux.err" "$work/windows.err"; then
    differing=$((differing + 1))
    echo "differs: akkusim $* (exit code $linux_rc on Linux, $windows_rc on Windows)"
    diff "$work/linux.out" "$work/windows.out" | head -10 || true
    diff "$work/linux.err" "$work/windows.err" | head -10 || true
  fi
}

: >"$work/empty"
for program in Programme/*.txt; do
  compare /dev/null run "$program"
  compare /dev/null run "$program" --json
  compare /dev/null run "$program" --trace --max-steps 40 --dump 0-15
  compare /dev/null asm "$program"
  compare /dev/null asm "$program" --json
  compare "$program" run -
done
for task in Aufgaben/*/; do
  compare /dev/null test "${task}test.toml" "${task}loesung.txt"
  compare /dev/null test "${task}test.toml" "${task}loesung.txt" --csv
  compare /dev/null test "${task}test.toml" "${task}loesung.txt" --json
  compare /dev/null test "${task}test.toml" "${task}loesung.txt" Programme/summe.txt --learner
done
# What standard input and the file names carry on Windows: a Ctrl-Z byte
# and CR LF line ends, names with umlauts and spaces.
printf 'LOADI 5 ; \032 Strg-Z\r\nADDI 2\r\nHOLD\r\n' >"$work/ctrl-z.txt"
compare "$work/ctrl-z.txt" run - --trace
umlauts=$work/$(printf 'Sch\303\274ler Ordner')
mkdir -p "$umlauts"
cp Programme/summe.txt "$umlauts/$(printf '\303\234bung 1.txt')"
compare /dev/null run "$umlauts/$(printf '\303\234bung 1.txt')"
compare /dev/null run "$umlauts/fehlt.txt"
compare /dev/null run Programme
compare "$work/empty" run -
compare /dev/null --version
compare /dev/null --help
compare /dev/null gibtsnicht

echo "command line: $((compared - differing)) of $compared outputs byte-equal with the Linux build"
[ "$differing" -eq 0 ] || exit 1

# --- The console picks the console twin ----------------------------------
# `akkusim` in cmd.exe: .COM comes before .EXE in PATHEXT. A stand-in
# akkusim.exe that cannot run at all shows which one ran, and the exit
# code reaches the console.
mkdir "$work/picked"
cp "$exe" "$work/picked/akkusim.com"
printf 'MZ' >"$work/picked/akkusim.exe"
picked_rc=0
picked=$(cd "$work/picked" && wine cmd /c akkusim --version </dev/null) || picked_rc=$?
if [ "$(printf '%s' "$picked" | tr -d '\r')" != "$("$linux" --version)" ] || [ $picked_rc -ne 0 ]; then
  echo "akkusim: cmd did not run akkusim.com for 'akkusim' (exit code $picked_rc):"
  echo "$picked"
  exit 1
fi
refused_rc=0
(cd "$work/picked" && wine cmd /c akkusim gibtsnicht </dev/null >/dev/null 2>&1) || refused_rc=$?
[ $refused_rc -eq 1 ] || { echo "akkusim: the console got exit code $refused_rc for a refused argument"; exit 1; }
echo "console: cmd runs akkusim.com for 'akkusim' and gets its exit code"

# --- The window ----------------------------------------------------------
window_status=0
sh tests/windows/window.sh "$dir" "$linux" || window_status=$?
if [ "$window_status" -eq 77 ] && [ "${CI:-}" != true ]; then
  echo "akkusim: the window test was skipped (no Xvfb, xdotool or ImageMagick)"
elif [ "$window_status" -ne 0 ]; then
  echo "akkusim: the window test failed under Wine"
  exit 1
fi
echo "akkusim: the Windows edition passed under Wine"
