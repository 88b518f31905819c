#!/bin/sh
# Runs the whole suite of both test builds N times in a row (default 30),
# with a busy loop on one core beside it, and stops at the first failing
# run. A test that fails now and then shows up here.
#   scripts/soak.sh [N]
# SOAK_DIR names the folder prefix of the two builds (default build-soak),
# so that building elsewhere while it runs does not change what it tests.
set -eu
cd "$(dirname "$0")/.."
. scripts/builds.sh
RUNS=${1:-30}
PREFIX=${SOAK_DIR:-build-soak}

configure_build "$PREFIX" release >/dev/null
configure_build "$PREFIX-asan" asan >/dev/null

sh -c 'while :; do :; done' &
BUSY=$!
trap 'kill $BUSY 2>/dev/null || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start=$(date +%s)
passed=0
while [ $passed -lt "$RUNS" ]; do
  run=$((passed + 1))
  for dir in "$PREFIX" "$PREFIX-asan"; do
    log="$dir/soak.log"
    if ! run_tests "$dir" >"$log" 2>&1 || ! grep -q "^100% tests passed" "$log"; then
      grep -E "\*\*\*|Failed|FAIL" "$log" | head -40
      echo "soak: run $run failed in $dir after $passed good runs, $(($(date +%s) - start)) s (log: $log)"
      exit 1
    fi
    if grep -q "Skipped" "$log"; then
      grep "Skipped" "$log"
      echo "soak: run $run skipped tests in $dir (log: $log)"
      exit 1
    fi
  done
  passed=$run
  echo "soak: run $run of $RUNS passed, $(($(date +%s) - start)) s so far"
done
echo "soak: $passed of $RUNS runs of both builds passed in $(($(date +%s) - start)) s"
