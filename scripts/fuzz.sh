#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, both stopping at the first report) and runs each.
#   scripts/fuzz.sh              the same inputs every time (CI): a fixed seed,
#                                a fixed number of runs (FUZZ_RUNS, default
#                                300000) from a fresh copy of the seed corpus,
#                                so that a finding repeats instead of coming
#                                and going with the machine's speed
#   scripts/fuzz.sh SECONDS      exploring by hand: a new seed each time, a
#                                corpus kept in build-fuzz/corpus/ that grows
# FUZZ_PROBE=1 runs the planted faults of fuzz/probe/ instead, which must
# fail (scripts/fuzz_probe.sh checks that).
# Findings land in build-fuzz/artifacts/; the seed corpus in fuzz/corpus/ is
# copied, never written to. A finding worth keeping goes into fuzz/corpus/
# as a regression-* file.
set -eu
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-}
RUNS=${FUZZ_RUNS:-300000}
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
  if [ -n "$SECONDS_PER_TARGET" ]; then
    work="build-fuzz/corpus/$name"
    mkdir -p "$work"
    budget="-max_total_time=$SECONDS_PER_TARGET"
    echo "== $name (${SECONDS_PER_TARGET}s)"
  else
    work="build-fuzz/fixed-corpus/$name"
    rm -rf "$work"
    mkdir -p "$work"
    budget="-seed=1 -runs=$RUNS"
    echo "== $name ($RUNS runs, seed 1)"
  fi
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  # shellcheck disable=SC2086 # $budget is two options or one
  if ! "build-fuzz/$name" $budget -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/artifacts/$name-" -print_final_stats=1 "$work" \
      2>"build-fuzz/$name.log"; then
    echo "FINDING in $name:"; tail -40 "build-fuzz/$name.log"; status=1
  fi
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec" "build-fuzz/$name.log" || true
done
exit $status
