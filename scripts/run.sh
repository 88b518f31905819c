#!/bin/sh
# Builds akkusim and starts it. Without a display it says so and runs an
# example program through the headless runner instead.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target akkusim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "akkusim: kein Bildschirm (DISPLAY ist nicht gesetzt) - starte stattdessen build/Programme/summe.txt im Kommandozeilenmodus:"
  exec build/akkusim run build/Programme/summe.txt
fi
exec build/akkusim "$@"
