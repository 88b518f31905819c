# The two test builds (sourced by test.sh and soak.sh, so that both test
# exactly the same): g++ Release and clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, both warning-free.
# configure_build DIR release|asan: configures and builds DIR; the configure
# output goes to DIR/configure.log and is shown when configuring fails.
configure_build() {
  case $2 in
    release) set -- "$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DAKKUSIM_BENCH=ON ;;
    asan) set -- "$1" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DAKKUSIM_SANITIZE=ON ;;
    *) echo "configure_build: unknown build $2" >&2; return 2 ;;
  esac
  _dir=$1
  shift
  mkdir -p "$_dir"
  # Tests (and benchmarks) switched on explicitly: scripts/run.sh configures
  # build/ without them on a machine that lacks their libraries.
  if ! cmake -S . -B "$_dir" -G Ninja -DAKKUSIM_WERROR=ON -DBUILD_TESTING=ON "$@" \
      >"$_dir/configure.log" 2>&1; then
    cat "$_dir/configure.log"
    echo "akkusim: configuring $_dir failed (output above, kept in $_dir/configure.log)"
    return 1
  fi
  cmake --build "$_dir"
}

# run_tests DIR [ctest arguments]: the whole suite of a build, as CI runs it.
run_tests() {
  _dir=$1
  shift
  (cd "$_dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j "$(nproc)" "$@")
}
