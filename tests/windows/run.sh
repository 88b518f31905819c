#!/bin/sh
# The Windows edition under Wine, after scripts/windows.sh has built it:
# - the import table of akkusim.exe names only DLLs that every Windows has;
# - every unit test (ctest in the Windows build folder);
# - the command line's output for the shipped examples and assignments is
#   the Linux build's, byte for byte, with the same exit codes.
#   tests/windows/run.sh WINDOWS_BUILD [LINUX_AKKUSIM]
# LINUX_AKKUSIM defaults to build/akkusim (the release build of test.sh).
# Wine gets a prefix of its own in the build folder and one wineserver that
# stays up for the whole run, so that each program started pays no Wine
# start-up of its own.
set -eu
cd "$(dirname "$0")/../.."
dir=$(cd "$1" && pwd)
linux=$(cd "$(dirname "${2:-build/akkusim}")" && pwd)/$(basename "${2:-build/akkusim}")
exe=$dir/akkusim.exe
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

# --- The import table ---------------------------------------------------
# The runtime is linked in: a libstdc++, libgcc or libwinpthread DLL named
# here would be missing on a school PC.
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "akkusim: no import table found in $exe"; exit 1; }
status=0
for dll in $imports; do
  case $(echo "$dll" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | winmm.dll | \
      msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | ole32.dll | comdlg32.dll | imm32.dll) ;;
    *) echo "akkusim: akkusim.exe needs $dll, which Windows does not have"; status=1 ;;
  esac
done
[ $status -eq 0 ] || exit 1
echo "import table: ok ($(echo $imports | tr ' ' ','))"

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
echo "akkusim: the Windows edition passed under Wine"
