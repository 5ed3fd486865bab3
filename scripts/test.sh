#!/usr/bin/env bash
# Builds everything and runs every test: a normal build, clang-tidy over its sources, its packages,
# a crash test of its tailmend-cli, a build with AddressSanitizer and UndefinedBehaviorSanitizer, a
# short run of each fuzz target, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dev/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

build_and_test() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DTAILMEND_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

# The build by hand must work on a machine without a display: the main build lists its tests
# (while building) and runs them with neither a display nor a Qt platform set.
(
  unset DISPLAY QT_QPA_PLATFORM
  build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo
)
scripts/ci/clang-tidy.sh build
scripts/ci/test-packages.sh deb build
scripts/ci/crash-test.sh build 30
build_and_test build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTAILMEND_SANITIZE=ON
scripts/ci/fuzz.sh 10
scripts/ci/test-windows.sh
