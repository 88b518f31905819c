#!/bin/sh
# shellcheck disable=SC2034 # the package lists are read through eval
# scripts/setup-deps.sh against stand-ins for dpkg, apt-get, npm and node:
# each purpose asks for what it needs and nothing of the others', says so
# in one line, and a machine that has everything hears nothing of it.
#   setup_deps.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL [$case_name]: $*"
  cat "$work/out" "$work/apt.log" "$work/npm.log" 2>/dev/null | sed 's/^/  | /'
  failures=$((failures + 1))
}

# Setup: a copy of the script beside the browser test's lock file, and a
# PATH of stand-ins. DPKG=all|none: what dpkg reports installed; NODE=yes:
# node and npm come from elsewhere; MODULES=yes: the npm packages are there.
setup() {
  rm -rf "${work:?}"/*
  mkdir -p "$work/repo/scripts" "$work/repo/tests/web" "$work/bin"
  cp "$source_dir/scripts/setup-deps.sh" "$work/repo/scripts/"
  echo '{}' >"$work/repo/tests/web/package-lock.json"
  if [ "$MODULES" = yes ]; then
    mkdir -p "$work/repo/tests/web/node_modules"
    touch -d '+1 hour' "$work/repo/tests/web/node_modules/.package-lock.json"
  fi
  for tool in grep dirname; do ln -s "$(command -v $tool)" "$work/bin/$tool"; done
  printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
  if [ "$DPKG" = all ]; then
    printf '#!/bin/sh\nprintf "install ok installed"\n' >"$work/bin/dpkg-query"
  else
    printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
  fi
  printf '#!/bin/sh\necho "$PWD $*" >>"%s"\n' "$work/npm.log" >"$work/npm"
  chmod +x "$work/npm"
  # apt-get "installs" npm by putting the stand-in on PATH.
  printf '#!/bin/sh\necho "$*" >>"%s"\ncase " $* " in *" npm "*) %s "%s" "%s" ;; esac\n' \
    "$work/apt.log" "$(command -v cp)" "$work/npm" "$work/bin/npm" >"$work/bin/apt-get"
  if [ "$NODE" = yes ]; then
    cp "$work/npm" "$work/bin/npm"
    printf '#!/bin/sh\n' >"$work/bin/node"
  fi
  chmod +x "$work/bin/"*
}

run_setup() {
  PATH="$work/bin" /bin/sh "$work/repo/scripts/setup-deps.sh" "$@" >"$work/out" 2>&1
}

asked() { grep -q "^install .* $1\( \|$\)" "$work/apt.log" 2>/dev/null; }

# Verify helpers: WANT and SHUN are package lists apt-get must and must not
# be asked for.
expect_packages() {
  for p in $1; do asked "$p" || fail "$p was not installed"; done
  for p in $2; do ! asked "$p" || fail "$p was installed, though not needed"; done
}
expect_lines() {
  [ "$(grep -c . "$work/out")" -eq "$1" ] || fail "expected $1 line(s) of output"
}

DESKTOP="cmake ninja-build g++ pkg-config libsdl2-dev libtomlplusplus-dev"
BROWSER="emscripten node-acorn"
WINDOWS="g++-mingw-w64-x86-64-posix nsis python3"
TESTING="clang libclang-rt-14-dev libgtest-dev libbenchmark-dev xvfb xdotool x11-xkb-utils \
imagemagick chromium firefox-esr wine wine64"

# A bare machine: each purpose installs its own packages and only those.
# purposes | packages asked for | packages not asked for | npm ci runs
while IFS='|' read -r purposes want shun npm_ci; do
  case_name="bare: ${purposes:-no purpose}"
  DPKG=none NODE=no MODULES=no
  setup
  # shellcheck disable=SC2086
  run_setup $purposes || fail "exit code $?"
  expect_packages "$(eval echo "$want")" "$(eval echo "$shun")"
  expect_lines 1
  grep -q "^akkusim: installing " "$work/out" || fail "no announcing line"
  if [ "$npm_ci" = yes ]; then
    grep -q "npm packages (to run the tests)" "$work/out" || fail "npm packages not announced"
    grep -q "tests/web ci " "$work/npm.log" 2>/dev/null || fail "npm ci did not run in tests/web"
  else
    ! grep -q "npm" "$work/out" || fail "npm announced, though not needed"
    [ ! -e "$work/npm.log" ] || fail "npm ran"
  fi
done <<'EOF'
run|$DESKTOP|$BROWSER nodejs npm $WINDOWS $TESTING|no
run web|$DESKTOP $BROWSER nodejs|npm $WINDOWS $TESTING|no
windows|$WINDOWS|$DESKTOP $BROWSER $TESTING|no
test|$TESTING npm|$DESKTOP $BROWSER $WINDOWS|yes
all|$DESKTOP $BROWSER nodejs $WINDOWS $TESTING npm||yes
|$DESKTOP $BROWSER nodejs $WINDOWS $TESTING npm||yes
EOF

# Everything there: silent, and nothing is installed, whatever the purpose.
for purposes in run web windows test all; do
  case_name="complete: $purposes"
  DPKG=all NODE=yes MODULES=yes
  setup
  run_setup "$purposes" || fail "exit code $?"
  expect_lines 0
  [ ! -e "$work/apt.log" ] || fail "apt-get ran"
  [ ! -e "$work/npm.log" ] || fail "npm ran"
done

# Node from elsewhere and no npm packages yet: only npm ci, in tests/web.
case_name="only the npm packages missing"
DPKG=all NODE=yes MODULES=no
setup
run_setup all || fail "exit code $?"
[ ! -e "$work/apt.log" ] || fail "apt-get ran"
grep -q "tests/web ci " "$work/npm.log" 2>/dev/null || fail "npm ci did not run in tests/web"
grep -qx "akkusim: installing the browser test's npm packages (to run the tests)" "$work/out" ||
  fail "not announced in one line"

case_name="node from elsewhere, bare Debian"
DPKG=none NODE=yes MODULES=yes
setup
run_setup all || fail "exit code $?"
expect_packages "$DESKTOP" "nodejs npm"

case_name="unknown purpose"
DPKG=none NODE=no MODULES=no
setup
if run_setup run desktop; then fail "accepted"; fi
[ ! -e "$work/apt.log" ] || fail "apt-get ran"

[ $failures -eq 0 ] || exit 1
echo "setup-deps.sh: every purpose installs what it needs, and only when missing"
