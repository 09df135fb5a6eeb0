#!/bin/sh
# Set-up for a Debian 12 machine, run as root (or through sudo):
#   ./build.sh run    installs what is missing, builds a Release build and starts Varnoque
#   ./build.sh test   installs what is missing, builds and runs the whole test suite
#   ./build.sh sanitize   the whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#                         (in build-sanitize/, without the benchmarks); any report fails it
#   ./build.sh fuzz       builds the fuzz targets with clang (in build-fuzz/) and runs each for a
#                         bounded time (fuzz/run-fuzzers.sh; FUZZ_SECONDS sets the time per target)
set -eu
cd "$(dirname "$0")"

PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation qt6-translations-l10n diffutils xauth xvfb qt6-base-private-dev"
# libFuzzer and the sanitizer runtimes of clang; llvm-14 brings the symbolizer for readable reports.
FUZZ_PACKAGES="clang-14 libclang-rt-14-dev llvm-14"

install_packages() {
  missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
  fi
}

configure_and_build() {
  build_dir=$1; shift
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build "$build_dir"
}

mode=${1:-run}
case "$mode" in
  run)
    install_packages
    configure_and_build build -DVARNOQUE_BUILD_TESTS=OFF -DVARNOQUE_BUILD_BENCH=OFF
    exec ./build/bin/varnoque
    ;;
  test)
    install_packages
    configure_and_build build
    ctest --test-dir build --output-on-failure --parallel "$(nproc)"
    ;;
  sanitize)
    install_packages
    # A report (leaks included) stops the process, so it fails its test; the options hold for the
    # test executables run while building to list their tests, too. No leak is exempt.
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    configure_and_build build-sanitize -DVARNOQUE_SANITIZE=ON -DVARNOQUE_BUILD_BENCH=OFF
    ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)"
    ;;
  fuzz)
    PACKAGES="$PACKAGES $FUZZ_PACKAGES"
    install_packages
    exec ./fuzz/run-fuzzers.sh
    ;;
  *)
    echo "usage: $0 run|test|sanitize|fuzz" >&2
    exit 2
    ;;
esac
