#!/bin/sh
# The Windows edition, cross-built here with mingw-w64 into build-windows/:
# akkusim.exe (with Programme\ and Aufgaben\ beside it) and the unit tests.
#   scripts/windows.sh [--build]   builds (the default)
#   scripts/windows.sh --test      builds, then runs the tests under Wine
#                                  (tests/windows/run.sh; AKKUSIM_LINUX: the
#                                  Linux akkusim to compare with, default
#                                  build/akkusim)
# Nothing is downloaded: GoogleTest comes from Debian's sources.
set -eu
cd "$(dirname "$0")/.."
dir=build-windows
mode=${1:---build}
case $mode in
  --build | --test) ;;
  *) echo "usage: scripts/windows.sh [--build|--test]" >&2; exit 2 ;;
esac

scripts/setup-deps.sh run windows
mkdir -p "$dir"
if ! cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DAKKUSIM_WERROR=ON -DBUILD_TESTING=ON -DAKKUSIM_BENCH=OFF \
    >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"
  echo "akkusim: configuring $dir failed (output above, kept in $dir/configure.log)"
  exit 1
fi
cmake --build "$dir"
[ "$mode" = --test ] || exit 0

# The command line is compared with the Linux release build (test.sh's).
exec sh tests/windows/run.sh "$dir" "${AKKUSIM_LINUX:-build/akkusim}"
