#!/bin/sh
# Runs a Windows program under wine's X11 driver on an X display of its own:
# on_wine_x11.sh PREFIX PROGRAM [ARGS...]. The display is an Xvfb server
# (xvfb-run) with a 1366x768 screen whose work area leaves 40 pixels at the
# bottom for a task bar (openbox's margins), openbox is the window manager,
# and xdotool is there for the program's real keys and clicks. The wine
# prefix is PREFIX-x11, made on the first run with wine's default graphics
# driver. VEXMOND_DPI sets the dots per inch of a run.
#
# Wine's desktop process keeps the display it started on and reads the work
# area once, so each run has a wine server of its own, started once openbox
# is up (a warm-up with its output sent to /dev/null starts its helpers) and
# stopped at the end. Without xvfb-run, xauth, openbox or xdotool nothing
# runs: the program reports itself skipped to CTest (77), and fails under CI.
set -eu
prefix=$1
shift
if [ -z "${VEXMOND_X11_RUN:-}" ]; then
    for tool in xvfb-run xauth openbox xdotool; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: no $tool to run the window on a display (Debian packages xvfb, xauth, openbox, xdotool)"
            [ "${CI:-}" = "true" ] && exit 1
            exit 77
        fi
    done
    VEXMOND_X11_RUN=$(mktemp -d)
    export VEXMOND_X11_RUN
    status=0
    xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp -noreset" "$0" "$prefix" "$@" || status=$?
    rm -rf "$VEXMOND_X11_RUN"
    exit $status
fi

export WINEPREFIX="$prefix-x11" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run=$VEXMOND_X11_RUN
cat >"$run/openbox.xml" <<'EOF'
<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>40</bottom><left>0</left><right>0</right></margins>
</openbox_config>
EOF
openbox --sm-disable --config-file "$run/openbox.xml" --startup "touch $run/managed" </dev/null >/dev/null 2>&1 &
openbox=$!
stop() {
    wineserver -k 2>/dev/null || true
    kill "$openbox" 2>/dev/null || true
    wait "$openbox" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 100); do
    [ -f "$run/managed" ] && break
    sleep 0.1
done
[ -f "$run/managed" ] || { echo "openbox did not start"; exit 1; }

mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true
(
    flock 9
    if [ ! -f "$WINEPREFIX/.vexmond-ready" ]; then
        wineboot -i </dev/null >/dev/null 2>&1 9>&-
        touch "$WINEPREFIX/.vexmond-ready"
    fi
) 9>"$WINEPREFIX.lock"
wine cmd /c exit </dev/null >/dev/null 2>&1
# The dots per inch of the run (VEXMOND_DPI, else 96). Windows has no window
# manager that makes a window fit the screen: at another density than 96,
# wine places the windows itself, where the program asks.
dpi=${VEXMOND_DPI:-96}
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
if [ "$dpi" = 96 ]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
else
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
fi
wine "$@"
