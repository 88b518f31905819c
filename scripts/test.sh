#!/bin/sh
# Builds and runs every test: a g++ build, a clang build with
# AddressSanitizer and UndefinedBehaviorSanitizer (both warning-free, both
# with the end-to-end session in the real window under Xvfb), the browser
# edition in Chromium, and a bounded run of every fuzz target (FUZZ_SECONDS
# each, default 30; 0 skips it).
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DAKKUSIM_WERROR=ON >/dev/null
cmake --build build
(cd build && ctest --output-on-failure -j "$JOBS")

scripts/web.sh --build
node --test tests/web/

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DAKKUSIM_WERROR=ON -DAKKUSIM_SANITIZE=ON >/dev/null
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$JOBS")
if [ "${FUZZ_SECONDS:-30}" -gt 0 ]; then
  scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi
echo "akkusim: all tests passed"
