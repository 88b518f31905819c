#!/bin/sh
# Runs every benchmark in one go and prints the figures BENCHMARKS.md reports:
# the core and drawing benchmarks, then (under a private Xvfb) the real
# window's polling and run-loop ratios, the start-up time to the first frame
# and the resident memory, and the browser edition's sizes, first frame,
# idle load and run pace.
#   scripts/bench.sh            (build folder: build-bench)
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh run web test
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench
B=build-bench
uname -srm; nproc; grep -m1 "model name" /proc/cpuinfo || true

for bench in assemble_bench step_bench interpreter_bench listing_bench screen_bench aids_bench; do
  echo "== $bench"
  "$B/$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null
done

echo "== akkusim run of a 100-million-step loop"
/usr/bin/time -f "%e s wall, %U s user, %M KB resident" \
  "$B/akkusim" run --max-steps 200000000 bench/programs/hundert_millionen.txt | tail -2

scripts/bench_grader.sh "$B"

WORK=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"

echo "== window_bench (real window under Xvfb)"
"$B/window_bench" 2>/dev/null
echo "== run_speed (Starten in the real window under Xvfb)"
"$B/run_speed" | tee "$WORK/run_speed"

echo "== fast_run_speed (F8 in the real window under Xvfb, beside the headless runner)"
"$B/fast_run_speed" | tee "$WORK/fast_run"

echo "== start-up and memory (real window under Xvfb)"
start=$(date +%s%N)
"$B/akkusim" &
APP=$!
until WID=$(xdotool search --name '^akkusim$' 2>/dev/null | head -1) && [ -n "$WID" ]; do
  sleep 0.005
done
mapped=$(date +%s%N)
# The first frame is there when the memory view's light grey shows.
until [ "$(import -window "$WID" -crop 1x1+600+100 -depth 8 txt:- 2>/dev/null |
           grep -o '#EEEEEE')" = "#EEEEEE" ]; do sleep 0.005; done
drawn=$(date +%s%N)
echo "window mapped after $(( (mapped - start) / 1000000 )) ms;" \
     "first frame seen after $(( (drawn - start) / 1000000 )) ms (includes one screen capture)"
sleep 2
grep -E "VmRSS|VmHWM" /proc/$APP/status
kill -TERM $APP; wait $APP || true

echo "== browser edition (headless Chromium)"
scripts/web.sh --build >/dev/null
bare=$(sed -n 's/^bare loop: \([0-9.]*\) passes.*/\1/p' "$WORK/run_speed")
node bench/web/measure.mjs --site build-web --desktop-bare "${bare:-0}"
fast=$(sed -n 's/^fast run: *\([0-9.]*\) million.*/\1/p' "$WORK/fast_run")
node bench/web/fast_run.mjs --site build-web --desktop "$(awk "BEGIN { print ${fast:-0} * 1000000 }")"
