#!/bin/sh
# Builds the browser edition into build-web/ (index.html, akkusim.js,
# akkusim.wasm, akkusim.data with the example programs and the assignments,
# and the grading page pruefen.html) and serves it at http://127.0.0.1:8080/.
#   scripts/web.sh [--port N] [--build]   (--build only builds)
# The browser keeps the learner's files per address: use one fixed port.
set -eu
cd "$(dirname "$0")/.."
port=8080
serve=1
while [ $# -gt 0 ]; do
  case "$1" in
    --port) [ $# -ge 2 ] || { echo "web.sh: --port erwartet eine Zahl" >&2; exit 1; }
            port=$2; shift 2 ;;
    --build) serve=0; shift ;;
    *) echo "web.sh: unbekanntes Argument '$1' (erlaubt: --port N, --build)" >&2; exit 1 ;;
  esac
done
scripts/setup-deps.sh run web
# The optimizer of Debian's emscripten finds its JavaScript parser among
# Debian's Node modules.
NODE_PATH=/usr/share/nodejs
export NODE_PATH
emcmake cmake -S . -B build-web-cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DAKKUSIM_WERROR=ON \
  -DAKKUSIM_WEB_SITE="$PWD/build-web-cmake/site" >/dev/null
cmake --build build-web-cmake
rm -rf build-web
cp -r build-web-cmake/site build-web
[ "$serve" -eq 1 ] || exit 0
exec node scripts/serve.mjs build-web --port "$port"
