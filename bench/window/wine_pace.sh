#!/bin/sh
# Starten's pace in the Windows window under Wine (a measurement, not a
# test): run_speed.exe on a private Xvfb server measures the run loop
# against a bare loop of Sleep(1) with timeBeginPeriod(1) in the same
# process, which is the window's own 1 ms pause; the target is a ratio of
# at least 0.9. The Linux window's figures (build-bench/run_speed) sit
# beside it in BENCHMARKS.md.
#   bench/window/wine_pace.sh [WINDOWS_BUILD]   (default build-windows)
set -u
cd "$(dirname "$0")/../.."
dir=$(cd "${1:-build-windows}" && pwd)
[ -f "$dir/run_speed.exe" ] || { echo "no $dir/run_speed.exe (scripts/windows.sh --build)"; exit 1; }
. tests/support/xvfb.sh
require_tools wine wineserver

WINEPREFIX=$dir/wine
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
WORK=$(mktemp -d)
# shellcheck disable=SC2034 # read by the clean-up of xvfb.sh
CLEANUP_DIR=$WORK
start_xvfb "$WORK"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1
wine "$dir/run_speed.exe" </dev/null | tr -d '\r'
