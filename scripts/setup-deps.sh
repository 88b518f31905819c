#!/bin/sh
# Installs on Debian what akkusim needs for the given purposes, if it is
# missing, and says in one line what and why. Safe to run again.
#   scripts/setup-deps.sh [run] [web] [windows] [test] [all]   (default: all)
#     run      build and run the desktop edition        (scripts/run.sh)
#     web      build and serve the browser edition      (scripts/web.sh: run web)
#     windows  build and package the Windows edition
#     test     the tests' tools, browsers and npm packages (scripts/test.sh,
#              .ci/run: all, since the tests build every edition)
set -eu

# packages PURPOSE: the Debian packages it needs beyond the others'.
packages() {
  case $1 in
    run) echo "cmake ninja-build g++ pkg-config libsdl2-dev libtomlplusplus-dev" ;;
    # The optimizer of Debian's emscripten needs Debian's JavaScript parser.
    web) echo "emscripten node-acorn" ;;
    # Posix threads: the grader checks programs on all cores.
    windows) echo "g++-mingw-w64-x86-64-posix nsis python3" ;;
    test) echo "clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libx11-dev xvfb xauth \
xdotool x11-utils x11-xkb-utils xkb-data imagemagick time chromium firefox-esr wine wine64" ;;
  esac
}

# reason PURPOSE: why, in the announcing line.
reason() {
  case $1 in
    run) echo "to build and run the desktop edition" ;;
    web) echo "to build the browser edition" ;;
    windows) echo "to build and package the Windows edition" ;;
    test) echo "to run the tests" ;;
  esac
}

everything="run web windows test"
chosen=""
[ $# -gt 0 ] || set -- all
for purpose in "$@"; do
  case $purpose in
    run | web | windows | test) chosen="$chosen $purpose" ;;
    all) chosen=$everything ;;
    *) echo "setup-deps.sh: unknown purpose '$purpose' (run, web, windows, test or all)" >&2
       exit 2 ;;
  esac
done
is_chosen() {
  case " $chosen " in *" $1 "*) return 0 ;; esac
  return 1
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

web_tests="$(dirname "$0")/../tests/web"
# The browser test's driver, pinned by its lock file, in the project's own
# folder (it brings no browser: the test uses Debian's chromium).
npm_packages_missing() {
  [ ! -f "$web_tests/node_modules/.package-lock.json" ] ||
    [ "$web_tests/package-lock.json" -nt "$web_tests/node_modules/.package-lock.json" ]
}

missing=""
announce=""
for purpose in $everything; do
  is_chosen "$purpose" || continue
  these=""
  for p in $(packages "$purpose"); do
    installed "$p" || these="$these $p"
  done
  # Node.js may come from elsewhere than Debian; any node and npm will do.
  if [ "$purpose" = web ]; then command -v node >/dev/null || these="$these nodejs"; fi
  if [ "$purpose" = test ]; then command -v npm >/dev/null || these="$these npm"; fi
  what=${these# }
  if [ "$purpose" = test ] && npm_packages_missing; then
    what="${what:+$what and }the browser test's npm packages"
  fi
  [ -n "$what" ] || continue
  missing="$missing$these"
  announce="${announce:+$announce, }$what ($(reason "$purpose"))"
done
[ -n "$announce" ] || exit 0
echo "akkusim: installing $announce" >&2

if [ -n "$missing" ]; then
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; elif command -v sudo >/dev/null; then SUDO="sudo"; else
    echo "akkusim: please install as root:$missing" >&2; exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if is_chosen test && npm_packages_missing; then
  (cd "$web_tests" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
