#!/usr/bin/env bash
# Set up, build and start Vexmond.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$ROOT/build/vexmond" "$@"
