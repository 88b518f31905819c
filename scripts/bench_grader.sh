#!/bin/sh
# Times `akkusim test` on a generated folder of 1,000 programs x 5 cases of
# about 10,000 steps each, on one core and on all cores, and the start-up
# cost of one `akkusim run` of a program that stops at once.
#   scripts/bench_grader.sh [build-folder]      (default build-bench)
# KEEP=folder keeps the generated programs there for further measurements.
set -eu
cd "$(dirname "$0")/.."
B=${1:-build-bench}
if [ ! -x "$B/akkusim" ]; then
  cmake -S . -B "$B" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$B" --target akkusim
fi
WORK=${KEEP:-$(mktemp -d)}
[ -n "${KEEP:-}" ] || trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK"

# A countdown from M[100]: 1 + 2n + 2 steps, so n around 5000 gives 10,000.
mkdir -p "$WORK/abgaben"
i=0
while [ $i -lt 1000 ]; do
  printf '# Abgabe %d\r\n    LOAD 100\r\nschleife:\r\n    SUBI 1\r\n    JMPNZ schleife\r\n    STORE 101\r\n    HOLD\r\n' \
    $i >"$WORK/abgaben/abgabe_$(printf %04d $i).txt"
  i=$((i + 1))
done
{
  echo 'title = "Herunterzaehlen"'
  for n in 4998 4999 5000 5001 5002; do
    printf '[[case]]\nname = "n = %d"\nmemory = { 100 = %d }\nexpect.memory = { 101 = 0 }\n' $n $n
  done
} >"$WORK/test.toml"
printf 'HOLD\r\n' >"$WORK/hold.txt"

nproc
"$B/akkusim" test "$WORK/test.toml" "$WORK/abgaben" | tail -1
TIMES="%e s wall, %U s user, %S s sys, %M KB resident"
echo "== 1000 programs x 5 cases, one core"
for _ in 1 2 3; do
  /usr/bin/time -f "$TIMES" taskset -c 0 "$B/akkusim" test "$WORK/test.toml" "$WORK/abgaben" >/dev/null
done
echo "== 1000 programs x 5 cases, all cores"
for _ in 1 2 3; do
  /usr/bin/time -f "$TIMES" "$B/akkusim" test "$WORK/test.toml" "$WORK/abgaben" >/dev/null
done
echo "== start-up: 100 x akkusim run of a HOLD"
/usr/bin/time -f "%e s wall for 100 runs" sh -c \
  "for i in \$(seq 100); do '$B/akkusim' run '$WORK/hold.txt' >/dev/null; done"
