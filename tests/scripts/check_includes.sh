#!/bin/sh
# scripts/check_includes.sh on a small tree of the same folders: a clean
# tree passes; an include cycle fails even where the lists allow it, and
# so does each include a list forbids, named by file and line.
#   check_includes.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL [$case_name]: $*"
  sed 's/^/  | /' "$work/out"
  failures=$((failures + 1))
}

# put FILE LINE...: a file of the tree with these lines.
put() {
  path=$work/repo/$1
  shift
  mkdir -p "$(dirname "$path")"
  printf '%s\n' "$@" >"$path"
}

# Setup: every kind of folder once, each including what it may.
setup() {
  rm -rf "${work:?}/repo"
  mkdir -p "$work/repo/scripts"
  cp "$source_dir/scripts/check_includes.sh" "$work/repo/scripts/"
  put base/result.h '#pragma once'
  put text/cp437.h '#pragma once'
  put isa/opcode_table.h '#pragma once' '#include "text/cp437.h"'
  put machine/machine_state.h '#pragma once' '#include "base/result.h"' '#include "isa/opcode_table.h"'
  put program/assemble.h '#pragma once'
  put cli/cli.h '#pragma once' '#include "machine/machine_state.h"'
  put gfx/screen.h '#pragma once'
  put platform/headless/headless_platform.h '#pragma once' '#include "gfx/screen.h"'
  put ui/listing_view.h '#pragma once' '#include "gfx/screen.h"' '#include "machine/machine_state.h"'
  put app/main_window.h '#pragma once' '#include "ui/listing_view.h"'
  put main.cpp '#include "app/main_window.h"' '#include "cli/cli.h"' \
    '#include "platform/headless/headless_platform.h"'
  put tests/support/window.h '#pragma once' '#include "app/main_window.h"' \
    '#include "platform/headless/headless_platform.h"'
  # The text folder lies below machine only through isa.
  put tests/machine/run_test.cpp '#include "machine/machine_state.h"' '#include "text/cp437.h"' \
    '#include "support/window.h"'
  put tests/ui/listing_view_test.cpp '#include "ui/listing_view.h"' \
    '#include "platform/headless/headless_platform.h"'
  put bench/listing_bench.cpp '#include "ui/listing_view.h"' \
    '#include "platform/headless/headless_platform.h"'
  put fuzz/step_fuzz.cpp '#include "machine/machine_state.h"'
}

# Each case: one include added at the end of a file (made if missing), the
# lists optionally loosened by a sed edit of the script, the expected exit
# (ok or fail) and the lines the output must hold, separated by " ;; ".
while IFS='|' read -r case_name file include edit want lines; do
  setup
  if [ -n "$file" ]; then
    mkdir -p "$(dirname "$work/repo/$file")"
    printf '%s\n' "$include" >>"$work/repo/$file"
  fi
  [ -z "$edit" ] || sed -i "$edit" "$work/repo/scripts/check_includes.sh"

  sh "$work/repo/scripts/check_includes.sh" "$work/repo" >"$work/out" 2>&1
  code=$?

  if [ "$want" = ok ] && [ $code -ne 0 ]; then fail "exit code $code, expected 0"; fi
  if [ "$want" = fail ] && [ $code -eq 0 ]; then fail "passed"; fi
  rest=$lines
  while [ -n "$rest" ]; do
    line=${rest%% ;; *}
    case "$rest" in *" ;; "*) rest=${rest#* ;; } ;; *) rest="" ;; esac
    grep -qxF -- "$line" "$work/out" || fail "no line: $line"
  done
done <<'EOF'
clean tree||||ok|include directions: ok
loop through three folders the lists allow|text/cp437.h|#include "machine/machine_state.h"|s/text) echo "" ;;/text) echo "machine" ;;/|fail|include cycle between folders: isa -> text -> machine -> isa ;;   text/cp437.h:2: text includes machine ;;   machine/machine_state.h:3: machine includes isa
upward production include making a loop|gfx/screen.h|#include "ui/listing_view.h"||fail|gfx/screen.h:2: includes "ui/listing_view.h": gfx may not depend on ui ;; include cycle between folders: gfx -> ui -> gfx
upward production include|machine/machine_state.h|#include "program/assemble.h"||fail|machine/machine_state.h:4: includes "program/assemble.h": machine may not depend on program
production including test support|ui/listing_view.h|#include "support/window.h"||fail|ui/listing_view.h:4: includes "support/window.h": ui may not depend on tests/support
test including above its layer|tests/machine/run_test.cpp|#include "ui/listing_view.h"||fail|tests/machine/run_test.cpp:4: includes "ui/listing_view.h": tests/machine may not depend on ui
test including the platform above its layer|tests/gfx/screen_test.cpp|#include "platform/headless/headless_platform.h"||fail|tests/gfx/screen_test.cpp:1: includes "platform/headless/headless_platform.h": tests/gfx may not depend on platform/headless
test support including the command line|tests/support/window.h|#include "cli/cli.h"||fail|tests/support/window.h:4: includes "cli/cli.h": tests/support may not depend on cli
benchmark including the command line|bench/listing_bench.cpp|#include "cli/cli.h"||fail|bench/listing_bench.cpp:3: includes "cli/cli.h": bench may not depend on cli
fuzzer including the commands|fuzz/step_fuzz.cpp|#include "app/main_window.h"||fail|fuzz/step_fuzz.cpp:2: includes "app/main_window.h": fuzz may not depend on app
folder in no layer|extra/thing.h|#include "text/cp437.h"||fail|extra: in no layer; give it its place in scripts/check_includes.sh
test folder of no layer|tests/misc/thing_test.cpp|#include "text/cp437.h"||fail|tests/misc: in no layer; give it its place in scripts/check_includes.sh
EOF

# Without a folder named, the script checks the tree it lies in, wherever
# it is called from.
case_name="no folder named"
setup
printf '%s\n' '#include "ui/listing_view.h"' >>"$work/repo/text/cp437.h"
mkdir -p "$work/elsewhere"
if (cd "$work/elsewhere" && sh ../repo/scripts/check_includes.sh) >"$work/out" 2>&1; then
  fail "passed"
fi
grep -qF 'text/cp437.h:2: includes "ui/listing_view.h"' "$work/out" || fail "the fault is not named"

[ $failures -eq 0 ] || exit 1
echo "check_includes.sh: clean tree passes, every planted fault is named"
