#!/usr/bin/env bash
# vexmond-service's command line, as a program: --help and --version, every
# mistake exits 2, --set refuses a bad value and writes nothing, --show of
# no profile exits 2 and a run of it 1, --set and --show round trip (the
# message from a file, UTF-8 text in and out on Linux), a profile Start would
# refuse exits 1 with the window's message and no blank at the line's end, a
# control character is logged as "?",
# a second run of a running profile (in another case) exits 1 naming the
# first, SIGINT ends it with 0; and on Linux, SIGHUP reads the profile again
# and what the program links holds no window system.
# check_service.sh PROGRAM [...]: the program, or the command that runs it
# (the Windows program: its emulator first).
set -u
program=("$@")
fail=0
work=$(mktemp -d)
profile="check-service-$$"
windows=false
[[ "${program[-1]}" == *.exe ]] && windows=true
cleanup() {  # the profiles go with the hive files, or out of the registry
  rm -rf "$work"
  if $windows; then
    for p in "$profile" "$profile-bare"; do
      "${program[@]:0:${#program[@]}-1}" reg delete "HKCU\\Software\\Quorlan\\_Vexmond\\Profiles\\$p" /f >/dev/null 2>&1
    done
  fi
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset DISPLAY WAYLAND_DISPLAY
check() {  # check WHAT EXPECTED_STATUS EXPECTED_TEXT STREAM -- ARGS...
  local what="$1" status="$2" text="$3" stream="$4"; shift 5
  local rc
  (cd "$work" && timeout 120 "${program[@]}" "$@") >"$work/out" 2>"$work/err"; rc=$?
  local got; got=$(tr -d '\r' <"$work/$stream")
  if [ "$rc" != "$status" ] || [[ "$got" != *"$text"* ]]; then
    echo "FAIL: $what: status $rc (wanted $status), $stream was:"; echo "$got"; fail=1
  else
    echo "ok: $what"
  fi
}
check "--help" 0 "--set FIELD=VALUE" out -- --help
check "--version" 0 "vexmond-service 2.1.0" out -- --version
check "an unknown option" 2 "Unknown option 'bogus'." err -- --bogus
check "an argument" 2 "Unexpected argument 'extra'." err -- extra
check "--set without a field" 2 "Missing FIELD=VALUE after '--set'." err -- --set
check "an unknown field" 2 "'Colour=red' is not FIELD=VALUE of a field --set takes." err -- --set Colour=red
for name in .. "a] ;b" "сервер"; do
  check "the profile name '$name'" 2 "cannot be a profile" err -- --profile "$name" --set Port=1
done
check "a port the window refuses" 2 "Port takes a number from 1 to 65535, not '70000'" err \
  -- --profile "$profile" --set Password=pw Port=70000
check "... and nothing written: no profile to show" 2 "there is no profile $profile (--set" err \
  -- --profile "$profile" --show
check "a run of no profile" 1 "failed: there is no profile $profile" out -- --profile "$profile"
printf 'Hello\r\n^1Be nice\n' >"$work/motd.txt"
check "--set, then --show" 0 "Password     ***"$'\n'"Msg          Hello"$'\n'"             ^1Be nice"$'\n' out \
  -- --profile "$profile" --set IP=10.0.0.1 Port=27960 Password=pw Msg=@motd.txt "Game=Quake 3 Arena" --show
check "a profile without a message" 0 "" out -- --profile "$profile-bare" --set IP=127.0.0.1 Port=1 Password=pw
check "... is refused by Start: status 1" 1 "failed: Please input a message" out -- --profile "$profile-bare"
grep -q '[[:blank:]]'$'\r''\?$' "$work/out" && { echo "FAIL: a log line ends in blanks:"; cat -A "$work/out"; fail=1; }
# SIGINT (under wine: the console's Ctrl+C) ends a running service with status 0.
"${program[@]}" --profile "$profile-bare" --set Msg=Hi >/dev/null 2>&1
# On Linux the journal reads the log: a control character but the tab (C1 too) is logged as "?".
$windows || "${program[@]}" --profile "$profile-bare" --set "Game=Q"$'\e[31m3\a\u0085\t'"A" >/dev/null 2>&1
(cd "$work" && exec "${program[@]}" --profile "$profile-bare") >"$work/out" 2>&1 &
pid=$!
for _ in $(seq 300); do grep -q ' start: ' "$work/out" && break; sleep 0.1; done
holder="process "; $windows || holder="process $pid)"
if ! $windows; then
  grep -qF "game Q?[31m3??"$'\t'"A, " "$work/out" && ! grep -q $'[\e\a]' "$work/out" &&
    echo "ok: control characters are logged as ?" || { echo "FAIL: control characters:"; cat -A "$work/out"; fail=1; }
fi
check "a second broadcast of the profile, in another case" 1 "is being broadcast by vexmond-service ($holder" out \
  -- --profile "${profile^^}-BARE"
if ! $windows; then  # SIGHUP reads the profile again
  "${program[@]}" --profile "$profile-bare" --set Msg_Delay=7 >/dev/null 2>&1
  kill -HUP "$pid"
  for _ in $(seq 100); do grep -q ' reload: ' "$work/out" && break; sleep 0.1; done
  grep -q ' reload: .* with 7 s after each' "$work/out" && echo "ok: SIGHUP reads the profile again" ||
    { echo "FAIL: SIGHUP: the log was:"; cat "$work/out"; fail=1; }
fi
kill -INT "$pid"
wait "$pid"; rc=$?
if [[ "$rc" != 0 ]] || [[ "$(tail -n 1 "$work/out" | tr -d '\r')" != *" stop" ]]; then
  echo "FAIL: SIGINT: status $rc (wanted 0), the log was:"; cat "$work/out"; fail=1
else
  echo "ok: SIGINT ends it with status 0"
fi
if ! $windows; then
  check "UTF-8 in and out" 0 "Msg          Grüße" out -- --profile "$profile" --set "Msg=Grüße" --show
  check "a character the server cannot be sent" 2 "Msg holds a character outside ISO-8859-1" err \
    -- --profile "$profile" --set "Msg=10 €"
  needed=$(readelf -d "${program[-1]}" | grep NEEDED)
  if [[ -z "$needed" ]] || grep -qiE 'libX|libxcb|libQt|wayland|libGL|libEGL|libgtk|libSDL' <<<"$needed"; then
    echo "FAIL: the program links a window system, or readelf read nothing:"; echo "$needed"; fail=1
  else
    echo "ok: it links no window system: $(grep -o '\[.*\]' <<<"$needed" | tr -d '[]' | tr '\n' ' ')"
  fi
fi
exit $fail
