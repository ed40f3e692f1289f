#!/usr/bin/env bash
# The command line of the program: --help and --version answer on standard
# output without a display, an unknown option or argument exits with 2.
# check_command_line.sh PROGRAM [...]: the program, or the command that runs
# it (the Windows program: its emulator first).
set -u
program=("$@")
fail=0
check() {  # check WHAT EXPECTED_STATUS EXPECTED_TEXT STREAM -- ARGS...
  local what="$1" status="$2" text="$3" stream="$4"; shift 5
  local out err rc
  out=$(mktemp); err=$(mktemp)
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM="${PLATFORM:-xcb}" "${program[@]}" "$@" >"$out" 2>"$err"; rc=$?
  local got; got=$(cat "$([ "$stream" = out ] && echo "$out" || echo "$err")")
  if [ "$rc" != "$status" ] || [[ "$got" != *"$text"* ]]; then
    echo "FAIL: $what: status $rc (wanted $status), $stream was:"; echo "$got"; fail=1
  else
    echo "ok: $what"
  fi
  rm -f "$out" "$err"
}
check "--help without a display" 0 "--start" out -- --help
check "-h" 0 "Press Start once the window is shown" out -- -h
check "--version" 0 "vexmond 2.1.0" out -- --version
check "--help-all" 0 "--version" out -- --help-all
check "--help with a mistake" 2 "Unknown option 'bogus'." err -- --help --bogus
PLATFORM=offscreen check "an unknown option" 2 "Unknown option 'no-such-option'." err -- --no-such-option
PLATFORM=offscreen check "an argument" 2 "Unexpected argument 'extra'." err -- extra
check "--help names profiles" 0 "--profile <name>" out -- --help
# A name that cannot be a profile opens no window: the check runs without a display.
long=$(printf 'x%.0s' $(seq 65))
# "a] ;b" would read back from the settings file as "a"; a name outside the
# 8-bit set would meet another such name in one profile.
for name in "" "a/b" 'a\b' ".." "$long" "$(printf 'tab\there')" "a] ;b" "сервер"; do
  check "the profile name '$name'" 2 "cannot be a profile" err -- --profile "$name"
done
check "--profile=.. " 2 "cannot be a profile: a profile's name may not hold .." err -- --profile=..
check "--profile without a name" 2 "Missing value after '--profile'." err -- --profile
exit $fail
