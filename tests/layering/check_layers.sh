#!/usr/bin/env bash
# Fails when a layer includes what it must not. The layers stand in this
# order, and each includes only its own headers and those below it: the
# error object (base/), the interfaces (platform/*.h), the support classes
# (support/), the settings (settings/), the core (app/), the front-ends.
# The error object (base/), the logic (app/, settings/,
# support/) and the interfaces (platform/*.h) include neither Qt, nor a POSIX
# or Win32 header, nor a backend, nor a front-end. The front-ends know no
# backend, except their composition roots (main.cpp), each its own family:
# the Qt front-end (qt/) includes no Win32 header, the Win32 one (win32/) no
# Qt and no POSIX header, and neither the other front-ends. The service
# (service/) includes no Qt and no other front-end; its system's waits are
# its only files with a system's headers (service/Posix* POSIX, service/Win*
# Win32), and its main.cpp the only one with backends. The Win32 backends
# (platform/win/) include no Qt and no POSIX header, the POSIX backends no
# Win32 header.
set -u
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
cd "$root" || exit 2
posix='unistd|fcntl|netdb|poll|signal|spawn|glob|dirent|ifaddrs|pthread|dlfcn|pwd|termios|sys/[a-z_]+|netinet/[a-z_]+|arpa/[a-z_]+|net/[a-z_]+'
win32='windows|winsock2|ws2tcpip|iphlpapi|shlobj|objbase|commctrl|commdlg|winreg|winuser'
failed=0
report() {  # report DESCRIPTION GREP-OUTPUT
  if [[ -n "$2" ]]; then
    echo "$1:"
    echo "$2"
    failed=1
  fi
}
logic=$(find base app settings support -name '*.h' -o -name '*.cpp' | sort)
interfaces=$(find platform -maxdepth 1 -name '*.h' | sort)
for f in $logic $interfaces; do
  report "$f includes Qt" "$(grep -nE '^#include <Q' "$f")"
  report "$f includes a POSIX header" "$(grep -nE "^#include <($posix)\.h>" "$f")"
  report "$f includes a Win32 header" "$(grep -nE "^#include <($win32)\.h>" "$f")"
  report "$f includes a backend or a front-end" "$(grep -nE '^#include "(platform/posix|platform/win|qt|win32|service)/' "$f")"
done
below=""
for layer in base platform support settings app; do
  below="$below|$layer"
  files=$(find "$layer" -maxdepth 1 \( -name '*.h' -o -name '*.cpp' \) | sort)
  for f in $files; do
    report "$f includes a layer above its own" "$(grep -nE '^#include "[a-z0-9_]+/' "$f" | grep -vE "\"(${below#|})/")"
  done
done
# The window's presenter is the windows' alone: the rest of the core and
# the service reach the session and the shared texts without it.
for f in $(find app settings support service -name '*.h' -o -name '*.cpp' | grep -v '^app/frmMain\.' | sort); do
  report "$f includes the window's presenter" "$(grep -n '^#include "app/frmMain.h"' "$f")"
done
frontends=$(find qt win32 -name '*.h' -o -name '*.cpp' 2>/dev/null | sort)
for f in $frontends; do
  case "$f" in
    qt/main.cpp) report "$f includes a Win32 backend" "$(grep -nE '^#include "platform/win/' "$f")" ;;
    win32/main.cpp) report "$f includes a POSIX backend" "$(grep -nE '^#include "platform/posix/' "$f")" ;;
    *) report "$f includes a backend" "$(grep -nE '^#include "platform/(posix|win)/' "$f")" ;;
  esac
  case "$f" in
    qt/*) report "$f includes a Win32 header or another front-end" \
            "$(grep -nE "^#include (<($win32)\.h>|\"(win32|service)/)" "$f")" ;;
    win32/*) report "$f includes Qt, a POSIX header or another front-end" \
               "$(grep -nE "^#include (<Q|<($posix)\.h>|\"(qt|service)/)" "$f")" ;;
  esac
done
service=$(find service -name '*.h' -o -name '*.cpp' 2>/dev/null | sort)
for f in $service; do
  report "$f includes Qt or another front-end" "$(grep -nE '^#include (<Q|"(qt|win32)/)' "$f")"
  [[ "$f" == service/main.cpp ]] || report "$f includes a backend" "$(grep -nE '^#include "platform/(posix|win)/' "$f")"
  case "$f" in
    service/main.cpp) ;;
    service/Posix*) report "$f includes a Win32 header" "$(grep -nE "^#include <($win32)\.h>" "$f")" ;;
    service/Win*) report "$f includes a POSIX header" "$(grep -nE "^#include <($posix)\.h>" "$f")" ;;
    *) report "$f includes a POSIX or a Win32 header" "$(grep -nE "^#include <($posix|$win32)\.h>" "$f")" ;;
  esac
done
for f in $(find platform/win -name '*.h' -o -name '*.cpp' | sort); do
  report "$f includes Qt" "$(grep -nE '^#include <Q' "$f")"
  report "$f includes a POSIX header" "$(grep -nE "^#include <($posix)\.h>" "$f")"
  report "$f includes a POSIX backend" "$(grep -nE '^#include "platform/posix/' "$f")"
done
for f in $(find platform/posix -name '*.h' -o -name '*.cpp' | sort); do
  report "$f includes a Win32 header" "$(grep -nE "^#include <($win32)\.h>" "$f")"
  report "$f includes a Win32 backend" "$(grep -nE '^#include "platform/win/' "$f")"
done
if ((failed)); then exit 1; fi
echo "layers hold: $(echo $logic $interfaces | wc -w) logic and interface files, $(echo $frontends $service | wc -w) front-end files, $(find platform/posix platform/win -name '*.h' -o -name '*.cpp' | wc -l) backend files"
