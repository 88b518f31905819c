#!/bin/sh
# Installs what building, running and testing akkusim needs on Debian, if it
# is missing. Safe to run again.
set -eu
PACKAGES="cmake ninja-build g++ clang pkg-config libgtest-dev libbenchmark-dev libsdl2-dev \
libtomlplusplus-dev libx11-dev libclang-rt-14-dev xvfb xauth xdotool x11-utils x11-xkb-utils xkb-data imagemagick time \
emscripten node-acorn chromium"
missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
# Node.js may come from elsewhere than Debian; any node and npm will do.
command -v node >/dev/null || missing="$missing nodejs"
command -v npm >/dev/null || missing="$missing npm"
if [ -n "$missing" ]; then
  echo "akkusim: installing$missing" >&2
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; elif command -v sudo >/dev/null; then SUDO="sudo"; else
    echo "akkusim: please install as root:$missing" >&2; exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# The browser test's driver, pinned by its lock file, in the project's own
# folder (it brings no browser: the test uses Debian's chromium).
web_tests="$(dirname "$0")/../tests/web"
if [ ! -f "$web_tests/node_modules/.package-lock.json" ] ||
   [ "$web_tests/package-lock.json" -nt "$web_tests/node_modules/.package-lock.json" ]; then
  echo "akkusim: installing the browser test's npm packages" >&2
  (cd "$web_tests" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
