#!/bin/sh
# Fails on any include that points up the layers, and on any include cycle
# between folders:
# - each production folder may include only itself, base/ (the shared
#   result type) and the folders listed for it below;
# - a test in tests/X may include the layer X it tests, the layers below it,
#   base/ and tests/support; tests/support itself stands on app/;
# - bench/ and fuzz/ each have a list of their own;
# - the entry points main.cpp, web_main.cpp and web_grader_main.cpp may
#   include anything.
# The command line goes cli/ -> grader/ -> core: `akkusim run` dispatches
# `akkusim test`, and both read, run and report through the core.
# platform/web/ may include files/: the browser's program store is the disk
# store on the browser's file system, kept in its storage.
# The cycles come from the includes themselves, whatever the lists say, so
# that a loosened list cannot hide one. Every folder holding C++ files must
# have a place here.
#   check_includes.sh [ROOT]   ROOT: the tree to check (the repository)
# Run by scripts/test.sh and by the tests, so the layout cannot rot.
set -eu
root=${1:-"$(dirname "$0")/.."}
cd "$root"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Production folder: the folders it may include besides itself and base/.
allowed() {
  case "$1" in
    base) echo "" ;;
    isa) echo "text" ;;
    text) echo "" ;;
    machine) echo "isa" ;;
    program) echo "isa machine text" ;;
    files) echo "isa machine text program" ;;
    cli) echo "isa machine text program files grader" ;;
    grader) echo "isa machine text program files" ;;
    gfx) echo "" ;;
    platform/headless) echo "gfx" ;;
    platform/window) echo "gfx" ;;
    platform/sdl) echo "gfx text platform/window" ;;
    platform/web) echo "gfx text files" ;;
    platform/win32) echo "gfx text platform/window" ;;
    ui) echo "gfx isa machine text program files" ;;
    app) echo "ui gfx isa machine text program files" ;;
    *) return 1 ;;
  esac
}

# Test folder: the layers its tests are about. Tests that draw (ui/, app/)
# draw into the headless platform's window, and so does tests/support.
tested() {
  case "$1" in
    platform) echo "platform/headless platform/window platform/sdl platform/win32" ;;
    web) echo "platform/web" ;;
    ui) echo "ui platform/headless" ;;
    app | support) echo "app platform/headless" ;;
    e2e) echo "" ;;  # drives the built program from outside
    *) allowed "$1" >/dev/null && echo "$1" ;;
  esac
}

# The given folders and every folder they may include, directly or not.
below() {
  seen=""
  for layer in "$@"; do add_below "$layer"; done
  echo "$seen"
}
add_below() {
  case " $seen " in *" $1 "*) return ;; esac
  seen="$seen $1"
  for next in $(allowed "$1"); do add_below "$next"; done
}

# Folder (a file's directory; a file at the root stands for itself): the
# folders it may include besides itself, "*" for any.
rules() {
  case "$1" in
    main.cpp | web_main.cpp | web_grader_main.cpp) echo "*" ;;
    bench | bench/*) echo "bench base app ui gfx platform/headless platform/sdl platform/win32 program machine isa text" ;;
    fuzz | fuzz/*) echo "base ui grader files program machine isa text" ;;
    tests/*)
      layers=$(tested "${1#tests/}") || return 1
      # shellcheck disable=SC2086 # one word per layer
      echo "base tests/support $(below $layers)"
      ;;
    *)
      list=$(allowed "$1") || return 1
      echo "base $list"
      ;;
  esac
}

find . -type d \( -name '.?*' -o -name 'build*' -o -name node_modules -o -name CMakeFiles \) -prune \
  -o -type f \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort >"$work/files"

# Each file's folder ("F folder"; a file at the root stands for itself) and
# the quoted includes that name a folder ("I from file line target to").
# "support/x.h" is tests/support's.
# shellcheck disable=SC2016 # an awk program
tr '\n' '\0' <"$work/files" | xargs -0 -r awk '
  FNR == 1 {
    from = FILENAME
    if (!sub(/\/[^\/]*$/, "", from)) from = FILENAME
    print "F", from
  }
  /^[ \t]*#[ \t]*include[ \t]*"[^"]*\/[^"]*"/ {
    target = $0
    sub(/^[^"]*"/, "", target)
    sub(/".*$/, "", target)
    to = target
    sub(/\/[^\/]*$/, "", to)
    if (to ~ /^support(\/|$)/) to = "tests/" to
    print "I", from, FILENAME, FNR, target, to
  }' >"$work/scan"
sed -n 's/^I //p' "$work/scan" >"$work/includes"

status=0
sed -n 's/^F //p' "$work/scan" | sort -u >"$work/folders"
while read -r folder; do
  if list=$(rules "$folder"); then
    echo "$folder $list" >>"$work/rules"
  else
    echo "$folder: in no layer; give it its place in scripts/check_includes.sh" >&2
    status=1
  fi
done <"$work/folders"
touch "$work/rules"

# The lists.
awk '
  NR == FNR {
    for (i = 2; i <= NF; ++i) ok[$1, $i] = 1
    placed[$1] = 1
    any[$1] = ($2 == "*")
    next
  }
  # A folder in no layer is reported above.
  ($1 in placed) && $1 != $5 && !any[$1] && !(($1, $5) in ok) {
    printf "%s:%s: includes \"%s\": %s may not depend on %s\n", $2, $3, $4, $1, $5
    bad = 1
  }
  END { exit bad }' "$work/rules" "$work/includes" >&2 || status=1

# The cycles: tsort names the folders of each loop in include order.
awk '{ print $1, $1 } $1 != $5 { print $1, $5 }' "$work/includes" | sort -u >"$work/edges"
if ! tsort "$work/edges" >/dev/null 2>"$work/loops"; then
  awk '
    NR == FNR { if (!(($1, $5) in where)) where[$1, $5] = $2 ":" $3; next }
    /input contains a loop/ { flush(); next }
    { sub(/^tsort: /, ""); loop[n++] = $0 }
    END { flush() }
    function flush(   i, path, next_one) {
      if (n == 0) return
      path = loop[0]
      for (i = 1; i <= n; ++i) path = path " -> " loop[i % n]
      print "include cycle between folders: " path
      for (i = 0; i < n; ++i) {
        next_one = loop[(i + 1) % n]
        print "  " where[loop[i], next_one] ": " loop[i] " includes " next_one
      }
      n = 0
    }' "$work/includes" "$work/loops" >&2
  status=1
fi

[ $status -eq 0 ] && echo "include directions: ok"
exit $status
