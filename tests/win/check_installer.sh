#!/usr/bin/env bash
# The Windows installer under wine: installs per user without administrator
# rights (the program, the service, the README, a Start-menu entry and an
# uninstaller listed under Apps), the installed programs answer, and the
# uninstaller removes all of it and leaves the user's settings.
# check_installer.sh ON_WINE PREFIX INSTALLER
set -u
on_wine="$1" prefix="$2" installer="$3"
wine() { "$on_wine" "$prefix" "$@"; }
users="$prefix/drive_c/users/$(id -un)"
installed="$users/AppData/Local/Programs/Vexmond"
shortcut="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vexmond.lnk"
fail=0
check() {  # check WHAT CONDITION...
  local what="$1"; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; fail=1; fi
}
rm -rf "$installed"
wine reg add 'HKCU\Software\Quorlan\_Vexmond\IPs' /v Hist0 /d 10.0.0.1 /f >/dev/null 2>&1
wine "$installer" /S
check "the installer succeeds silently" test $? -eq 0
check "the program is installed below %LOCALAPPDATA%\\Programs" test -f "$installed/vexmond.exe"
check "its README beside it" test -f "$installed/README.md"
check "a Start-menu entry" test -f "$shortcut"
check "the uninstaller, listed under Apps" \
  bash -c "'$on_wine' '$prefix' reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexmond' 2>/dev/null | grep -q UninstallString"
check "the installed program answers" bash -c "'$on_wine' '$prefix' '$installed/vexmond.exe' --version | grep -q 'vexmond 2'"
check "the service beside it answers" \
  bash -c "'$on_wine' '$prefix' '$installed/vexmond-service.exe' --version | grep -q 'vexmond-service 2'"
# Run in place (_?=) so that it ends before we look; it cannot remove itself then.
wine "$installed/Uninstall.exe" /S "_?=C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Vexmond"
check "the uninstaller succeeds silently" test $? -eq 0
check "the program is gone" test ! -e "$installed/vexmond.exe"
check "the service is gone" test ! -e "$installed/vexmond-service.exe"
check "the Start-menu entry is gone" test ! -e "$shortcut"
check "the user's settings stay" \
  bash -c "'$on_wine' '$prefix' reg query 'HKCU\\Software\\Quorlan\\_Vexmond\\IPs' /v Hist0 2>/dev/null | grep -q 10.0.0.1"
wine reg delete 'HKCU\Software\Quorlan' /f >/dev/null 2>&1
rm -rf "$installed"
exit $fail
