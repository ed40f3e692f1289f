#!/usr/bin/env bash
# Builds the Debian packages from a build directory, looks inside them, runs
# lintian on them, checks the desktop entry and the service's units (the
# system one's hardening scored), installs them into a private dpkg root (the
# system service's account made there), starts the installed window from its
# desktop entry's command and configures the installed service, removes them
# again and purges the service's store. The service's package depends on no
# window system.
set -euo pipefail
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/vexmond_*.deb)
service=$(ls "$work"/out/vexmond-service_*.deb)

info=$(dpkg-deb --info "$deb")
grep -q '^ Package: vexmond$' <<<"$info" || fail "package name"
depends=$(grep '^ Depends:' <<<"$info")
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/vexmond ./usr/share/applications/vexmond.desktop ./usr/share/doc/vexmond/copyright \
         ./usr/share/icons/hicolor/scalable/apps/vexmond.svg ./usr/share/icons/hicolor/48x48/apps/vexmond.png \
         ./usr/share/icons/hicolor/256x256/apps/vexmond.png ./usr/share/man/man1/vexmond.1.gz; do
  grep -q " $f\$" <<<"$contents" || fail "missing $f"
done

info=$(dpkg-deb --info "$service")
grep -q '^ Package: vexmond-service$' <<<"$info" || fail "service package name"
depends=$(grep '^ Depends:' <<<"$info")
for lib in libc6 libstdc++6 adduser; do grep -q "$lib" <<<"$depends" || fail "the service's Depends lacks $lib: $depends"; done
if grep -qiE 'libx|xcb|qt|wayland|libgl|libegl|xkb|fontconfig|freetype|gtk|sdl' <<<"$depends"; then
  fail "the service depends on a window system: $depends"
fi
contents=$(dpkg-deb --contents "$service")
for f in ./usr/bin/vexmond-service ./usr/lib/systemd/user/vexmond@.service ./usr/lib/systemd/system/vexmond@.service \
         ./usr/lib/sysusers.d/vexmond-service.conf ./usr/share/doc/vexmond-service/copyright \
         ./usr/share/man/man1/vexmond-service.1.gz; do
  grep -q " $f\$" <<<"$contents" || fail "the service's package lacks $f"
done

command -v lintian >/dev/null || fail "lintian is not installed (the test command installs it)"
lintian --fail-on error "$deb" "$service" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }

dpkg-deb -x "$deb" "$work/x"
dpkg-deb -x "$service" "$work/x"
zcat "$work/x/usr/share/man/man1/vexmond-service.1.gz" | grep -q '^.SH NAME' || fail "the service's manual page"
desktop-file-validate "$work/x/usr/share/applications/vexmond.desktop" || fail "desktop entry does not validate"
man -l "$work/x/usr/share/man/man1/vexmond.1.gz" >/dev/null 2>&1 || zcat "$work/x/usr/share/man/man1/vexmond.1.gz" | grep -q '^.SH NAME' || fail "manual page"

# Install and remove in a dpkg root of our own, so the machine is not touched.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info" "$root/etc"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" "$service" \
  >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "install"; }
[[ -x "$root/usr/bin/vexmond" && -x "$root/usr/bin/vexmond-service" ]] || fail "installed programs"
# The units' directives, an instance of each naming the program where this
# root holds it; the system unit's exposure as systemd scores it.
if command -v systemd-analyze >/dev/null; then
  for kind in user system; do
    mkdir -p "$work/$kind"
    sed "s|^ExecStart=vexmond-service |ExecStart=$root/usr/bin/vexmond-service |" \
      "$root/usr/lib/systemd/$kind/vexmond@.service" >"$work/$kind/vexmond@check.service"
    # A directive it cannot parse is only warned of: any word from it fails.
    systemd-analyze verify --man=no "$work/$kind/vexmond@check.service" >"$work/verify.log" 2>&1 &&
      [[ ! -s "$work/verify.log" ]] || { cat "$work/verify.log"; fail "the $kind unit does not verify"; }
  done
  exposure=$(systemd-analyze security --offline=true "$work/system/vexmond@check.service" 2>&1 |
    sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
  [[ -n "$exposure" ]] && awk -v e="$exposure" 'BEGIN { exit !(e <= 1.5) }' ||
    fail "the system unit's exposure is '$exposure', above 1.5"
  echo "the system unit's exposure: $exposure"
fi
# The system service's account, made by the package's script in this root.
if command -v systemd-sysusers >/dev/null; then
  grep -q '^vexmond:x:[0-9]*:[0-9]*:[^:]*:/var/lib/vexmond:' "$root/etc/passwd" || fail "no account vexmond in the root"
fi

# The desktop entry's command, on the offscreen platform, ended as a session end would.
exec_line=$(grep '^Exec=' "$root/usr/share/applications/vexmond.desktop" | cut -d= -f2)
mkdir -p "$work/home"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/$exec_line" >"$work/run.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { cat "$work/run.log"; fail "the installed program did not stay up"; }
kill -TERM "$pid"
wait "$pid" || { cat "$work/run.log"; fail "the installed program did not end cleanly on SIGTERM"; }
[[ -f "$work/home/data/vexmond/ATBconfig.atb" ]] || fail "no layout file written at unload"
# The installed service configures a profile the window then reads, with no display.
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
  "$root/usr/bin/vexmond-service" --profile check --set IP=127.0.0.1 Port=27960 Password=pw Msg=Hi --show \
  >"$work/service.log" 2>&1 || { cat "$work/service.log"; fail "the installed service's --set and --show"; }
grep -q '^Password     \*\*\*$' "$work/service.log" || { cat "$work/service.log"; fail "the service's --show"; }

dpkg --root="$root" --force-not-root --force-script-chrootless -r vexmond vexmond-service >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; fail "remove"; }
left=$({ find "$root/usr" -type f 2>/dev/null || true; } | wc -l)
[[ "$left" -eq 0 ]] || fail "files left after removal: $(find "$root/usr" -type f)"
# The system service's store goes with a purge, not before.
mkdir -p "$root/var/lib/vexmond" && echo REGEDIT4 >"$root/var/lib/vexmond/system.reg"
dpkg --root="$root" --force-not-root --force-script-chrootless -r vexmond-service >"$work/dpkg.log" 2>&1 &&
  [[ -f "$root/var/lib/vexmond/system.reg" ]] || { cat "$work/dpkg.log"; fail "a removal took the store"; }
dpkg --root="$root" --force-not-root --force-script-chrootless --purge vexmond-service >"$work/dpkg.log" 2>&1 &&
  [[ ! -e "$root/var/lib/vexmond" ]] || { cat "$work/dpkg.log"; fail "the purge left the store"; }
echo "packages $(basename "$deb") and $(basename "$service") checked: contents, dependencies, lintian, desktop entry, units, install, account, start, configure, remove, purge"
