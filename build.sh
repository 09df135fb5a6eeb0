#!/bin/sh
# Set-up for a Debian 12 machine, run as root (or through sudo):
#   ./build.sh run    installs what is missing, builds a Release build and starts Varnoque
#   ./build.sh test   installs what is missing, builds and runs the whole test suite
set -eu
cd "$(dirname "$0")"

PACKAGES="g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation qt6-translations-l10n diffutils xauth xvfb qt6-base-private-dev"

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
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
