#!/bin/sh
# Builds and runs every test: a g++ build, a clang build with
# AddressSanitizer and UndefinedBehaviorSanitizer (both warning-free, both
# with the end-to-end session in the real window under Xvfb), the Windows
# edition cross-built and tested under Wine, the browser edition in Chromium
# and in Firefox ESR, the downloads (scripts/package.sh) installed and run,
# and every fuzz target over the same inputs each time (FUZZ_RUNS each,
# default 300000; 0 skips it).
# With CI=true (.ci/run sets it) the window tests are required: one that is
# skipped or not even built fails the run.
set -eu
cd "$(dirname "$0")/.."
. scripts/builds.sh
scripts/setup-deps.sh all
scripts/check_includes.sh

WINDOW_TESTS="ui_sdl_smoke e2e_whole_session e2e_learner_aids"

# require_window_tests DIR LOG: each window test must have passed in LOG.
require_window_tests() {
  for test in $WINDOW_TESTS; do
    if ! grep -Eq "Test +#[0-9]+: $test \.+ +Passed" "$2"; then
      echo "akkusim: required window test $test did not run in $1 (skipped or not built; see above)"
      return 1
    fi
  done
}

for build in release asan; do
  dir=build
  [ $build = asan ] && dir=build-asan
  configure_build "$dir" $build
  status=0
  run_tests "$dir" 2>&1 | tee "$dir/ctest.log" || status=1
  # tee hides ctest's status; its summary line does not.
  grep -q "^100% tests passed" "$dir/ctest.log" || status=1
  [ $status -eq 0 ] || { echo "akkusim: tests failed in $dir"; exit 1; }
  if [ "${CI:-}" = true ]; then require_window_tests "$dir" "$dir/ctest.log"; fi
done

# The Windows edition, built once: its unit tests under Wine, its command
# line against the release build's.
scripts/windows.sh --test

scripts/web.sh --build
node --test tests/web/
# The same in Firefox ESR.
AKKUSIM_BROWSER=firefox node --test tests/web/

# The downloads from the builds above, each installed or unpacked and run
# (the package is installed into this system and removed again).
# A skip (exit 77: not root, no Wine) fails the run only in CI.
package_test() {
  status=0
  sh "tests/package/$1" dist "$2" || status=$?
  [ $status -eq 0 ] || { [ $status -eq 77 ] && [ "${CI:-}" != true ]; }
}
scripts/package.sh --no-build
package_test sums.sh build-web
package_test deb.sh build
package_test windows.sh build/akkusim

if [ "${FUZZ_RUNS:-300000}" -gt 0 ]; then
  scripts/fuzz.sh
  scripts/fuzz_probe.sh
fi
echo "akkusim: all tests passed"
