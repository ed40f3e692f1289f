#!/usr/bin/env bash
# Set up, build and start Vexmond.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
# The program only: the tests and benchmarks need packages of their own,
# which the test command installs.
build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXMOND_BUILD_TESTS=OFF -DVEXMOND_BUILD_BENCH=OFF
exec "$ROOT/build/vexmond" "$@"
