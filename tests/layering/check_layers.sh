#!/usr/bin/env bash
# Fails when a layer includes what it must not: the logic (app/, settings/,
# support/) and the interfaces (platform/*.h) include neither Qt, nor a POSIX
# or system header, nor a backend, nor the view; the view (gui/) does not
# know the POSIX backends. Only main.cpp, at the top, knows every layer.
set -u
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
cd "$root" || exit 2
posix='unistd|fcntl|netdb|poll|signal|spawn|glob|dirent|ifaddrs|pthread|dlfcn|pwd|termios|sys/[a-z_]+|netinet/[a-z_]+|arpa/[a-z_]+|net/[a-z_]+'
failed=0
report() {  # report DESCRIPTION GREP-OUTPUT
  if [[ -n "$2" ]]; then
    echo "$1:"
    echo "$2"
    failed=1
  fi
}
logic=$(find app settings support -name '*.h' -o -name '*.cpp' | sort)
interfaces=$(find platform -maxdepth 1 -name '*.h' | sort)
for f in $logic $interfaces; do
  report "$f includes Qt" "$(grep -nE '^#include <Q' "$f")"
  report "$f includes a POSIX header" "$(grep -nE "^#include <($posix)\.h>" "$f")"
  report "$f includes a backend or the view" "$(grep -nE '^#include "(platform/posix|gui)/' "$f")"
done
for f in $(find gui -name '*.h' -o -name '*.cpp' | sort); do
  report "$f includes a POSIX backend" "$(grep -nE '^#include "platform/posix/' "$f")"
done
if ((failed)); then exit 1; fi
echo "layers hold: $(echo $logic $interfaces | wc -w) logic and interface files, $(find gui -name '*.h' -o -name '*.cpp' | wc -l) view files"
