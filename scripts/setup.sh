#!/usr/bin/env bash
# Installs what Vexmond needs from Debian's packages and defines build().
# Sourced by start.sh and test.sh: the program alone needs the packages
# below, the tests add theirs in EXTRA_PACKAGES.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev qt6-qpa-plugins fonts-dejavu-core ${EXTRA_PACKAGES:-})

missing=()
for pkg in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing from Debian: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Vexmond needs Debian packages that are not installed. Run this, then try again:" >&2
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

build() {  # build DIR [cmake args...]; CXX picks the compiler of a new build directory
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
}
