#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, both stopping at the first report) and runs
# each for a bounded time.
#   scripts/fuzz.sh [seconds-per-target]     (default 30; CI uses the default)
# FUZZ_PROBE=1 runs the planted faults of fuzz/probe/ instead, which must
# fail (scripts/fuzz_probe.sh checks that).
# Findings land in build-fuzz/artifacts/; the seed corpus in fuzz/corpus/ is
# copied, never written to.
set -eu
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-30}
SOURCES="fuzz/*_fuzz.cpp"
[ "${FUZZ_PROBE:-0}" = 1 ] && SOURCES="fuzz/probe/*_fuzz.cpp"
mkdir -p build-fuzz
if ! cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DAKKUSIM_FUZZ=ON -DBUILD_TESTING=OFF -DAKKUSIM_BENCH=OFF \
    >build-fuzz/configure.log 2>&1; then
  cat build-fuzz/configure.log
  echo "akkusim: configuring build-fuzz failed (output above)"
  exit 1
fi
cmake --build build-fuzz
mkdir -p build-fuzz/artifacts
status=0
for src in $SOURCES; do
  name=$(basename "$src" .cpp)
  seeds="fuzz/corpus/${name%_fuzz}"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  echo "== $name (${SECONDS_PER_TARGET}s)"
  if ! "build-fuzz/$name" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/artifacts/$name-" -print_final_stats=1 "$work" \
      2>"build-fuzz/$name.log"; then
    echo "FINDING in $name:"; tail -40 "build-fuzz/$name.log"; status=1
  fi
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec" "build-fuzz/$name.log" || true
done
exit $status
