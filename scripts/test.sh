#!/usr/bin/env bash
# Set up, build and run every test: once as shipped, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets; then
# build the Windows target and run its tests under wine.
# With --build-only it stops after the set-up and the builds (the build for use
# and the Windows target built with its installer and zip, the sanitizer and
# fuzz builds configured), as the fresh-root check runs it.
set -euo pipefail
build_only=false
[[ "${1:-}" == "--build-only" ]] && build_only=true
# The tests' own packages: GoogleTest and Google Benchmark; a real OpenArena
# dedicated server for the peer tests; dpkg-shlibdeps, file, the desktop
# entry validator and lintian for the package test; clang and its libFuzzer
# runtime for the fuzz targets; Xvfb with xvfb-run (xauth), openbox and libxcb (XTEST for
# real clicks, EWMH for what the window manager sees) for the desktop tests;
# MinGW-w64 for the Windows target, wine to run its tests (GoogleTest is
# built for it from googletest's sources), librsvg2-bin and icoutils for its
# icon, nsis for its installer and xdotool for the real keys and clicks of
# its window's desktop tests; debootstrap for the fresh-root check under CI.
EXTRA_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev openarena-server dpkg-dev file desktop-file-utils lintian
  clang-14 libclang-rt-14-dev xvfb xauth openbox libxcb1-dev libxcb-xtest0-dev libxcb-ewmh-dev pkg-config
  g++-mingw-w64-x86-64-posix googletest wine wine64 librsvg2-bin icoutils nsis xdotool debootstrap"
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
common=(-DVEXMOND_WERROR=ON -DVEXMOND_BUILD_TESTS=ON)

# Each step says when it starts, counted from the start of the test command.
step() { echo "== $* (at $((SECONDS / 60))m$((SECONDS % 60))s)"; }
step "Build and test (RelWithDebInfo)"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_BUILD_BENCH=ON "${common[@]}"
asan=(-DCMAKE_BUILD_TYPE=Debug -DVEXMOND_SANITIZE=ON -DVEXMOND_BUILD_BENCH=OFF "${common[@]}")
fuzz=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_FUZZ=ON -DVEXMOND_WERROR=ON -DVEXMOND_BUILD_GUI=OFF
      -DVEXMOND_BUILD_TESTS=OFF -DVEXMOND_BUILD_BENCH=OFF)
windows=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_BUILD_BENCH=ON "${common[@]}")
if $build_only; then
  build "$ROOT/build-windows" "${windows[@]}"
  (cd "$ROOT/build-windows" && cpack >/dev/null)  # the installer and the zip
  cmake -S "$ROOT" -B "$ROOT/build-asan" -G Ninja "${asan[@]}" >/dev/null
  CXX=clang++-14 cmake -S "$ROOT" -B "$ROOT/build-fuzz" -G Ninja "${fuzz[@]}" >/dev/null
  echo "== Set up and built; no test run (--build-only)"
  exit 0
fi
ctest --test-dir "$ROOT/build" --output-on-failure -j "$jobs"

step "Build and test under AddressSanitizer + UBSan"
build "$ROOT/build-asan" "${asan[@]}"
# The soak runs once per test command, in the build above.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$ROOT/build-asan" --output-on-failure -j "$jobs" -LE soak

step "Fuzz targets (clang, libFuzzer + ASan + UBSan), each briefly over its corpus"
CXX=clang++-14 build "$ROOT/build-fuzz" "${fuzz[@]}"
ctest --test-dir "$ROOT/build-fuzz" --output-on-failure

step "The Windows target (MinGW-w64): vexmond.exe, its installer, and their tests under wine"
build "$ROOT/build-windows" "${windows[@]}"
# One wine server for the whole run, started (with a warm-up that starts its
# helpers) with its output away from CTest's pipes, and stopped after.
wine_prefix="$ROOT/build-windows/wine"
stop_wine() { WINEPREFIX="$wine_prefix" wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
mkdir -p "$wine_prefix"
"$ROOT/tests/win/on_wine.sh" "$wine_prefix" cmd /c exit </dev/null >/dev/null 2>&1  # makes the prefix
WINEPREFIX="$wine_prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$wine_prefix" wineserver -p </dev/null >/dev/null 2>&1 || true
"$ROOT/tests/win/on_wine.sh" "$wine_prefix" cmd /c exit </dev/null >/dev/null 2>&1
ctest --test-dir "$ROOT/build-windows" --output-on-failure -j "$jobs" -L windows
stop_wine
trap - EXIT

if [[ "${CI:-}" == "true" ]]; then
  step "The README's commands on a fresh Debian 12 root"
  "$ROOT/scripts/check_fresh_root.sh"
fi
step "Done"
