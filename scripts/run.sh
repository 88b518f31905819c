#!/bin/sh
# Builds akkusim and starts it. Without a display it says so and runs an
# example program through the headless runner instead.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh run
# Running needs neither GoogleTest nor Google Benchmark, so without them
# build/ is configured without tests; with them it stays the test build it
# may already be (only akkusim is built either way).
tests=OFF
if [ "$(dpkg-query -W -f='${Status}\n' libgtest-dev libbenchmark-dev 2>/dev/null |
        grep -c "install ok installed")" -eq 2 ]; then
  tests=ON
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=$tests \
  -DAKKUSIM_BENCH=$tests >/dev/null
cmake --build build --target akkusim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "akkusim: kein Bildschirm (DISPLAY ist nicht gesetzt) - starte stattdessen build/Programme/summe.txt im Kommandozeilenmodus:"
  exec build/akkusim run build/Programme/summe.txt
fi
exec build/akkusim "$@"
