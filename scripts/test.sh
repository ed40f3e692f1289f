#!/usr/bin/env bash
# Set up, build and run every test: once as shipped, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
# The peer tests run against a real OpenArena dedicated server; the package
# test builds a .deb (dpkg-shlibdeps, file) and validates its desktop entry.
# The fuzz targets are built with clang and its libFuzzer runtime. The
# desktop tests run the window on a real X display (Xvfb) with and without a
# window manager (openbox), and look at it through libxcb.
EXTRA_PACKAGES="openarena-server dpkg-dev file desktop-file-utils clang-14 libclang-rt-14-dev xvfb openbox libxcb1-dev pkg-config"
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Build and test (RelWithDebInfo)"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_WERROR=ON
ctest --test-dir "$ROOT/build" --output-on-failure -j "$jobs"

echo "== Build and test under AddressSanitizer + UBSan"
build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVEXMOND_SANITIZE=ON -DVEXMOND_BUILD_BENCH=OFF -DVEXMOND_WERROR=ON
# The soak runs once per test command, in the build above.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$jobs" -LE soak

echo "== Fuzz targets (clang, libFuzzer + ASan + UBSan), each briefly over its corpus"
CXX=clang++-14 build "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_FUZZ=ON -DVEXMOND_WERROR=ON \
  -DVEXMOND_BUILD_GUI=OFF -DVEXMOND_BUILD_TESTS=OFF -DVEXMOND_BUILD_BENCH=OFF
ctest --test-dir "$ROOT/build-fuzz" --output-on-failure
