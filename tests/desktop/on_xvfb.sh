#!/bin/sh
# Runs a desktop test program on an X display of its own (Debian's
# xvfb-run), on Qt's xcb platform; listing the tests needs no display. The
# screen is 1600x1200 unless VEXMOND_SCREEN names another (1366x768x24).
# Without xvfb-run the tests report themselves skipped to CTest (77), and
# fail under CI.
for arg; do
  [ "$arg" = "--gtest_list_tests" ] && exec "$@"
done
if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v xauth >/dev/null 2>&1; then
  echo "SKIPPED: no xvfb-run to run the desktop tests on (Debian packages xvfb and xauth)"
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi
QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 ${VEXMOND_SCREEN:-1600x1200x24} -nolisten tcp -noreset" "$@"
