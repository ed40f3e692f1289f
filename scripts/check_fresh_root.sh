#!/usr/bin/env bash
# Runs the README's two commands on a fresh Debian 12 root, as on a new
# machine: the start command until its window is up (with saved fields and
# --start it sends the server its status request once the window is shown),
# then the test command's set-up and build; then installs the service's
# package from that build as the README does (with systemd) and checks the
# system service: its account, both units, and the store --system writes. It catches a package that only the
# test command installs, or that this machine happens to have already.
# Needs root and debootstrap; the root is made from this machine's own apt
# sources and removed afterwards. The test command runs it under CI=true.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[[ $(id -u) -eq 0 ]] || { echo "the fresh-root check needs root" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "the fresh-root check needs debootstrap (Debian package)" >&2; exit 1; }

work=$(mktemp -d /var/tmp/vexmond-fresh-root.XXXXXX)
root="$work/root"
program=""
listener=""
cleanup() {
  [[ -n "$program" ]] && kill -- "-$program" 2>/dev/null || true
  [[ -n "$listener" ]] && kill "$listener" 2>/dev/null || true
  wait 2>/dev/null || true
  for mount in dev/pts dev sys proc; do umount -l "$root/$mount" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

# "URI SUITE COMPONENTS..." for every bookworm suite of the machine's Debian
# sources, one-line (.list) and deb822 (.sources) alike.
debian_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f "$f" ]] || continue
    awk '$1 == "deb" {
           i = 2
           if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
           if ($(i + 1) ~ /^bookworm/) { line = $i " " $(i + 1); for (j = i + 2; j <= NF; j++) line = line " " $j; print line }
         }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" ]] || continue
    awk -v RS= '{
           types = uris = suites = comps = ""
           n = split($0, lines, "\n")
           for (k = 1; k <= n; k++) {
             field = lines[k]; sub(/:.*/, "", field); value = lines[k]; sub(/^[^:]*:[ \t]*/, "", value)
             if (field == "Types") types = value; else if (field == "URIs") uris = value
             else if (field == "Suites") suites = value; else if (field == "Components") comps = value
           }
           if (types !~ /(^| )deb( |$)/) next
           split(uris, u, " "); m = split(suites, s, " ")
           for (k = 1; k <= m; k++) if (s[k] ~ /^bookworm/) print u[1] " " s[k] " " comps
         }' "$f"
  done
}

sources=$(debian_sources)
mirror=$(awk '$2 == "bookworm" { print $1; exit }' <<<"$sources")
[[ -n "$mirror" ]] || { echo "no Debian 12 (bookworm) source in this machine's apt sources" >&2; exit 1; }

started=$SECONDS
echo "-- debootstrap --variant=minbase bookworm from $mirror"
if ! debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -n 30 "$work/debootstrap.log"
  exit 1
fi
sed 's/^/deb /' <<<"$sources" >"$root/etc/apt/sources.list"
cp -r /etc/apt/apt.conf.d/. "$root/etc/apt/apt.conf.d/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
echo "   root made in $((SECONDS - started)) s"

# The checkout as it stands, without its build directories.
mkdir -p "$root/root/vexmond"
(cd "$ROOT" && git ls-files -z --cached --others --exclude-standard |
   tar --null --ignore-failed-read -T - -cf -) | tar -xf - -C "$root/root/vexmond"

in_root() {  # in_root COMMAND: as root in the fresh root, in the checkout, with a clean environment
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    QT_QPA_PLATFORM=offscreen bash -c "cd /root/vexmond && $1"
}

# A server that waits for one datagram, on this machine's loopback, which the
# root shares.
perl -MIO::Socket::INET -e '
  my $s = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => 0, Proto => "udp") or die "no socket: $!";
  open(my $f, ">", $ARGV[0]) or die; print $f $s->sockport(), "\n"; close $f;
  my $d; $s->recv($d, 65535);
  open($f, ">", "$ARGV[1].part") or die; binmode $f; print $f $d; close $f; rename("$ARGV[1].part", $ARGV[1]);
' "$work/port" "$work/datagram" &
listener=$!
for _ in $(seq 100); do [[ -s "$work/port" ]] && break; sleep 0.1; done
port=$(cat "$work/port")
mkdir -p "$root/root/.config/vexmond"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n"Port"="%s"\r\n"Password"="pw"\r\n"Msg"="Hello"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\r\n"Hist0"="127.0.0.1"\r\n' \
  "$port" >"$root/root/.config/vexmond/system.reg"

step=$SECONDS
echo "-- ./scripts/start.sh --start, until the window is up"
setsid bash -c "$(declare -f in_root); root='$root'; in_root 'exec ./scripts/start.sh --start'" \
  >"$work/start.log" 2>&1 &
program=$!
deadline=$((SECONDS + 2400))
while [[ ! -s "$work/datagram" ]] && kill -0 "$program" 2>/dev/null && ((SECONDS < deadline)); do sleep 2; done
if [[ "$(cat "$work/datagram" 2>/dev/null)" != $'\xff\xff\xff\xffrcon pw status' ]]; then
  echo "the start command did not bring the window up on a fresh root:" >&2
  tail -n 40 "$work/start.log" >&2
  exit 1
fi
kill -- "-$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=""
echo "   window up after $((SECONDS - step)) s"

step=$SECONDS
echo "-- ./scripts/test.sh --build-only"
if ! in_root './scripts/test.sh --build-only' >"$work/test.log" 2>&1; then
  echo "the test command's set-up and build failed on a fresh root:" >&2
  tail -n 40 "$work/test.log" >&2
  exit 1
fi
echo "   set up and built in $((SECONDS - step)) s"

step=$SECONDS
echo "-- the service's package installed as the README installs it, and its system service"
if ! in_root '(cd build && cpack -G DEB >/dev/null) &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      ./build/vexmond-service_*_amd64.deb systemd >/dev/null &&
    getent passwd vexmond &&
    systemd-analyze verify --man=no /usr/lib/systemd/system/vexmond@eu1.service \
      /usr/lib/systemd/user/vexmond@eu1.service &&
    vexmond-service --system --profile eu1 --set IP=127.0.0.1 Port=27960 Password=pw Msg=Hi &&
    owners=$(stat -c %U:%G /var/lib/vexmond /var/lib/vexmond/* | sort -u) &&
    { [ "$owners" = vexmond:vexmond ] || { echo "the store is $owners"; false; }; } &&
    systemd-analyze security --offline=true /usr/lib/systemd/system/vexmond@eu1.service | tail -n 1' \
    >"$work/service.log" 2>&1; then
  echo "the service's package or its system service failed on a fresh root:" >&2
  tail -n 40 "$work/service.log" >&2
  exit 1
fi
echo "   account, units and the system store's owner checked in $((SECONDS - step)) s; $(tail -n 1 "$work/service.log")"
echo "fresh root: both commands work (${SECONDS}s in all)"
