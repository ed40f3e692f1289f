#!/bin/sh
# Runs a Windows program under wine, in a throwaway prefix of the build
# directory: on_wine.sh PREFIX PROGRAM [ARGS...].
#
# Wine's helper processes (its server, services, the device manager) inherit
# the standard output of the process that starts them, and a pipe that a
# helper holds open never ends: CTest would wait for it. So before the
# program runs, a warm-up with its output sent to /dev/null makes sure the
# server and its helpers are up. The test command starts the server for the
# whole run (`wineserver -p`) and stops it after (`wineserver -k`); run by
# hand, a server started here goes 30 seconds after its last program.
# No window is shown: the prefix uses wine's null graphics driver.
set -eu
prefix=$1
shift
# The window's desktop tests run on a display of their own.
case " $* " in
*" --gtest_list_tests "*) ;;
*" --gtest_filter=Win32Desktop."*) exec "$(dirname "$0")/on_wine_x11.sh" "$prefix" "$@" ;;
esac
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
mkdir -p "$prefix"
(
    flock 9
    wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || true
    if [ ! -f "$prefix/.vexmond-ready" ]; then
        wineboot -i </dev/null >/dev/null 2>&1 9>&-
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 9>&-
        # The desktop process wineboot started chose its graphics driver
        # before the setting was there: start wine afresh.
        wineserver -k 9>&- || true
        wineserver -p30 </dev/null >/dev/null 2>&1 9>&- || true
        touch "$prefix/.vexmond-ready"
    fi
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
) 9>"$prefix.lock"
exec wine "$@"
