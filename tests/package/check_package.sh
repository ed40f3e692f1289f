#!/usr/bin/env bash
# Builds the Debian package from a build directory, looks inside it, checks
# its desktop entry, installs it into a private dpkg root, starts the
# installed program from its desktop entry's command, and removes it again.
set -euo pipefail
build="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/vexmond_*.deb)

info=$(dpkg-deb --info "$deb")
grep -q '^ Package: vexmond$' <<<"$info" || fail "package name"
depends=$(grep '^ Depends:' <<<"$info")
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb --contents "$deb")
for f in ./usr/bin/vexmond ./usr/share/applications/vexmond.desktop \
         ./usr/share/icons/hicolor/scalable/apps/vexmond.svg ./usr/share/icons/hicolor/48x48/apps/vexmond.png \
         ./usr/share/icons/hicolor/256x256/apps/vexmond.png ./usr/share/man/man1/vexmond.1.gz; do
  grep -q " $f\$" <<<"$contents" || fail "missing $f"
done

dpkg-deb -x "$deb" "$work/x"
desktop-file-validate "$work/x/usr/share/applications/vexmond.desktop" || fail "desktop entry does not validate"
man -l "$work/x/usr/share/man/man1/vexmond.1.gz" >/dev/null 2>&1 || zcat "$work/x/usr/share/man/man1/vexmond.1.gz" | grep -q '^.SH NAME' || fail "manual page"

# Install and remove in a dpkg root of our own, so the machine is not touched.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; fail "install"; }
[[ -x "$root/usr/bin/vexmond" ]] || fail "installed program"

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

dpkg --root="$root" --force-not-root --force-script-chrootless -r vexmond >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; fail "remove"; }
left=$({ find "$root/usr" -type f 2>/dev/null || true; } | wc -l)
[[ "$left" -eq 0 ]] || fail "files left after removal: $(find "$root/usr" -type f)"
echo "package $(basename "$deb") checked: contents, desktop entry, install, start, remove"
