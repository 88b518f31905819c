#!/bin/sh
# Proves that a fuzz run fails on undefined behaviour: scripts/fuzz.sh over
# the planted signed overflow of fuzz/probe/ must fail, and because of that
# overflow. Takes a few seconds once build-fuzz is built.
#   scripts/fuzz_probe.sh
set -eu
cd "$(dirname "$0")/.."
mkdir -p build-fuzz
log=build-fuzz/probe.log
if FUZZ_PROBE=1 scripts/fuzz.sh >"$log" 2>&1; then
  cat "$log"
  echo "akkusim: FAIL: scripts/fuzz.sh passed over the planted signed overflow"
  exit 1
fi
if ! grep -q "runtime error: signed integer overflow" build-fuzz/signed_overflow_fuzz.log; then
  cat "$log"
  echo "akkusim: FAIL: scripts/fuzz.sh failed, but not on the planted overflow"
  exit 1
fi
echo "akkusim: scripts/fuzz.sh fails on the planted signed overflow, as it must"
