#!/usr/bin/env bash
# Runs a program of the Windows build under wine64 (CMake's CMAKE_CROSSCOMPILING_EMULATOR):
# in the prefix wine-prefix.sh made, with the Qt and MinGW runtime DLLs on wine's PATH.
# RX904_QT_MINGW names the Qt built by qt.sh.
set -euo pipefail
export WINEPREFIX="${RX904_WINEPREFIX:-/var/tmp/rx904-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
dll_dirs=("${RX904_QT_MINGW:?}/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix
          /usr/x86_64-w64-mingw32/lib)
winepath=""
for dir in "${dll_dirs[@]}"; do
    winepath+="Z:${dir//\//\\};"
done
export WINEPATH="$winepath"
# wine's server, when a program starts it, keeps that program's error output and writes its
# object table there as it ends; started first, it writes nowhere, and stays 10 s for the next.
wineserver -p10 </dev/null >/dev/null 2>&1 || true
# Debian keeps wine64 out of PATH; /usr/bin/wine runs it when there is no 32-bit wine.
exec wine "$@"
