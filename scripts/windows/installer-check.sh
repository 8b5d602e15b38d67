#!/usr/bin/env bash
# Runs the installer silently under wine, asks the installed program its version, checks the
# Start-menu entry, then runs the uninstaller silently and checks that all of it is gone:
#   installer-check.sh SETUP.exe VERSION
set -euo pipefail
setup="$1"
version="$2"
export WINEPREFIX="${RX904_WINEPREFIX:-/var/tmp/rx904-wine}"
export WINEDEBUG=-all
dir="$WINEPREFIX/drive_c/Program Files/RX904Tool"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
link="$menu/RX904智能电压控制器工具软件.lnk"
fail() { echo "installer check: $*" >&2; exit 1; }

wine "$setup" /S
# The installer's process ends before wine's own work for it; wait for all of it.
wineserver -w
[ -f "$dir/rx904-tool.exe" ] || fail "rx904-tool.exe is not in $dir"
[ -f "$dir/platforms/qwindows.dll" ] || fail "the platform plugin is not installed"
[ -f "$link" ] || fail "no Start-menu entry $link"
answer=$(wine "$dir/rx904-tool.exe" --version | tr -d '\r')
[ "$answer" = "rx904-tool $version" ] || fail "--version answered \"$answer\""
ctl=$(wine "$dir/rx904ctl.exe" --version | tr -d '\r')
[ "$ctl" = "rx904ctl $version" ] || fail "rx904ctl.exe --version answered \"$ctl\""

# The uninstaller copies itself to a temporary folder and removes the installed one from
# there, after its first process has ended.
wine "$dir/uninstall.exe" /S
wineserver -w
[ ! -e "$dir" ] || fail "$dir is still there: $(find "$dir" | head -5)"
[ ! -e "$link" ] || fail "the Start-menu entry is still there"
echo "installed, answered \"$answer\" and \"$ctl\", uninstalled"
